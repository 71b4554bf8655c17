// The workload on the table engine: a record table made from the template's columns, shared use as the
// program has it, posts handed to the operating system one by one.
#include "dbase/Table.h"
#include "StampGenerator.h"
#include "store/TemplateTables.h"
#include "Workloads.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace bench {

namespace {

constexpr const char* table = "stamps.dbf";

// The key of STR(RECNO, 20, 4).
std::string numberKey(std::int64_t number)
{
    char text[32];
    std::snprintf(text, sizeof text, "%20.4f", static_cast<double>(number));
    return text;
}

} // namespace

BenchResults runEngineWorkload(std::int64_t records, const std::string& folder)
{
    BenchResults results;
    const store::TemplateTable layout = store::recordTemplate();
    dbase::createTable(
        folder, table, layout.fields,
        {{"IDX0", "STR(RECNO, 20, 4)", false}, {"IDX1", "UPPER(SUBSTR(DESCRIPT, 1, 99))", false}});
    StampGenerator generator(layout.fields, 1);
    {
        dbase::Table stamps;
        stamps.open(folder, table);
        const Stopwatch watch;
        for (std::int64_t n = 1; n <= records; ++n) {
            stamps.append();
            storeStamp(stamps, generator.columns(), generator.next(n));
            stamps.post();
        }
        results.addTime(figure::append, watch);
    }
    results.add(figure::files, folderMegabytes(folder));
    results.add(figure::appendMemory, peakMemoryMegabytes());
    {
        dbase::Table stamps;
        stamps.open(folder, table, true);
        const Stopwatch watch;
        stamps.addTag({"IDX2", "UPPER(COUNTRY)", false});
        results.addTime(figure::buildTag, watch);
    }
    const int descript = [&] {
        dbase::Table stamps;
        stamps.open(folder, table);
        return stamps.fieldIndex("DESCRIPT");
    }();
    const auto description = static_cast<std::size_t>(descript);
    {
        dbase::Table stamps;
        stamps.open(folder, table, false, "IDX1");
        std::int64_t counted = 0;
        const Stopwatch watch;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const auto [lower, upper] = letterRange(letter);
            stamps.setRange(lower, upper);
            counted += stamps.recordCount();
        }
        results.addTime(figure::letterCounts, watch);
        results.add(figure::counted, static_cast<double>(counted));
    }
    {
        dbase::Table stamps;
        stamps.open(folder, table, false, "IDX0");
        const std::vector<std::int64_t> targets = seekTargets(records);
        std::size_t length = 0;
        const Stopwatch watch;
        for (std::int64_t target : targets) {
            if (!stamps.findKey(numberKey(target)))
                throw std::runtime_error("record " + std::to_string(target) + " not found");
            length += stamps.asString(description).size();
        }
        results.addTime(figure::seek, watch, 1000.0 / static_cast<double>(targets.size()));
        if (length == 0)
            throw std::runtime_error("the records found have no descriptions");
    }
    {
        dbase::Table stamps;
        stamps.open(folder, table);
        std::int64_t hits = 0;
        const Stopwatch watch;
        for (stamps.first(); !stamps.eof(); stamps.next())
            hits += stamps.asString(description).find(searchedWord) != std::string::npos;
        results.addTime(figure::scan, watch);
        results.add(figure::scanHits, static_cast<double>(hits));
    }
    {
        std::vector<Lap> laps;
        for (int i = 0; i < openRepeats; ++i) {
            const Stopwatch watch;
            dbase::Table stamps;
            stamps.open(folder, table, false, "IDX1");
            if (stamps.asString(description).empty())
                throw std::runtime_error("the first record has no description");
            laps.push_back(watch.lap());
        }
        results.addMedian(figure::openFirst, laps);
    }
    {
        dbase::Table stamps;
        stamps.open(folder, table);
        const Stopwatch watch;
        for (std::int64_t n = 10; n <= records; n += 10) {
            if (!stamps.gotoBookmark(static_cast<dbase::Table::Bookmark>(n)))
                throw std::runtime_error("record " + std::to_string(n) + " is missing");
            stamps.deleteRecord();
        }
        results.addTime(figure::deletes, watch);
    }
    {
        dbase::Table stamps;
        stamps.open(folder, table, true);
        const Stopwatch watch;
        stamps.pack();
        results.addTime(figure::pack, watch);
        results.add(figure::packed, static_cast<double>(stamps.recordCount()));
    }
    results.add(figure::memory, peakMemoryMegabytes());
    return results;
}

} // namespace bench
