// Arbitrary bytes as a multiple-index file: opened, its tags listed, walked, counted, changed and checked.
// Inputs of at least a header's size are the file itself; shorter ones patch a sound file with three tags,
// (offset, byte) by (offset, byte), so that the fuzzer reaches the B-tree pages early.
#include "dbase/Errors.h"
#include "dbase/MdxIndex.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::vector<dbase::FieldDescriptor>& fields()
{
    using dbase::FieldType;
    static const std::vector<dbase::FieldDescriptor> descriptors = {
        {"TITLE", FieldType::Character, 30, 0, 1},
        {"DESCR", FieldType::Character, 120, 0, 31},
        {"PRICE", FieldType::Numeric, 12, 2, 151},
    };
    return descriptors;
}

class Record : public dbase::RecordSource
{
public:
    explicit Record(int n)
        : title_("T" + std::to_string(n % 37)), descr_("D" + std::to_string(n * 7919 % 1000)),
          price_(std::to_string(n))
    {
        title_.resize(30, ' ');
        descr_.resize(120, ' ');
        price_.insert(0, 12 - price_.size(), ' ');
    }
    std::string_view fieldBytes(std::size_t index) const override
    {
        return index == 0 ? title_ : index == 1 ? descr_ : price_;
    }
    std::string memoText(std::size_t) const override { return {}; }

private:
    std::string title_, descr_, price_;
};

class Records : public dbase::LiveRecords
{
public:
    void forEach(const std::function<void(std::uint32_t, const dbase::RecordSource&)>& visit) override
    {
        for (int n = 1; n <= 150; ++n)
            visit(static_cast<std::uint32_t>(n), Record(n));
    }
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::string& scratchPath()
{
    static const std::string path = "/tmp/fuzz_mdx_" + std::to_string(::getpid()) + ".mdx";
    return path;
}

const std::string& soundFile()
{
    static const std::string bytes = [] {
        dbase::MdxIndex::create(scratchPath(), "FUZZ");
        {
            dbase::MdxIndex index(scratchPath(), fields(), true);
            Records records;
            index.addTag("DEEP", "SUBSTR(DESCR, 1, 100)", false, records);
            index.addTag("WIDE", "UPPER(TITLE)+STR(PRICE, 10, 2)", true, records);
            index.addTag("GONE", "TITLE", false, records);
            index.deleteTag("GONE");
            index.addTag("SHORT", "SUBSTR(TITLE, 1, 2)", false, records);
        }
        std::string sound = readFile(scratchPath());
        ::unlink(scratchPath().c_str());
        return sound;
    }();
    return bytes;
}

template <class Use>
void attempt(Use&& use)
{
    try {
        use();
    } catch (const dbase::DatabaseError&) {
    }
}

void exercise()
{
    std::optional<dbase::MdxIndex> index;
    try {
        index.emplace(scratchPath(), fields(), true, dbase::MdxOptions{64, 1u << 16, "/tmp"});
    } catch (const dbase::DatabaseError&) {
        return;
    }
    for (const dbase::MdxTag& tag : index->tags()) {
        if (!tag.problem.empty())
            continue;
        attempt([&] { index->count(tag.name); });
        attempt([&] { index->count(tag.name, {std::string("D5"), std::string("T")}); });
        attempt([&] { index->forEachEntry(tag.name, [](const dbase::IndexEntry&) {}); });
        attempt([&] {
            for (auto entry = index->last(tag.name); entry; entry = index->prior(tag.name, *entry))
                ;
        });
        attempt([&] { index->advance(tag.name, {"T1", 3}, 40); });
        attempt([&] { index->advance(tag.name, {"T1", 3}, -40); });
        attempt([&] { index->find(tag.name, "T2"); });
        attempt([&] { index->insert(tag.name, {"T9", 4000}); });
        attempt([&] { index->remove(tag.name, {"D5", 5}); });
    }
    attempt([&] { index->insertRecord(151, Record(151)); });
    attempt([&] { index->check(); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string file;
    if (size >= 2048) {
        file.assign(reinterpret_cast<const char*>(data), size);
    } else {
        file = soundFile();
        for (std::size_t i = 0; i + 2 < size; i += 3) {
            const std::size_t at =
                (static_cast<std::size_t>(data[i]) | static_cast<std::size_t>(data[i + 1]) << 8) *
                file.size() / 65536;
            file[at] = static_cast<char>(data[i + 2]);
        }
    }
    writeFile(scratchPath(), file);
    exercise();
    ::unlink(scratchPath().c_str());
    return 0;
}
