// The command-line tool, run as a separate program, and the SHA-256 its dumps use.
#include "dbase/MdxIndex.h"
#include "dbase/Sha256.h"
#include "dbase/Table.h"
#include "TableTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace dbase;
using fixtures::TempFolder;

namespace {

fixtures::CommandResult tool(const std::string& arguments)
{
    return fixtures::runCommand(std::string(TESSARY_DB_TOOL) + " " + arguments + " 2>/dev/null");
}

TEST(Sha256, KnownDigests)
{
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [input, digest] : cases)
        EXPECT_EQ(Sha256::hex(input), digest) << input.size();
    // Fed in pieces of every size, the digest stays the same.
    const std::string text = fixtures::binaryPattern(777, 9);
    for (std::size_t piece : {1u, 63u, 64u, 65u, 500u}) {
        Sha256 hash;
        for (std::size_t at = 0; at < text.size(); at += piece)
            hash.update(std::string_view(text).substr(at, piece));
        const auto digest = hash.finish();
        std::string hex;
        for (auto byte : digest) {
            static constexpr char digits[] = "0123456789abcdef";
            hex += digits[byte >> 4];
            hex += digits[byte & 15];
        }
        EXPECT_EQ(hex, Sha256::hex(text)) << piece;
    }
}

TEST(Tool, InfoDumpAndCheck)
{
    TempFolder folder;
    createTable(folder.path(), "stamps.dbf", fixtures::catalogFields());
    const std::string picture = fixtures::binaryPattern(4096, 2);
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        table.append();
        table.setNumber(0, 1);
        table.setString(2, "Comma, \"quoted\" Z\xfcrich");
        table.setString(3, "12.5");
        table.setDate(4, Date{1918, 5, 10});
        table.setBool(5, true);
        table.setMemoLines(6, {"line one", "line two"});
        table.setBlob(7, picture);
        table.post();
        table.append();
        table.setNumber(0, 2);
        table.post();
        table.append();
        table.setNumber(0, 3);
        table.post();
        table.deleteRecord();
    }
    const std::string path = fixtures::quoted(folder.file("stamps.dbf"));

    const auto info = tool("info " + path);
    EXPECT_EQ(info.exitCode, 0);
    for (const char* expected :
         {"version: 0x8B", "records: 3", "language driver: 0x03", "production index: no", "block size 512",
          "  PRICE      N 12.2", "tags: none"})
        EXPECT_NE(info.output.find(expected), std::string::npos) << expected << "\n" << info.output;

    const auto dump = tool("dump " + path);
    EXPECT_EQ(dump.exitCode, 0);
    EXPECT_EQ(dump.output, "NUMBER,MARK,TITLE,PRICE,ISSUED,MINT,NOTES,PICTURE\r\n"
                           "1,,\"Comma, \"\"quoted\"\" Z\xc3\xbcrich\",12.50,1918-05-10,T,\"line one\r\nline "
                           "two\r\n\",4096 bytes sha256:" +
                               Sha256::hex(picture) +
                               "\r\n"
                               "2,,,,,,,\r\n");

    const auto check = tool("check " + path);
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_NE(check.output.find("sound"), std::string::npos);

    for (const char* bad : {"", "info", "frobnicate ", "dump a b"})
        EXPECT_EQ(tool(std::string(bad) + (std::string(bad) == "frobnicate " ? path : "")).exitCode, 2)
            << bad;
    EXPECT_EQ(tool("dump " + fixtures::quoted(folder.file("missing.dbf"))).exitCode, 1);
    EXPECT_EQ(tool("check " + fixtures::quoted(folder.file("missing.dbf"))).exitCode, 1);
}

// Info lists the tags; check compares every tag with the records and names each kind of fault.
TEST(Tool, InfoAndCheckCoverTheIndexTags)
{
    TempFolder folder;
    createTable(folder.path(), "stamps.dbf", fixtures::catalogFields(),
                {{"IDX0", "UPPER(TITLE)", false}, {"IDX1", "STR(NUMBER, 10, 0)", true}});
    std::vector<FieldDescriptor> fields;
    {
        Table table;
        table.open(folder.path(), "stamps.dbf");
        for (const char* title : {"e", "d", "c", "b", "a"}) {
            table.append();
            table.setNumber(0, static_cast<double>(table.recordCount() + 1));
            table.setString(2, title);
            table.post();
        }
        fields = table.fieldDescriptors();
    }
    const std::string path = fixtures::quoted(folder.file("stamps.dbf"));
    const auto info = tool("info " + path);
    EXPECT_EQ(info.exitCode, 0);
    for (const char* expected : {"production index: yes", "index file: ", "  IDX0: UPPER(TITLE)\n",
                                 "  IDX1 (descending): STR(NUMBER, 10, 0)\n"})
        EXPECT_NE(info.output.find(expected), std::string::npos) << expected << "\n" << info.output;
    const auto sound = tool("check " + path);
    EXPECT_EQ(sound.exitCode, 0) << sound.output;

    const std::string soundIndex = fixtures::readFile(folder.file("stamps.mdx"));
    const std::string soundTable = fixtures::readFile(folder.file("stamps.dbf"));
    const std::string key = [] {
        std::string b = "B";
        b.resize(40, ' ');
        return b;
    }();
    struct Case
    {
        const char* name;
        std::function<void()> damage;
        std::vector<const char*> reported;
    };
    const Case cases[] = {
        {"an entry removed",
         [&] {
             MdxIndex(folder.file("stamps.mdx"), fields, true).remove("IDX0", {key, 4});
         },
         {"tag IDX0: record 4 (key \"B\") is missing"}},
        {"an entry too many",
         [&] {
             MdxIndex(folder.file("stamps.mdx"), fields, true).insert("IDX0", {key, 9});
         },
         {"tag IDX0: the entry for record 9 (key \"B\") belongs to no live record"}},
        {"two entries swapped",
         [&] {
             // Tag IDX0's root is its only leaf; its first two items of 44 bytes change places.
             std::string bytes = soundIndex;
             const auto u32 = [&](std::size_t at) {
                 return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]) |
                                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
             };
             const std::size_t leaf = 512 * u32(512 * u32(544)) + 8;
             const std::string first = bytes.substr(leaf, 44);
             bytes.replace(leaf, 44, bytes.substr(leaf + 44, 44));
             bytes.replace(leaf + 44, 44, first);
             fixtures::writeFile(folder.file("stamps.mdx"), bytes);
         },
         {"index: tag IDX0: entries out of order", "tag IDX0: Index file"}},
        {"a record rewritten behind the index's back",
         [&] {
             std::string bytes = soundTable;
             const std::size_t headerLength =
                 static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
             const std::size_t recordLength =
                 static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11]) << 8;
             bytes[headerLength + 2 * recordLength + 1 + 10 + 1] = 'x'; // record 3's title
             fixtures::writeFile(folder.file("stamps.dbf"), bytes);
         },
         {"tag IDX0: record 3 (key \"X\") is missing",
          "tag IDX0: the entry for record 3 (key \"C\") belongs to no live record"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::writeFile(folder.file("stamps.mdx"), soundIndex);
        fixtures::writeFile(folder.file("stamps.dbf"), soundTable);
        c.damage();
        const auto check = tool("check " + path);
        EXPECT_EQ(check.exitCode, 1) << check.output;
        for (const char* expected : c.reported)
            EXPECT_NE(check.output.find(expected), std::string::npos) << expected << "\n" << check.output;
    }
}

} // namespace
