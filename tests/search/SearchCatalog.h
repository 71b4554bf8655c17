#pragma once

#include "DatabaseFixture.h"
#include "search/TFilterList.h"
#include "store/FileNames.h"
#include "store/TIndex.h"

#include <QDate>

// Columns of the record table the search tests use.
namespace column {
inline constexpr int mark = 1;
inline constexpr int description = 2;
inline constexpr int country = 3;
inline constexpr int catalogNo = 5;
inline constexpr int issued = 7; // date
inline constexpr int cost = 9;   // money, 2 decimals
inline constexpr int notes = 22; // memo
} // namespace column

// One stamp's values; what is left empty stays blank.
struct Stamp
{
    QString description = {};
    QString country = {};
    double cost = 0;
    QDate issued = {};
    QStringList notes = {};
    QString mark = QStringLiteral("2");
    QString catalogNo = {};
};

// A database with stamps, its sort order and the filter on its browse table.
struct SearchCatalog : Database
{
    SearchCatalog() { open(); }

    dbase::Table& browse() { return folder->browseTable(); }

    void add(const Stamp& stamp)
    {
        dbase::Table& table = browse();
        table.append();
        store::setColumnText(table, column::description, stamp.description);
        store::setColumnText(table, column::country, stamp.country);
        store::setColumnText(table, column::catalogNo, stamp.catalogNo);
        store::setColumnText(table, column::mark, stamp.mark);
        table.setNumber(column::cost, stamp.cost);
        store::setColumnDate(table, column::issued, stamp.issued);
        if (!stamp.notes.isEmpty())
            store::setColumnMemoLines(table, column::notes, stamp.notes);
        table.post();
    }

    // count stamps "Stamp 1" ..., from countries whose first letters run through the alphabet.
    void addNumbered(int count)
    {
        for (int i = 1; i <= count; ++i)
            add({.description = QStringLiteral("Stamp %1").arg(i),
                 .country = QString(QChar('A' + (i - 1) % 26)) + QStringLiteral("land"),
                 .cost = static_cast<double>(i)});
    }

    bool sortBy(int primary, store::FilterScope scope = store::FilterScope::AllRecords)
    {
        index.setSortSettings({static_cast<quint8>(primary), false, 0, false});
        index.setFilterScope(scope);
        return index.ApplySortOrder(*folder);
    }

    // The records the record list shows under the scope, without letter tabs.
    std::int64_t showScope(store::FilterScope scope)
    {
        session.database.letterTabs = 1;
        EXPECT_TRUE(sortBy(column::description, scope));
        index.SetLetterRange(browse(), 'A');
        return browse().recordCount();
    }

    // The texts of a column over the browse table's current range, in its order.
    QStringList texts(int col)
    {
        QStringList values;
        for (browse().first(); !browse().eof() && browse().recordNumber() != 0; browse().next())
            values.append(store::columnText(browse(), col));
        return values;
    }

    // Every record's column value and mark, in record-number order, through a table object of its own.
    QStringList marksOf(int col)
    {
        dbase::Table table;
        table.open(store::localPath(session.folders.database), "data.dbf");
        QStringList values;
        for (table.first(); !table.eof() && table.recordNumber() != 0; table.next())
            values.append(store::columnText(table, col) + QLatin1Char('=') +
                          store::columnText(table, column::mark));
        return values;
    }

    int dateFormat = 0;
    search::TFilterList filters{[this] { return dateFormat; }};
    store::TIndex index{session, prompts};
};
