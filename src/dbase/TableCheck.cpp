#include "TableCheck.h"

#include "Date.h"
#include "DbfHeader.h"
#include "Errors.h"
#include "FieldCodec.h"
#include "File.h"
#include "LockBytes.h"
#include "MdxIndex.h"
#include "MemoFile.h"
#include "RecordScan.h"
#include "TablePack.h"
#include "TablePaths.h"
#include "TableRecords.h"
#include "TagCheck.h"

#include <algorithm>
#include <optional>

namespace dbase {

namespace {

namespace fc = fieldcodec;

constexpr std::size_t problemLimit = 200;

struct UsedRun
{
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    std::uint32_t recordNumber = 0;
    std::size_t field = 0;
};

class Checker
{
public:
    explicit Checker(CheckReport& report) : report_(report) {}

    void problem(std::string text)
    {
        if (report_.problems.size() < problemLimit)
            report_.problems.push_back(std::move(text));
        else
            ++suppressed_;
    }

    void finish()
    {
        if (suppressed_ > 0)
            report_.problems.push_back("... and " + std::to_string(suppressed_) + " more problems");
    }

    void checkRecord(const DbfHeader& header, std::uint32_t recordNumber, std::string_view record,
                     const MemoFile* memo, std::vector<UsedRun>& used)
    {
        const std::string where = "record " + std::to_string(recordNumber);
        if (record[0] != ' ' && record[0] != '*')
            problem(where + ": deletion flag is byte " +
                    std::to_string(static_cast<unsigned char>(record[0])));
        for (std::size_t i = 0; i < header.fields.size(); ++i) {
            const FieldDescriptor& f = header.fields[i];
            const std::string_view bytes = record.substr(f.offset, f.length);
            const std::string column = where + ", column " + f.name;
            if (f.isNumeric() && !fc::parseNumber(bytes))
                problem(column + ": not a number: \"" + std::string(bytes) + "\"");
            else if (f.isDate() && !Date::fromStored(bytes))
                problem(column + ": not a date: \"" + std::string(bytes) + "\"");
            else if (f.isLogical() && !fc::parseLogical(bytes[0]))
                problem(column + ": not a logical value: \"" + std::string(bytes) + "\"");
            else if (f.usesMemoFile())
                checkMemoPointer(column, bytes, memo, recordNumber, i, used);
        }
    }

private:
    void checkMemoPointer(const std::string& column, std::string_view bytes, const MemoFile* memo,
                          std::uint32_t recordNumber, std::size_t field, std::vector<UsedRun>& used)
    {
        const auto block = fc::parseMemoBlock(bytes);
        if (!block) {
            problem(column + ": not a memo block number: \"" + std::string(bytes) + "\"");
            return;
        }
        if (*block == 0 || !memo)
            return;
        try {
            const MemoFile::Run run = memo->extent(*block);
            used.push_back({run.start, run.length, recordNumber, field});
        } catch (const std::exception& error) {
            problem(column + ": " + error.what());
        }
    }

    CheckReport& report_;
    std::size_t suppressed_ = 0;
};

void checkBlockUse(Checker& checker, CheckReport& report, const DbfHeader& header, const MemoFile& memo,
                   std::vector<UsedRun>& used)
{
    std::sort(used.begin(), used.end(), [](const UsedRun& a, const UsedRun& b) { return a.start < b.start; });
    std::uint64_t usedBlocks = 0;
    std::uint64_t usedEnd = 1;
    for (std::size_t i = 0; i < used.size(); ++i) {
        usedBlocks += used[i].length;
        usedEnd = std::max<std::uint64_t>(usedEnd, std::uint64_t(used[i].start) + used[i].length);
        if (i > 0 && std::uint64_t(used[i - 1].start) + used[i - 1].length > used[i].start)
            checker.problem("records " + std::to_string(used[i - 1].recordNumber) + " (column " +
                            header.fields[used[i - 1].field].name + ") and " +
                            std::to_string(used[i].recordNumber) + " (column " +
                            header.fields[used[i].field].name + ") share memo block " +
                            std::to_string(used[i].start));
    }
    const std::uint32_t next = memo.headerNextBlock();
    if (next < usedEnd)
        checker.problem("the memo file's next free block " + std::to_string(next) +
                        " lies inside values in use (they end at block " + std::to_string(usedEnd) + ")");

    std::string fault;
    std::vector<MemoFile::Run> free = memo.freeRuns(fault);
    if (!fault.empty())
        checker.problem("memo free list: " + fault);
    std::sort(free.begin(), free.end(),
              [](const MemoFile::Run& a, const MemoFile::Run& b) { return a.start < b.start; });
    std::uint64_t freeBlocks = 0;
    auto user = used.begin();
    for (std::size_t i = 0; i < free.size(); ++i) {
        const std::uint64_t end = std::uint64_t(free[i].start) + free[i].length;
        freeBlocks += free[i].length;
        if (i > 0 && std::uint64_t(free[i - 1].start) + free[i - 1].length > free[i].start)
            checker.problem("memo free list: runs at blocks " + std::to_string(free[i - 1].start) + " and " +
                            std::to_string(free[i].start) + " overlap");
        while (user != used.end() && std::uint64_t(user->start) + user->length <= free[i].start)
            ++user;
        if (user != used.end() && user->start < end)
            checker.problem("memo free list: block " + std::to_string(free[i].start) +
                            " is free but holds the value of record " + std::to_string(user->recordNumber));
    }
    const std::uint64_t total = memo.endBlock() - 1;
    if (usedBlocks + freeBlocks < total)
        report.notes.push_back(std::to_string(total - usedBlocks - freeBlocks) +
                               " memo blocks are used by no record (pack reclaims them)");
}

// The production index: its structure, and every tag against the keys of the live records.
void checkIndex(Checker& checker, CheckReport& report, const File& dbf, const DbfHeader& header,
                const MemoFile* memo)
{
    const std::string indexPath = locateCompanion(dbf.path(), "mdx");
    if (!header.productionIndex) {
        if (!indexPath.empty())
            report.notes.push_back("the index file " + indexPath +
                                   " is not marked as the table's production index and is not used");
        return;
    }
    if (indexPath.empty()) {
        checker.problem("the index file is missing");
        return;
    }
    MdxIndex index(indexPath, header.fields, false);
    for (const std::string& problem : index.check())
        checker.problem("index: " + problem);
    TableRecords records(dbf, header, memo);
    const std::vector<MdxTag> tags = index.tags();
    for (const MdxTag& tag : tags)
        if (tag.problem.empty())
            compareTagWithRecords(index, tag, records,
                                  [&](std::string text) { checker.problem(std::move(text)); });
    report.notes.push_back("index: " + std::to_string(tags.size()) + " tag" + (tags.size() == 1 ? "" : "s") +
                           " checked against the records");
}

} // namespace

CheckReport checkTable(const std::string& folder, const std::string& fileName)
{
    CheckReport report;
    Checker checker(report);
    const std::string path = locateTable(folder, fileName);
    if (path.empty()) {
        checker.problem("table not found: " + joinPath(folder, tableFileName(fileName)));
        return report;
    }
    try {
        File dbf(path, File::Mode::ReadOnly);
        if (!dbf.tryLock(lockbytes::open, false)) {
            checker.problem("the table is opened exclusively by another user and cannot be checked now");
            return report;
        }
        dbf.lockWaiting(lockbytes::table, false, std::chrono::milliseconds(10000), "the table is busy");
        if (fileExists(packCommitMarker(path)))
            checker.problem("a pack was interrupted after its commit; opening the table completes it");
        const std::uint64_t size = dbf.size();
        const DbfHeader header = DbfHeader::readFrom(dbf);
        if (header.updateMonth < 1 || header.updateMonth > 12 || header.updateDay < 1 ||
            header.updateDay > 31)
            report.notes.push_back("the header's date of last update is not a date");

        std::optional<MemoFile> memo;
        if (header.hasMemoFields()) {
            const std::string memoPath = locateCompanion(path, "dbt");
            if (memoPath.empty())
                checker.problem("the memo file is missing");
            else
                memo.emplace(File(memoPath, File::Mode::ReadOnly), header.usesDBase3Memo());
        }

        std::vector<UsedRun> used;
        scanRecords(dbf, header, [&](std::uint32_t recordNumber, std::string_view record) {
            checker.checkRecord(header, recordNumber, record, memo ? &*memo : nullptr, used);
        });
        if (memo)
            checkBlockUse(checker, report, header, *memo, used);
        checkIndex(checker, report, dbf, header, memo ? &*memo : nullptr);
        if (size > header.endOfRecords() + 1)
            report.notes.push_back(std::to_string(size - header.endOfRecords()) +
                                   " bytes follow the last record (an append that never completed)");
    } catch (const std::exception& error) {
        checker.problem(error.what());
    }
    checker.finish();
    return report;
}

} // namespace dbase
