#include "TableCommands.h"

#include "dbase/Codepage.h"
#include "dbase/DbfHeader.h"
#include "dbase/Errors.h"
#include "dbase/File.h"
#include "dbase/LockBytes.h"
#include "dbase/MdxIndex.h"
#include "dbase/MemoFile.h"
#include "dbase/Sha256.h"
#include "dbase/Table.h"
#include "dbase/TableCheck.h"
#include "dbase/TablePaths.h"

#include <cstdio>

namespace dbase::tool {

namespace {

std::string hexByte(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

std::string csvCell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string cellOf(const Table& table, std::size_t index)
{
    const FieldDescriptor& field = table.fieldDescriptor(index);
    if (field.isDate()) {
        const Date date = table.asDate(index);
        if (date.isBlank())
            return {};
        const std::string stored = date.toStored();
        return stored.substr(0, 4) + "-" + stored.substr(4, 2) + "-" + stored.substr(6, 2);
    }
    if (field.isBinary()) {
        const std::string bytes = table.blob(index);
        if (bytes.empty())
            return {};
        return std::to_string(bytes.size()) + " bytes sha256:" + Sha256::hex(bytes);
    }
    return cp1252ToUtf8(table.asString(index));
}

} // namespace

int printInfo(const std::string& folder, const std::string& fileName, std::ostream& out)
{
    const std::string path = locateTable(folder, fileName);
    if (path.empty())
        throw DatabaseError("table not found: " + joinPath(folder, tableFileName(fileName)));
    File dbf(path, File::Mode::ReadOnly);
    // A consistent picture: no writer while the header and the index are read.
    dbf.lockWaiting(lockbytes::table, false, std::chrono::milliseconds(10000), "the table is busy");
    const DbfHeader header = DbfHeader::readFrom(dbf);
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", header.updateYear, header.updateMonth,
                  header.updateDay);
    out << "table: " << path << "\n"
        << "version: " << hexByte(header.version) << "\n"
        << "last update: " << date << "\n"
        << "records: " << header.recordCount << " (deleted ones included)\n"
        << "header length: " << header.headerLength << "\n"
        << "record length: " << header.recordLength << "\n"
        << "language driver: " << hexByte(header.languageDriver) << "\n"
        << "production index: " << (header.productionIndex ? "yes" : "no") << "\n";
    if (header.hasMemoFields()) {
        const std::string memoPath = locateCompanion(path, "dbt");
        if (memoPath.empty()) {
            out << "memo file: missing\n";
        } else {
            const MemoFile memo(File(memoPath, File::Mode::ReadOnly), header.usesDBase3Memo());
            out << "memo file: " << memoPath << " ("
                << (memo.format() == MemoFile::Format::DBase3 ? "dBASE III" : "dBASE IV") << ", block size "
                << memo.blockSize() << ", next block " << memo.headerNextBlock() << ")\n";
        }
    }
    out << "columns:\n";
    for (const FieldDescriptor& field : header.fields)
        out << "  " << field.name << std::string(11 - field.name.size(), ' ') << static_cast<char>(field.type)
            << " " << static_cast<int>(field.length) << "." << static_cast<int>(field.decimals) << " at "
            << field.offset << "\n";
    const std::string indexPath = locateCompanion(path, "mdx");
    if (!header.productionIndex || indexPath.empty()) {
        out << "tags: none" << (header.productionIndex ? " (the index file is missing)" : "") << "\n";
        return header.productionIndex ? 1 : 0;
    }
    const MdxIndex index(indexPath, header.fields, false);
    out << "index file: " << indexPath
        << (index.interruptedUpdate() ? " (an update was interrupted; opening the table rebuilds its tags)"
                                      : "")
        << "\n";
    const std::vector<MdxTag> tags = index.tags();
    out << "tags:" << (tags.empty() ? " none" : "") << "\n";
    for (const MdxTag& tag : tags) {
        out << "  " << tag.name << (tag.descending ? " (descending)" : "") << (tag.unique ? " (unique)" : "")
            << ": " << tag.expression << "\n";
        if (!tag.problem.empty())
            out << "    cannot be kept current: " << tag.problem << "\n";
    }
    return 0;
}

int dumpCsv(const std::string& folder, const std::string& fileName, std::ostream& out, std::ostream& err)
{
    Table table;
    table.open(folder, fileName);
    std::string line;
    for (std::size_t i = 0; i < table.fieldCount(); ++i)
        line += (i ? "," : "") + csvCell(table.fieldDescriptor(i).name);
    out << line << "\r\n";
    int status = 0;
    for (table.first(); !table.eof(); table.next()) {
        line.clear();
        for (std::size_t i = 0; i < table.fieldCount(); ++i) {
            std::string cell;
            try {
                cell = cellOf(table, i);
            } catch (const EngineError& error) {
                err << "record " << table.recordNumber() << ": " << error.what() << "\n";
                cell = "<damaged>";
                status = 1;
            }
            line += (i ? "," : "") + csvCell(cell);
        }
        out << line << "\r\n";
    }
    return status;
}

int checkFiles(const std::string& folder, const std::string& fileName, std::ostream& out)
{
    const CheckReport report = checkTable(folder, fileName);
    for (const std::string& problem : report.problems)
        out << "problem: " << problem << "\n";
    for (const std::string& note : report.notes)
        out << "note: " << note << "\n";
    if (report.sound()) {
        out << "sound\n";
        return 0;
    }
    out << report.problems.size() << " problem" << (report.problems.size() == 1 ? "" : "s") << " found\n";
    return 1;
}

} // namespace dbase::tool
