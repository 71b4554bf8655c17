// Filters, the non-stop search and Replace on a generated catalog, each timed beside a plain scan of the
// same table in the same run, and how long Stop takes to end a run.
//   search_bench [records]
#include "dbase/Table.h"
#include "search/EventPump.h"
#include "search/FindSearch.h"
#include "search/ReplaceRun.h"
#include "search/TFilterList.h"
#include "StampGenerator.h"
#include "store/ColumnValues.h"
#include "store/TemplateTables.h"

#include <cstdio>
#include <functional>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int country = 3;
constexpr int custom3 = 26;
constexpr int stopAfterMs = 300;

double milliseconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void makeCatalog(const std::string& folder, int records)
{
    const store::TemplateTable layout = store::recordTemplate();
    dbase::createTable(folder, "data.dbf", layout.fields,
                       {{"IDX0", "STR(RECNO, 20, 4)", false}, {"IDXF1", "FMARK+UPPER(COUNTRY)", false}});
    dbase::Table table;
    table.open(folder, "data.dbf");
    bench::appendStamps(table, layout.fields, records, 1);
}

// How long a run takes to end once Stop was pressed stopAfterMs into it, counted from the moment of the
// press, so that the wait for the run to look at its events is part of it.
double stopLatency(const std::function<void()>& stop, const std::function<void()>& run)
{
    QTimer press;
    press.setSingleShot(true);
    press.setTimerType(Qt::PreciseTimer); // a coarse timer may fire early
    QObject::connect(&press, &QTimer::timeout, stop);
    press.start(stopAfterMs);
    const double ms = milliseconds(run);
    return press.isActive() ? -1 : ms - stopAfterMs;
}

void row(const char* step, double ms, double goal, double reference)
{
    const char* met = goal <= 0 ? "" : ms <= goal ? "yes" : "NO";
    std::printf("| %-52s | %8.1f | %6.0f | %-3s | %5.1f |\n", step, ms, goal, met, ms / reference);
}

void setFilter(search::TFilterList& filters, const QString& value)
{
    filters.Clear();
    filters.SetCondition(*filters.Condition(filters.AddCondition(country)), value, {},
                         search::TFilter::TextKind, search::TFilter::Equal);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    std::printf("catalog of %d records made in %.1f s\n", records,
                milliseconds([&] { makeCatalog(folder, records); }) / 1000);

    dbase::Table browse;
    browse.open(folder, "data.dbf", false, "IDX0");
    search::TFilterList filters;
    filters.AttachTable(browse);

    int hits = 0;
    const double scan = milliseconds([&] {
        dbase::Table table;
        table.open(folder, "data.dbf");
        for (table.first(); !table.eof(); table.next())
            hits += table.asString(2).find("arbour") != std::string::npos;
    });
    const double scanAll = milliseconds([&] {
        dbase::Table table;
        table.open(folder, "data.dbf");
        for (table.first(); !table.eof(); table.next())
            for (std::size_t column = 2; column < table.fieldCount(); ++column)
                if (table.fieldDescriptor(column).isText())
                    hits +=
                        store::columnText(table, static_cast<int>(column)).contains(QLatin1String("arbour"));
    });

    setFilter(filters, QStringLiteral("France"));
    const double applyFirst = milliseconds([&] { filters.ApplyFilter(); });
    const double applyAgain = milliseconds([&] { filters.ApplyFilter(); });
    setFilter(filters, QStringLiteral("Sweden"));
    const double applyOther = milliseconds([&] { filters.ApplyFilter(); });

    search::FindSearch find(browse);
    search::EventPump pump;
    find.yield = [&pump] { pump(); };
    find.setText(QStringLiteral("harbour"));
    const double nonStop = milliseconds([&] { find.NonStop(&filters); });
    const int found = find.FoundCount;
    find.setSkipMemos(true);
    const double nonStopNoMemos = milliseconds([&] { find.NonStop(&filters); });
    find.setSkipMemos(false);
    const double findStop = stopLatency([&] { find.Stop(); }, [&] { find.NonStop(&filters); });

    search::ReplaceRun replace(browse, &filters);
    replace.yield = [&pump] { pump(); };
    search::ReplaceRequest request{
        .column = custom3, .text = QStringLiteral("Replaced"), .fromFirstRecord = true};
    const double replaceAll = milliseconds([&] { replace.Run(request); });
    const int replaced = replace.ReplacedCount;
    request.text = QStringLiteral("Again");
    const double replaceStop = stopLatency([&] { replace.Stop(); }, [&] { replace.Run(request); });

    std::printf("%d descriptions hold the word, %d records found by the search, %d replaced\n\n", hits, found,
                replaced);
    std::printf("| %-52s | %8s | %6s | %-3s | %5s |\n", "Step", "ms", "Goal", "Met", "Ratio");
    std::printf("|---|---:|---:|---|---:|\n");
    row("reference: scan, one text column searched", scan, 0, scan);
    row("reference: scan, every text column as text searched", scanAll, 0, scan);
    row("apply a filter, every mark written", applyFirst, 2000, scan);
    row("apply the same filter again, no mark changes", applyAgain, 2000, scan);
    row("apply another filter, 2 of 40 countries change", applyOther, 2000, scan);
    row("non-stop search, all fields with the memo", nonStop, 2000, scan);
    row("non-stop search, all fields but the memo", nonStopNoMemos, 2000, scan);
    row("Stop during a non-stop search", findStop, 100, scan);
    row("replace one field in every record", replaceAll, 0, scan);
    row("Stop during a replace run", replaceStop, 100, scan);
    return 0;
}
