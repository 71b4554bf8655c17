// A damaged index file under a sound table: the cursor opens the table, moves in tag order, counts ranges,
// finds keys, and posts, appends and deletes through every tag; then the check runs. Inputs patch a sound
// index with three tags (offset, byte) by (offset, byte), as in fuzz_mdx, so that the pages are reached.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

const std::string& folder()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/tessary-fuzz-index-XXXXXX";
        return std::string(::mkdtemp(pattern));
    }();
    return path;
}

std::string path(const char* name)
{
    return folder() + "/" + name;
}

std::string readFile(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct SoundFiles
{
    std::string dbf, dbt, mdx;
};

const SoundFiles& soundFiles()
{
    static const SoundFiles files = [] {
        using dbase::FieldType;
        dbase::createTable(folder(), "t.dbf",
                           {{"NUMBER", FieldType::Numeric, 10, 0},
                            {"TITLE", FieldType::Character, 30, 0},
                            {"NOTES", FieldType::Memo, 0, 0}},
                           {{"NUM", "STR(NUMBER, 10, 0)", false},
                            {"TITLE", "UPPER(TITLE)", true},
                            {"NOTE", "UPPER(MLINE(NOTES, 1))", false}});
        dbase::Table table;
        table.open(folder(), "t.dbf");
        for (int n = 1; n <= 200; ++n) {
            table.append();
            table.setNumber(0, n);
            table.setString(1, "T" + std::to_string(n * 7919 % 97));
            table.setString(2, "line " + std::to_string(n % 13) + "\r\n");
            table.post();
        }
        table.close();
        return SoundFiles{readFile(path("t.dbf")), readFile(path("t.dbt")), readFile(path("t.mdx"))};
    }();
    return files;
}

template <class Use>
void attempt(Use&& use)
{
    try {
        use();
    } catch (const dbase::DatabaseError&) {
    } catch (const dbase::EngineError&) {
    }
}

void exercise()
{
    for (const char* tag : {"NUM", "TITLE", "NOTE"}) {
        attempt([&] {
            dbase::Table table;
            table.open(folder(), "t.dbf", false, tag);
            int rows = 0;
            for (table.first(); !table.eof() && rows < 300; table.next(), ++rows)
                table.asString(1);
            table.recordCount();
            table.last();
            table.moveBy(-40);
            table.moveBy(70);
            attempt([&] {
                table.setRange("T1", "T5");
                table.recordCount();
                table.first();
                table.next();
            });
            attempt([&] { table.findKey("T3"); });
            attempt([&] {
                table.cancelRange();
                table.first();
                table.edit();
                table.setString(1, "EDITED");
                table.post();
            });
            attempt([&] {
                table.append();
                table.setNumber(0, 999);
                table.post();
            });
            attempt([&] {
                table.first();
                table.deleteRecord();
            });
        });
    }
    dbase::checkTable(folder(), "t.dbf");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const SoundFiles& sound = soundFiles();
    std::string index = sound.mdx;
    for (std::size_t i = 0; i + 2 < size; i += 3) {
        const std::size_t at =
            (static_cast<std::size_t>(data[i]) | static_cast<std::size_t>(data[i + 1]) << 8) * index.size() /
            65536;
        index[at] = static_cast<char>(data[i + 2]);
    }
    writeFile(path("t.dbf"), sound.dbf);
    writeFile(path("t.dbt"), sound.dbt);
    writeFile(path("t.mdx"), index);
    exercise();
    return 0;
}
