// Drives the record window offscreen on a generated catalog and prints how long each step of browsing
// takes, beside the engine doing the same reads without the window (the reference of the same run).
//   record_window_bench [records] [runs]
#include "dbase/Table.h"
#include "mainwindow/controls/TFormatedButton.h"
#include "mainwindow/TForm3.h"
#include "settings/SortSettings.h"
#include "StampGenerator.h"
#include "store/Session.h"
#include "store/TemplateTables.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

namespace {

const settings::SortSettings entryOrder{};
const settings::SortSettings byDescription{2, false, 0, false};
const settings::SortSettings byCountry{3, false, 0, false};

double milliseconds(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double medianOf(int runs, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(milliseconds(step));
    return median(times);
}

// The program folder's template tables, and a record table of generated stamps in its DATA folder.
void makeCatalog(const QString& folder, int records)
{
    const QDir built(QStringLiteral(TESSARY_PROGRAM_DIR));
    for (const QString& name : built.entryList({"*.dbf", "*.dbt", "*.mdx", "*.MDX"}, QDir::Files))
        QFile::copy(built.filePath(name), folder + QLatin1Char('/') + name);
    QDir(folder).mkpath(QStringLiteral("DATA/BACKUP"));
    const std::string data = (folder + QStringLiteral("/DATA")).toStdString();
    const std::string program = folder.toStdString();
    dbase::copyTable(program, "data.dbf", data, "data.dbf", false);

    dbase::Table table;
    table.open(data, "data.dbf");
    bench::appendStamps(table, store::recordTemplate().fields, records, 1);
}

// The engine alone: the table opened on a tag, one page of records read from a position.
double enginePage(const std::string& folder, const std::string& tag, int from, int pageSize)
{
    return milliseconds([&] {
        dbase::Table table;
        table.open(folder, "data.dbf", false, tag);
        table.first();
        table.moveBy(from);
        for (int k = 0; k < pageSize && !table.eof(); ++k, table.next())
            (void)table.asString(2);
    });
}

void row(const char* step, double ms, double goal, double reference)
{
    std::printf("| %-44s | %9.1f | %7.0f | %s | %6.1f |\n", step, ms, goal, ms <= goal ? "yes" : "NO ",
                ms / reference);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;

    QTemporaryDir folder;
    QElapsedTimer made;
    made.start();
    makeCatalog(folder.path(), records);
    std::printf("catalog of %d records made in %.1f s\n", records,
                static_cast<double>(made.elapsed()) / 1000);

    store::Session session;
    session.folders.program = folder.path();
    session.folders.dataRoot = folder.path();
    session.folders.publicDatabase = folder.path() + QStringLiteral("/DATA");
    session.folders.settings = session.folders.publicDatabase;
    session.folders.database = session.folders.publicDatabase;

    TForm3 window(session);
    window.resize(1024, 768);
    QElapsedTimer opened;
    opened.start();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    const double openMs = static_cast<double>(opened.elapsed());
    const int pageSize = window.pageSize();

    // New tags: each sort builds its tag over the whole table the first time.
    const double newDescriptionTag = milliseconds([&] { window.ApplySortChange(byDescription); });
    const double newCountryTag = milliseconds([&] { window.ApplySortChange(byCountry); });
    // Existing tags: the sort switches between them.
    std::vector<double> switches;
    for (int i = 0; i < runs; ++i) {
        switches.push_back(milliseconds([&] { window.ApplySortChange(byDescription); }));
        switches.push_back(milliseconds([&] { window.ApplySortChange(byCountry); }));
    }
    const double sortSwitch = median(switches);
    window.ApplySortChange(byDescription);

    const char letters[] = "MSCBPTAE";
    int letterIndex = 0;
    const double selectLetter = medianOf(runs, [&] { window.SelectLetter(letters[letterIndex++ % 8]); });
    window.SelectLetter('S');
    std::printf("letter S: %d records, first shown \"%s\"; sorted %s\n", window.letterCount('S'),
                qPrintable(window.recordListButtons()[0]->column(0).text),
                window.LetterTabsActive() ? "with letter tabs" : "without letter tabs");
    const double nextPage = medianOf(runs, [&] { window.NextPage(); });
    const double lastPage = medianOf(runs, [&] {
        window.FirstPage();
        window.LastPage();
    });
    window.FirstPage();
    int button = 0;
    const double openRecord = medianOf(runs, [&] {
        window.recordListButtons()[button]->Click();
        button = (button + 3) % pageSize;
    });
    window.ApplySortChange(entryOrder);
    const double entryPage = medianOf(runs, [&] { window.NextPage(); });

    const std::string data = session.folders.database.toStdString();
    const double reference =
        median({enginePage(data, "", records / 2, pageSize), enginePage(data, "", records / 3, pageSize),
                enginePage(data, "", records / 4, pageSize)});

    std::printf(
        "\nrecord window, %d records, %d record buttons, median of %d runs; reference: the engine alone "
        "opens the table and reads one page from its middle (%.2f ms)\n\n",
        records, pageSize, runs, reference);
    std::printf("| %-44s | %9s | %7s | %s | %6s |\n", "step", "ms", "goal ms", "met", "ratio");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(11, '-').c_str(),
                std::string(9, '-').c_str(), "-----", std::string(8, '-').c_str());
    row("first show (open, count letters, first page)", openMs, 2000, reference);
    row("sort by a new tag (description)", newDescriptionTag, 2000, reference);
    row("sort by a new tag (country)", newCountryTag, 2000, reference);
    row("sort change, tag exists", sortSwitch, 50, reference);
    row("select a letter", selectLetter, 50, reference);
    row("next page (description order)", nextPage, 50, reference);
    row("first page, then last page of the letter", lastPage, 50, reference);
    row("next page (entry order)", entryPage, 50, reference);
    row("open a record from its button", openRecord, 50, reference);
    window.close();
    return 0;
}
