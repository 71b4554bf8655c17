#include "search/FindSearch.h"
#include "SearchCatalog.h"

#include <gtest/gtest.h>

namespace {

using search::FindSearch;
using Outcome = FindSearch::Outcome;

// What the record window does for the search, over the catalog's letter tabs when sorted by country.
struct SearchWindow
{
    explicit SearchWindow(SearchCatalog& catalog, bool letterTabs)
        : catalog(catalog), search(catalog.browse())
    {
        search.hooks.FindStart = [this, letterTabs](bool forward) {
            if (letterTabs)
                selectLetter(forward ? 'A' : 'Z');
            return true;
        };
        search.hooks.NextLetter = [this, letterTabs](bool forward) {
            if (!letterTabs)
                return true;
            for (char letter = static_cast<char>(this->search.CurrentLetter + (forward ? 1 : -1));
                 letter >= 'A' && letter <= 'Z'; letter = static_cast<char>(letter + (forward ? 1 : -1))) {
                selectLetter(letter);
                if (this->catalog.browse().recordCount() > 0)
                    return false;
            }
            return true;
        };
        search.hooks.ResumeSearch = [this, letterTabs] {
            if (letterTabs)
                selectLetter(foundLetter);
            return true;
        };
        search.hooks.ShowFound = [this] {
            foundLetter = search.CurrentLetter;
            dbase::Table& table = this->catalog.browse();
            found.append(QStringLiteral("%1%2 %3:%4")
                             .arg(search.CurrentLetter ? QString(QChar(search.CurrentLetter)) : QString())
                             .arg(search.RecordCounter)
                             .arg(store::columnText(table, column::description))
                             .arg(search.CurrentField));
        };
    }

    void selectLetter(char letter)
    {
        search.CurrentLetter = letter;
        catalog.index.SetLetterRange(catalog.browse(), letter);
    }

    SearchCatalog& catalog;
    FindSearch search;
    char foundLetter = 0;
    QStringList found;
};

struct FindCase
{
    const char* name;
    QList<Stamp> stamps;
    QString text;
    int field;
    bool forward;
    bool letterTabs;
    int steps; // Find, then Find Next (forward) or Find Previous
    QStringList found;
};

TEST(Find, StepsThroughFieldsRecordsAndLetters)
{
    const QList<Stamp> twoFields = {{.description = "Plain", .country = "Aland"},
                                    {.description = "Penny red", .country = "Bred"},
                                    {.description = "Red cross", .country = "Cland"}};
    const QList<Stamp> lettered = {{.description = "Zebra red", .country = "Zanzibar"},
                                   {.description = "Yak red", .country = "Yemen"},
                                   {.description = "Yeti red", .country = "Yugoslavia"},
                                   {.description = "Ant red", .country = "Austria"}};
    const FindCase cases[] = {
        {"all fields stop at each field of a record",
         twoFields,
         "red",
         FindSearch::AllFields,
         true,
         false,
         4,
         {"1 Penny red:2", "1 Penny red:3", "2 Red cross:2"}},
        {"one field only", twoFields, "red", column::country, true, false, 3, {"1 Penny red:3"}},
        {"backward from the end",
         twoFields,
         "red",
         FindSearch::AllFields,
         false,
         false,
         4,
         {"2 Red cross:2", "1 Penny red:3", "1 Penny red:2"}},
        {"forward across letters",
         lettered,
         "red",
         column::description,
         true,
         true,
         5,
         {"A0 Ant red:2", "Y0 Yak red:2", "Y1 Yeti red:2", "Z0 Zebra red:2"}},
        {"backward from Z continues in Y",
         lettered,
         "red",
         column::description,
         false,
         true,
         5,
         {"Z0 Zebra red:2", "Y1 Yeti red:2", "Y0 Yak red:2", "A0 Ant red:2"}},
        {"text in no record", twoFields, "blue", FindSearch::AllFields, true, true, 1, {}},
    };
    for (const FindCase& test : cases) {
        SCOPED_TRACE(test.name);
        SearchCatalog catalog;
        for (const Stamp& stamp : test.stamps)
            catalog.add(stamp);
        ASSERT_TRUE(catalog.sortBy(column::country));
        SearchWindow window(catalog, test.letterTabs);
        window.search.setField(test.field);
        window.search.setText(test.text);
        Outcome outcome = window.search.Find(test.forward);
        for (int step = 1; step < test.steps && outcome == Outcome::Found; ++step)
            outcome = test.forward ? window.search.FindNext() : window.search.FindPrevious();
        EXPECT_EQ(outcome, Outcome::NotFound) << "the last step finds nothing more";
        EXPECT_EQ(window.found, test.found);
    }
}

TEST(Find, FieldKindsDecideWhatMatches)
{
    struct Case
    {
        const char* name;
        Stamp stamp;
        QString text;
        int field;
        bool skipMemos;
        bool matches;
    } cases[] = {
        {"a number equals the text", {.cost = 12.5}, "12.5", column::cost, false, true},
        {"a number never matches a text that is no number",
         {.cost = 12.5},
         "12.50x",
         column::cost,
         false,
         false},
        {"a number is not a substring", {.cost = 112.5}, "12.5", column::cost, false, false},
        {"text holds the number as a substring",
         {.description = "Mint 12.5"},
         "12.5",
         column::description,
         false,
         true},
        {"text ignores letter case",
         {.description = "Penny Black"},
         "black",
         column::description,
         false,
         true},
        {"a date equals the text", {.issued = QDate(1990, 3, 15)}, "03/15/1990", column::issued, false, true},
        {"a blank date never matches", {}, "03/15/1990", column::issued, false, false},
        {"a memo is searched", {.notes = {"first", "with a flaw"}}, "flaw", column::notes, false, true},
        {"memos can be left out", {.notes = {"with a flaw"}}, "flaw", FindSearch::AllFields, true, false},
        {"all fields include memos", {.notes = {"with a flaw"}}, "flaw", FindSearch::AllFields, false, true},
        {"pictures never match", {}, "", 29, false, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        SearchCatalog catalog;
        catalog.add(test.stamp);
        FindSearch search(catalog.browse());
        search.setField(test.field);
        search.setSkipMemos(test.skipMemos);
        search.setText(test.text);
        EXPECT_EQ(search.Find(true), test.matches ? Outcome::Found : Outcome::NotFound);
    }
}

TEST(Find, AMatchInAMemoIsLocated)
{
    SearchCatalog catalog;
    catalog.add({.notes = {"Bought 1990", "small thin spot"}});
    FindSearch search(catalog.browse());
    search.setText("THIN");
    ASSERT_EQ(search.Find(true), Outcome::Found);
    EXPECT_EQ(search.CurrentField, column::notes);
    EXPECT_EQ(search.MemoMatchOffset, 18); // lines end with one character in the editor
    EXPECT_EQ(search.MemoMatchLength, 4);
}

TEST(Find, ADeletedMatchFallsBackToItsPosition)
{
    SearchCatalog catalog;
    for (const char* text : {"red one", "red two", "red three"})
        catalog.add({.description = text});
    FindSearch search(catalog.browse());
    search.setField(column::description);
    search.setText("red");
    ASSERT_EQ(search.Find(true), Outcome::Found);
    ASSERT_EQ(search.FindNext(), Outcome::Found);
    catalog.browse().deleteRecord(); // the record of the match
    ASSERT_EQ(search.FindNext(), Outcome::Found);
    EXPECT_EQ(store::columnText(catalog.browse(), column::description), "red three");
}

TEST(Find, NonStopMarksTheFoundRecords)
{
    SearchCatalog catalog;
    catalog.addNumbered(100);
    catalog.filters.AttachTable(catalog.browse());
    catalog.filters.AutoMarking = true;
    FindSearch search(catalog.browse());
    search.setField(column::description);
    search.setText("Stamp 1"); // 1, 10 to 19 and 100
    ASSERT_TRUE(search.NonStop(&catalog.filters));
    EXPECT_EQ(search.FoundCount, 12);
    EXPECT_FALSE(catalog.filters.AutoMarking);
    EXPECT_TRUE(static_cast<bool>(catalog.browse().beforePost)) << "the filter hook is back";

    EXPECT_EQ(catalog.showScope(store::FilterScope::NormalFilter), 12);
    EXPECT_EQ(catalog.showScope(store::FilterScope::ReversedFilter), 88);
    const QStringList notFound = catalog.texts(column::description);
    EXPECT_EQ(notFound.size(), 88);
    EXPECT_FALSE(notFound.contains("Stamp 15"));
    EXPECT_TRUE(notFound.contains("Stamp 20"));
}

TEST(Find, AStoppedNonStopSearchKeepsItsMarksAndCountsNothing)
{
    SearchCatalog catalog;
    for (int i = 0; i < 100; ++i)
        catalog.add({.description = "red", .mark = "0"});
    FindSearch search(catalog.browse());
    search.setText("red");
    int records = 0;
    search.yield = [&] {
        if (++records == 30)
            search.Stop();
    };
    EXPECT_FALSE(search.NonStop(nullptr));
    EXPECT_EQ(search.FoundCount, 0);
    EXPECT_EQ(search.RecordCounter, 0);
    EXPECT_EQ(catalog.marksOf(column::description).count("red=2"), 30);
}

} // namespace
