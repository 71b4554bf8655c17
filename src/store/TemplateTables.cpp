#include "TemplateTables.h"

#include <filesystem>

namespace store {

using dbase::FieldType;

namespace {

dbase::FieldSpec text(const char* name, std::uint8_t width)
{
    return {name, FieldType::Character, width, 0};
}

dbase::FieldSpec money(const char* name)
{
    return {name, FieldType::Numeric, 14, 2};
}

dbase::FieldSpec date(const char* name)
{
    return {name, FieldType::Date, 8, 0};
}

dbase::FieldSpec binary(const char* name)
{
    return {name, FieldType::Binary, 10, 0};
}

void copyFile(const std::string& folder, const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(folder + "/" + from, folder + "/" + to,
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace

TemplateTable recordTemplate()
{
    // Widths are generous: collectors paste catalog texts, and a text column cannot grow later.
    return {"data.dbf",
            {
                {"RECNO", FieldType::Numeric, 10, 0},
                text("FMARK", 1),
                text("DESCRIPT", 100),             // 1 Stamp Description
                text("COUNTRY", 60),               // 2 Country
                text("SHORTNOTE", 80),             // 3 Short Note
                text("CATALOGNO", 30),             // 4 Catalog #
                text("CONDITION", 40),             // 5 Condition
                date("ISSUED"),                    // 6 Date Issued
                text("FACEVALUE", 30),             // 7 Face Value
                money("COST"),                     // 8 Cost
                money("MARKET"),                   // 9 Market Value
                binary("SMALLPIC"),                // 10 Small Picture
                text("PAPERCOLOR", 40),            // 11 Paper Color
                text("WATERMARK", 60),             // 12 Watermark
                text("ERRORS", 100),               // 13 Errors
                text("COMMENT", 100),              // 14 Comment
                text("STAMPTYPE", 40),             // 15 Type
                text("FORMAT", 40),                // 16 Format
                text("PAPER", 40),                 // 17 Paper
                text("GUM", 40),                   // 18 Gum
                text("CANCELLATN", 60),            // 19 Cancellation
                text("PERFORATN", 40),             // 20 Perforation
                {"NOTES", FieldType::Memo, 10, 0}, // 21 Notes
                text("ATTACHMENT", 254),           // 22 Attachment (a file path)
                text("CUSTOM1", 100),              // 23 Custom 1
                text("CUSTOM2", 60),               // 24 Custom 2
                text("CUSTOM3", 60),               // 25 Custom 3
                date("CUSTOM4"),                   // 26 Custom 4
                money("CUSTOM5"),                  // 27 Custom 5
                binary("PICTURE"),                 // 28 Picture
            },
            // Entry order, the sort of a fresh database, so the first start needs no exclusive index work.
            {{"IDX0", "STR(RECNO, 20, 4)", false}}};
}

TemplateTable tableListTemplate()
{
    return {"master.dbf",
            {
                text("FILENAME", 64),
                text("DBNAME", 64),
                text("DESCRIPT", 250),
                {"LASTNUMBER", FieldType::Numeric, 10, 0},
            },
            // File names are compared without case.
            {{"IDX0", "UPPER(FILENAME)", false}}};
}

TemplateTable lookupListTemplate()
{
    return {"list.dbf", {text("VALUE", 60)}, {{"IDX", "VALUE", false}}};
}

void writeTemplateTables(const std::string& folder)
{
    for (const TemplateTable& table : {recordTemplate(), tableListTemplate(), lookupListTemplate()}) {
        dbase::deleteTable(folder, table.fileName);
        dbase::createTable(folder, table.fileName, table.fields, table.tags);
    }
    // The spare index files that repair copies over a damaged index.
    copyFile(folder, "data.mdx", "DATA.MDX");
    copyFile(folder, "master.mdx", "MASTER.MDX");
}

} // namespace store
