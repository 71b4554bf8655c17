#include "DatabaseFixture.h"
#include "dbase/Errors.h"
#include "store/FileNames.h"
#include "store/TIndex.h"
#include "TablePeer.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

constexpr int filterMark = 1;
constexpr int country = 3;   // text, 60 wide
constexpr int condition = 6; // text, 40 wide
constexpr int cost = 9;      // number with 2 decimals

using store::FilterScope;

settings::SortSettings byColumn(int column, bool descending = false)
{
    return {static_cast<quint8>(column), descending, 0, false};
}

// A catalog whose records each have a country, a cost and a filter mark, and the sort order on it.
struct SortedCatalog : Database
{
    SortedCatalog() { open(); }

    void add(const QString& countryText, double costValue = 0, const char* mark = "2",
             const QString& conditionText = {})
    {
        dbase::Table& table = folder->browseTable();
        table.append();
        store::setColumnText(table, country, countryText);
        store::setColumnText(table, condition, conditionText);
        store::setColumnText(table, filterMark, QString::fromLatin1(mark));
        table.setNumber(cost, costValue);
        table.post();
    }

    bool sortBy(const settings::SortSettings& sort, FilterScope scope = FilterScope::AllRecords)
    {
        index.setSortSettings(sort);
        index.setFilterScope(scope);
        return index.ApplySortOrder(*folder);
    }

    dbase::Table& browse() { return folder->browseTable(); }

    QStringList countries()
    {
        QStringList values;
        for (browse().first(); !browse().eof(); browse().next())
            values.append(store::columnText(browse(), country));
        return values;
    }
    QList<double> costs()
    {
        QList<double> values;
        for (browse().first(); !browse().eof(); browse().next())
            values.append(browse().asNumber(cost));
        return values;
    }
    // The countries the letter's tab lists.
    QStringList letter(char letter)
    {
        EXPECT_TRUE(index.SetLetterRange(browse(), letter)) << letter;
        return countries();
    }

    std::string tableFolder() const { return store::localPath(session.folders.database); }
    std::vector<dbase::TagInfo> tags() const
    {
        dbase::Table table;
        table.open(tableFolder(), "data.dbf");
        return table.tags();
    }

    store::TIndex index{session, prompts};
};

} // namespace

TEST(SortOrder, SettingsGoToTheTablesSortFileAndComeBack)
{
    SortedCatalog catalog;
    store::TIndex& index = catalog.index;
    EXPECT_EQ(index.sortSettings(), settings::SortSettings{}) << "entry order until a file says otherwise";
    index.setSortSettings({country, true, cost, false});
    index.SaveSortSettings();
    EXPECT_EQ(catalog.read(catalog.file("data.idx")), QByteArray("\x03\x01\x09\x00", 4));

    store::TIndex again(catalog.session, catalog.prompts);
    again.LoadSortSettings();
    EXPECT_EQ(again.sortSettings(), (settings::SortSettings{country, true, cost, false}));

    again.BackupSortSettings();
    EXPECT_TRUE(again.SortSettingsUnchanged());
    again.ResetSortSettings();
    EXPECT_EQ(again.sortSettings(), settings::SortSettings{});
    EXPECT_FALSE(again.SortSettingsUnchanged());
    again.RestoreSortSettings();
    EXPECT_EQ(again.sortSettings(), (settings::SortSettings{country, true, cost, false}));
}

TEST(SortOrder, EntryOrderDescendingListsTheNewestRecordFirst)
{
    SortedCatalog catalog;
    for (const char* name : {"first", "second", "third", "fourth"})
        catalog.add(QString::fromLatin1(name));
    ASSERT_TRUE(catalog.sortBy(byColumn(0, true)));
    EXPECT_EQ(catalog.countries(), (QStringList{"fourth", "third", "second", "first"}));
    ASSERT_TRUE(catalog.sortBy(byColumn(0)));
    EXPECT_EQ(catalog.countries(), (QStringList{"first", "second", "third", "fourth"}));
    EXPECT_EQ(catalog.browse().activeTag(), "IDX0") << "the template's own entry-order tag serves";
}

TEST(SortOrder, AnOrderUsedBeforeReusesItsTagAndANewOneGetsAFreeName)
{
    SortedCatalog catalog;
    catalog.add("Chad");
    ASSERT_TRUE(catalog.sortBy(byColumn(country)));
    EXPECT_EQ(catalog.browse().activeTag(), "IDX1");
    ASSERT_TRUE(catalog.sortBy(byColumn(cost, true)));
    EXPECT_EQ(catalog.browse().activeTag(), "IDX2");
    ASSERT_TRUE(catalog.sortBy(byColumn(country)));
    EXPECT_EQ(catalog.browse().activeTag(), "IDX1");
    ASSERT_TRUE(catalog.sortBy(byColumn(country), FilterScope::NormalFilter));
    EXPECT_EQ(catalog.browse().activeTag(), "IDXF3");
    ASSERT_TRUE(catalog.sortBy(byColumn(country), FilterScope::ReversedFilter));
    EXPECT_EQ(catalog.browse().activeTag(), "IDXF3") << "both scopes share the filtered tag";
    ASSERT_EQ(catalog.tags().size(), 4u);
    EXPECT_EQ(catalog.tags()[3].expression, "FMARK+UPPER(COUNTRY)");

    // Tags deleted elsewhere leave gaps; the count then names a tag that is still there.
    catalog.browse().close();
    {
        dbase::Table table;
        table.open(catalog.tableFolder(), "data.dbf", true);
        table.deleteTag("IDX0");
        table.deleteTag("IDXF3");
    }
    ASSERT_TRUE(catalog.sortBy(byColumn(condition)));
    EXPECT_EQ(catalog.browse().activeTag(), "IDX3");
    EXPECT_TRUE(catalog.prompts.messages.isEmpty()) << catalog.prompts.messages.join("\n").toStdString();
}

TEST(SortOrder, NumbersSortBySignAndByEveryDecimalInBothDirections)
{
    SortedCatalog catalog;
    const QList<double> entered{10.01, -10, 10.05, 0, -0.5, 10.09, 3, -5, 99999999999.99};
    for (double value : entered)
        catalog.add({}, value);
    QList<double> ascending = entered;
    std::sort(ascending.begin(), ascending.end());
    QList<double> descending(ascending.rbegin(), ascending.rend());

    ASSERT_TRUE(catalog.sortBy(byColumn(cost)));
    EXPECT_EQ(catalog.costs(), ascending);
    ASSERT_TRUE(catalog.sortBy(byColumn(cost, true)));
    EXPECT_EQ(catalog.costs(), descending);

    // What the plain forms give: 18 digits of constant leave one decimal, so 10.01, 10.05 and 10.09 tie
    // and keep their entry order; a minus sign sorts as text.
    catalog.browse().close();
    {
        dbase::Table table;
        table.open(catalog.tableFolder(), "data.dbf", true);
        table.addTag({"PLAINDESC", "STR(999999999999999999-COST, 20, 4)", false});
        table.addTag({"PLAINASC", "STR(COST, 20, 4)", false});
    }
    catalog.browse().open(catalog.tableFolder(), "data.dbf", false, "PLAINDESC");
    EXPECT_NE(catalog.costs(), descending);
    catalog.browse().setActiveTag("PLAINASC");
    EXPECT_NE(catalog.costs(), ascending);
}

TEST(SortOrder, ADescendingTextWithANumberKeepsTheNumberAscendingWithinEqualText)
{
    SortedCatalog catalog;
    catalog.add("Chad", 7);
    catalog.add("Benin", 2);
    catalog.add("Chad", -1);
    catalog.add("Benin", 9.5);
    ASSERT_TRUE(catalog.sortBy({country, true, cost, false}));
    EXPECT_TRUE(catalog.index.sortKeys().plain.descending);
    EXPECT_EQ(catalog.countries(), (QStringList{"Chad", "Chad", "Benin", "Benin"}));
    EXPECT_EQ(catalog.costs(), (QList<double>{-1, 7, 2, 9.5}));
}

TEST(SortOrder, LetterTabsUnderADescendingTextSortStartFromTheTopOfTheirLetter)
{
    SortedCatalog catalog;
    const QStringList entered{"Zambia", "zaire", "\u00c5land", "Austria", "Brazil", "1840 issue", "", "Mali"};
    for (const QString& name : entered)
        catalog.add(name);
    ASSERT_TRUE(catalog.sortBy(byColumn(country, true)));
    EXPECT_EQ(catalog.letter('Z'), (QStringList{"\u00c5land", "Zambia", "zaire"}));
    EXPECT_EQ(catalog.letter('A'), (QStringList{"Austria", "1840 issue", ""}));
    EXPECT_EQ(catalog.letter('B'), (QStringList{"Brazil"}));
    EXPECT_EQ(catalog.letter('M'), (QStringList{"Mali"}));
    EXPECT_TRUE(catalog.letter('Q').isEmpty());

    ASSERT_TRUE(catalog.sortBy(byColumn(country)));
    EXPECT_EQ(catalog.letter('Z'), (QStringList{"zaire", "Zambia", "\u00c5land"}));
    EXPECT_EQ(catalog.letter('A'), (QStringList{"", "1840 issue", "Austria"}));

    // Each record's tab is the one whose range holds it.
    for (char l = 'A'; l <= 'Z'; ++l) {
        catalog.index.SetLetterRange(catalog.browse(), l);
        for (catalog.browse().first(); !catalog.browse().eof(); catalog.browse().next())
            EXPECT_EQ(catalog.index.FirstLetterOfRecord(catalog.browse()), l)
                << store::columnText(catalog.browse(), country).toStdString();
    }
}

TEST(SortOrder, LetterRangesUnderAFilterShowOnlyTheScopesMarks)
{
    SortedCatalog catalog;
    catalog.add("Zambia", 0, "2");
    catalog.add("Zanzibar", 0, "0");
    catalog.add("Austria", 0, "2");
    catalog.add("Aden", 0, "0");
    for (bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        ASSERT_TRUE(catalog.sortBy(byColumn(country, descending), FilterScope::NormalFilter));
        EXPECT_EQ(catalog.letter('Z'), (QStringList{"Zambia"}));
        EXPECT_EQ(catalog.letter('A'), (QStringList{"Austria"}));
        ASSERT_TRUE(catalog.sortBy(byColumn(country, descending), FilterScope::ReversedFilter));
        EXPECT_EQ(catalog.letter('Z'), (QStringList{"Zanzibar"}));
        EXPECT_EQ(catalog.letter('A'), (QStringList{"Aden"}));
    }
}

TEST(SortOrder, WithoutLetterTabsAFilterRangeFollowsTheTagsDirection)
{
    SortedCatalog catalog;
    catalog.session.database.letterTabs = 1; // "Don't Use Letter Tabs"
    catalog.add("Chad", 0, "2");
    catalog.add("Benin", 0, "0");
    catalog.add("Angola", 0, "2");
    catalog.add("Togo", 0, "0");
    struct Case
    {
        bool descending;
        FilterScope scope;
        QStringList shown;
    };
    for (const Case& c : {Case{false, FilterScope::NormalFilter, {"Angola", "Chad"}},
                          Case{true, FilterScope::NormalFilter, {"Chad", "Angola"}},
                          Case{false, FilterScope::ReversedFilter, {"Benin", "Togo"}},
                          Case{true, FilterScope::ReversedFilter, {"Togo", "Benin"}},
                          Case{true, FilterScope::AllRecords, {"Togo", "Chad", "Benin", "Angola"}}}) {
        SCOPED_TRACE(c.shown.join(' ').toStdString());
        ASSERT_TRUE(catalog.sortBy(byColumn(country, c.descending), c.scope));
        EXPECT_FALSE(catalog.index.SetLetterRange(catalog.browse(), 'C'));
        EXPECT_EQ(catalog.countries(), c.shown);
        EXPECT_EQ(catalog.browse().recordCount(), c.shown.size());
    }
}

TEST(SortOrder, TheFirstLetterOfARecordIsItsTabsLetter)
{
    struct Case
    {
        QString text;
        char letter;
    };
    const QList<Case> cases{{"", 'A'},          {"apple", 'A'}, {"Mali", 'M'},  {"mali", 'M'}, {"zebra", 'Z'},
                            {"9 kreuzer", 'A'}, {"@", 'A'},     {" Chad", 'A'}, {"[", 'Z'},    {"~", 'Z'},
                            {"\u00e9", 'Z'},    {"Z", 'Z'},     {"A", 'A'}};
    SortedCatalog catalog;
    for (const Case& c : cases)
        catalog.add(c.text);
    EXPECT_EQ(catalog.index.FirstLetterOfRecord(catalog.browse()), 0) << "entry order has no letters";
    ASSERT_TRUE(catalog.sortBy(byColumn(cost)));
    EXPECT_EQ(catalog.index.FirstLetterOfRecord(catalog.browse()), 0) << "nor has a number";
    ASSERT_TRUE(catalog.sortBy(byColumn(country)));
    for (dbase::Table& table = catalog.browse(); !table.eof(); table.next()) {
        const QString text = store::columnText(table, country);
        const auto c =
            std::find_if(cases.begin(), cases.end(), [&](const Case& k) { return k.text == text; });
        ASSERT_NE(c, cases.end());
        EXPECT_EQ(catalog.index.FirstLetterOfRecord(table), c->letter) << text.toStdString();
    }
    EXPECT_EQ(catalog.index.FirstLetterOfRecord(catalog.browse()), 0) << "past the end there is no row";
    catalog.browse().close();
    EXPECT_EQ(catalog.index.FirstLetterOfRecord(catalog.browse()), 0) << "nor in a closed table";
}

TEST(SortOrder, WhenAnotherUserHasTheTableANewOrderFallsBackWithAMessage)
{
    SortedCatalog catalog;
    catalog.add("Chad");
    catalog.add("Angola");
    ASSERT_TRUE(catalog.sortBy(byColumn(country)));
    catalog.index.BackupSortSettings();
    int cursorRestored = 0;
    catalog.index.restoreCursor = [&] { ++cursorRestored; };
    TablePeer peer = TablePeer::holdingOpen(catalog.session.folders.database, "data.dbf", false);
    ASSERT_TRUE(peer.ready());

    EXPECT_TRUE(catalog.sortBy(byColumn(country))) << "an existing tag needs nobody's leave";
    catalog.index.setSortSettings(byColumn(condition, true));
    EXPECT_EQ(catalog.index.ApplySortChange(*catalog.folder), store::TIndex::SortChange::Failed);
    EXPECT_EQ(catalog.prompts.messages,
              QStringList{QStringLiteral("error: ") + store::TIndex::UnableToCreateIndexMessage});
    EXPECT_EQ(cursorRestored, 1);
    EXPECT_EQ(catalog.index.sortSettings(), byColumn(country)) << "back to the order the table is in";
    EXPECT_EQ(catalog.browse().activeTag(), "IDX1");
    EXPECT_EQ(catalog.countries(), (QStringList{"Angola", "Chad"}));
    EXPECT_EQ(catalog.tags().size(), 2u);

    // The first opening of a run falls back without a word.
    catalog.prompts.messages.clear();
    catalog.index.setSortSettings(byColumn(cost));
    EXPECT_FALSE(catalog.index.ApplySortOrder(*catalog.folder, true));
    EXPECT_TRUE(catalog.prompts.messages.isEmpty());
    peer.release();
    EXPECT_TRUE(catalog.sortBy(byColumn(cost)));
}

TEST(SortOrder, AFreshlyOpenedTableThatCannotBeSortedIsInEntryOrder)
{
    SortedCatalog catalog;
    catalog.add("Chad");
    ASSERT_TRUE(catalog.sortBy(byColumn(country), FilterScope::NormalFilter));
    // Another database opens in record-number order; its order cannot be made.
    catalog.close();
    catalog.open();
    TablePeer peer = TablePeer::holdingOpen(catalog.session.folders.database, "data.dbf", false);
    ASSERT_TRUE(peer.ready());
    EXPECT_FALSE(catalog.sortBy(byColumn(condition)));
    EXPECT_EQ(catalog.index.sortSettings(), settings::SortSettings{});
    EXPECT_EQ(catalog.index.filterScope(), FilterScope::AllRecords);
    EXPECT_FALSE(catalog.index.LetterTabsActive(catalog.browse()));
    EXPECT_EQ(catalog.browse().activeTag(), "");
    EXPECT_EQ(catalog.countries(), QStringList{"Chad"});
}

TEST(SortOrder, ASortChangeTurnsTheFilterOffAndAFailedFilterKeepsTheScopeInForce)
{
    SortedCatalog catalog;
    catalog.session.database.letterTabs = 1; // "Don't Use Letter Tabs"
    catalog.add("Chad", 0, "0");
    int sorted = 0;
    // As the record window does: letter "A", here the filter scope alone.
    catalog.index.afterSort = [&] {
        ++sorted;
        catalog.index.SetLetterRange(catalog.browse(), 'A');
    };
    ASSERT_TRUE(catalog.sortBy(byColumn(country), FilterScope::NormalFilter));
    EXPECT_EQ(sorted, 1);
    EXPECT_EQ(catalog.browse().recordCount(), 0) << "the record failed the filter";

    catalog.index.BackupSortSettings();
    EXPECT_EQ(catalog.index.ApplySortChange(*catalog.folder), store::TIndex::SortChange::Unchanged);
    EXPECT_EQ(sorted, 1);
    EXPECT_EQ(catalog.index.filterScope(), FilterScope::NormalFilter) << "nothing changed, nothing was done";

    catalog.index.setSortSettings(byColumn(country, true));
    EXPECT_EQ(catalog.index.ApplySortChange(*catalog.folder), store::TIndex::SortChange::Applied);
    EXPECT_EQ(sorted, 2);
    EXPECT_EQ(catalog.index.filterScope(), FilterScope::AllRecords);
    EXPECT_EQ(catalog.browse().recordCount(), 1);

    TablePeer peer = TablePeer::holdingOpen(catalog.session.folders.database, "data.dbf", false);
    ASSERT_TRUE(peer.ready());
    EXPECT_FALSE(catalog.index.ApplyFilterAndSort(*catalog.folder, FilterScope::ReversedFilter));
    EXPECT_EQ(catalog.index.filterScope(), FilterScope::AllRecords) << "the scope of the order in force";
    EXPECT_EQ(catalog.browse().recordCount(), 1);
    peer.release();
    EXPECT_TRUE(catalog.index.ApplyFilterAndSort(*catalog.folder, FilterScope::ReversedFilter));
    EXPECT_EQ(catalog.browse().recordCount(), 1);
    EXPECT_EQ(sorted, 3);
}
