#include "AnsweredBoxes.h"
#include "HelpRequests.h"
#include "mainwindow/controls/TNoFocusBitBtn.h"
#include "mainwindow/controls/TSortButton.h"
#include "MenuPaths.h"
#include "ModalAnswers.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

using controls::FieldKind;
using settings::SortSettings;

namespace {

// Columns: Description 2, Country 3, Notes 4 (memo), Picture 5, Cost 6 (numeric).
constexpr quint8 description = 2, country = 3, notes = 4, picture = 5, cost = 6;

controls::FieldList stampFields()
{
    return {{QStringLiteral("Description"), FieldKind::Text},
            {QStringLiteral("Country"), FieldKind::Text},
            {QStringLiteral("Notes"), FieldKind::Memo},
            {QStringLiteral("Picture"), FieldKind::Picture},
            {QStringLiteral("Cost"), FieldKind::Other}};
}

SortSettings sortOf(quint8 primary, bool primaryDown, quint8 secondary, bool secondaryDown)
{
    return {primary, primaryDown, secondary, secondaryDown};
}

std::string describe(const SortSettings& s)
{
    return std::to_string(s.primaryColumn) + (s.primaryDescending ? "v " : "^ ") +
           std::to_string(s.secondaryColumn) + (s.secondaryDescending ? "v" : "^");
}

struct SortBar : ::testing::Test
{
    QWidget window;
    TSortButton* bar = new TSortButton(&window);

    SortBar()
    {
        window.resize(320, 40);
        bar->setFields(stampFields());
        window.show();
    }

    // Opens a menu the way F6 … F8 do, and finds an item in it.
    QAction* item(QMenu* menu, const QStringList& path)
    {
        if (!menu->isVisible()) {
            if (menu == bar->primaryMenu())
                bar->popupPrimaryMenu();
            else if (menu == bar->secondaryMenu())
                bar->popupSecondaryMenu();
            else
                bar->popupFilterMenu();
        }
        return findItem(menu, path);
    }

    // The settings a menu choice hands over, or nothing when it emits nothing.
    std::optional<SortSettings> choose(QMenu* menu, const QStringList& path,
                                       void (TSortButton::*signal)(const SortSettings&))
    {
        std::optional<SortSettings> chosen;
        auto connection = QObject::connect(bar, signal, [&](const SortSettings& s) { chosen = s; });
        QAction* action = item(menu, path);
        EXPECT_NE(action, nullptr) << path.join(QLatin1Char('/')).toStdString();
        if (action)
            action->trigger();
        QObject::disconnect(connection);
        menu->close();
        return chosen;
    }
};

} // namespace

TEST_F(SortBar, ThreePartsShareTheWidth)
{
    TSortButton fresh;
    fresh.show();
    EXPECT_EQ(fresh.size(), QSize(300, 20));
    EXPECT_EQ(fresh.primaryPart()->geometry(), QRect(0, 0, 100, 20));
    EXPECT_EQ(fresh.secondaryPart()->geometry(), QRect(100, 0, 100, 20));
    EXPECT_EQ(fresh.filterPart()->geometry(), QRect(200, 0, 100, 20));
    bar->resize(301, 20);
    EXPECT_EQ(bar->filterPart()->geometry(), QRect(200, 0, 101, 20)) << "the filter part takes the rest";
    for (TNoFocusBitBtn* part : {bar->primaryPart(), bar->secondaryPart(), bar->filterPart()}) {
        EXPECT_EQ(part->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(part->glyphMargin(), 1);
    }
}

TEST_F(SortBar, GlyphsShowTheDirections)
{
    EXPECT_TRUE(bar->IsDown1());
    EXPECT_FALSE(bar->IsDown2());
    EXPECT_EQ(bar->primaryPart()->glyph().toImage(), bar->DownBmp().toImage());
    EXPECT_EQ(bar->secondaryPart()->glyph().toImage(), bar->UpBmp().toImage());
    EXPECT_EQ(bar->filterPart()->glyph().toImage(), bar->FilterBmp().toImage());
    bar->SetLabels(QStringLiteral("A"), false, QStringLiteral("B"), true);
    EXPECT_EQ(bar->primaryPart()->glyph().toImage(), bar->UpBmp().toImage());
    EXPECT_EQ(bar->secondaryPart()->glyph().toImage(), bar->DownBmp().toImage());
    EXPECT_EQ(bar->Label1(), QStringLiteral("A"));
    EXPECT_EQ(bar->Label2(), QStringLiteral("B"));
}

TEST_F(SortBar, CaptionsShowTheSortSettings)
{
    struct Case
    {
        SortSettings sort;
        const char* label1;
        const char* label2;
    };
    const Case cases[] = {
        {sortOf(0, false, 0, false), "Entry Order", "NONE"},
        {sortOf(country, true, cost, false), "Country", "Cost"},
        {sortOf(cost, false, 1, false), "Cost", "NONE"},
    };
    for (const Case& c : cases) {
        bar->ShowSortSettings(c.sort);
        EXPECT_EQ(bar->Label1(), QString::fromLatin1(c.label1));
        EXPECT_EQ(bar->Label2(), QString::fromLatin1(c.label2));
        EXPECT_EQ(bar->IsDown1(), c.sort.primaryDescending);
        EXPECT_EQ(bar->IsDown2(), c.sort.secondaryDescending);
    }
}

TEST_F(SortBar, FilterPartShowsTheScope)
{
    const char* texts[] = {"All Records", "Normal Filter", "Reversed Filter"};
    for (int scope = 0; scope < 3; ++scope) {
        bar->setFilterState(scope);
        EXPECT_EQ(bar->filterPart()->text(), QString::fromLatin1(texts[scope]));
    }
    bar->setFilterState(7);
    EXPECT_EQ(bar->FilterState(), 2) << "a scope outside the three is ignored";
}

TEST_F(SortBar, HintsGoToTheParts)
{
    bar->setHint1(QStringLiteral("one"));
    bar->setHint2(QStringLiteral("two"));
    bar->setHint3(QStringLiteral("three"));
    EXPECT_EQ(bar->primaryPart()->toolTip(), QStringLiteral("one"));
    EXPECT_EQ(bar->secondaryPart()->toolTip(), QStringLiteral("two"));
    EXPECT_EQ(bar->filterPart()->toolTip(), QStringLiteral("three"));
}

TEST_F(SortBar, LeftClicksSignalSortOrFilter)
{
    QSignalSpy sortClicks(bar, &TSortButton::clicked);
    QSignalSpy filterClicks(bar, &TSortButton::filterClicked);
    QTest::mouseClick(bar->primaryPart(), Qt::LeftButton);
    QTest::mouseClick(bar->secondaryPart(), Qt::LeftButton);
    EXPECT_EQ(sortClicks.count(), 2);
    EXPECT_EQ(filterClicks.count(), 0);
    QTest::mouseClick(bar->filterPart(), Qt::LeftButton);
    EXPECT_EQ(filterClicks.count(), 1);
}

TEST_F(SortBar, RightClickOpensThePartsMenu)
{
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                 bar->secondaryPart()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(bar->secondaryPart(), &rightClick);
    EXPECT_TRUE(bar->secondaryMenu()->isVisible());
    EXPECT_FALSE(bar->primaryMenu()->isVisible());
    EXPECT_EQ(itemTexts(bar->secondaryMenu()),
              QStringList({QStringLiteral("&Secondary Sort Field"), QStringLiteral("Sort &Direction"),
                           QStringLiteral("-"), QStringLiteral("&Help")}));
    bar->secondaryMenu()->close();
}

TEST_F(SortBar, PrimaryMenuListsTheFields)
{
    bar->ShowSortSettings(sortOf(country, false, 0, false));
    bar->popupPrimaryMenu();
    QMenu* menu = bar->primaryMenu();
    EXPECT_EQ(itemTexts(menu),
              QStringList({QStringLiteral("&Primary Sort Field"), QStringLiteral("&Sort Direction"),
                           QStringLiteral("-"), QStringLiteral("&Help")}));
    QMenu* fields = subMenu(menu, QStringLiteral("&Primary Sort Field"));
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(itemTexts(fields),
              QStringList({"Entry Order", "Description", "Country", "Notes", "Picture", "Cost"}));
    for (QAction* action : fields->actions()) {
        const bool shouldBeEnabled = action->text() != QStringLiteral("Notes") && action->text() != "Picture";
        EXPECT_EQ(action->isEnabled(), shouldBeEnabled) << action->text().toStdString();
        EXPECT_EQ(action->isChecked(), action->text() == QStringLiteral("Country"))
            << action->text().toStdString();
    }
    QMenu* direction = subMenu(menu, QStringLiteral("&Sort Direction"));
    EXPECT_TRUE(findItem(direction, {"Ascending"})->isChecked()) << "follows IsDown1";
    EXPECT_FALSE(findItem(direction, {"Descending"})->isChecked());
    menu->close();
}

TEST_F(SortBar, SortChoicesHandOverTheSettingsTheyLeadTo)
{
    using Signal = void (TSortButton::*)(const SortSettings&);
    const Signal sortBy = &TSortButton::sortByClicked;
    const Signal sort1 = &TSortButton::sort1MenuClicked;
    const Signal sort2 = &TSortButton::sort2MenuClicked;
    struct Case
    {
        const char* name;
        SortSettings before;
        bool secondaryMenu;
        QStringList item;
        Signal signal;
        std::optional<SortSettings> after;
    };
    const QStringList primaryField{"&Primary Sort Field"};
    const QStringList primaryDirection{"&Sort Direction"};
    const QStringList secondaryField{"&Secondary Sort Field"};
    const Case cases[] = {
        {"a numeric primary field", sortOf(country, true, description, true), false,
         primaryField + QStringList{"Cost"}, sortBy, sortOf(cost, true, description, true)},
        {"the secondary field as primary clears the secondary", sortOf(country, false, cost, true), false,
         primaryField + QStringList{"Cost"}, sortBy, sortOf(cost, false, 0, true)},
        {"Entry Order clears both", sortOf(country, true, description, false), false,
         primaryField + QStringList{"Entry Order"}, sortBy, sortOf(0, true, 0, false)},
        {"text over text: the secondary direction follows", sortOf(cost, true, description, false), false,
         primaryField + QStringList{"Country"}, sortBy, sortOf(country, true, description, true)},
        {"the primary field in force does nothing", sortOf(country, false, 0, false), false,
         primaryField + QStringList{"Country"}, sortBy, std::nullopt},
        {"primary descending over text: the secondary follows", sortOf(country, false, description, false),
         false, primaryDirection + QStringList{"Descending"}, sort1,
         sortOf(country, true, description, true)},
        {"a numeric secondary keeps its direction", sortOf(country, false, cost, false), false,
         primaryDirection + QStringList{"Descending"}, sort1, sortOf(country, true, cost, false)},
        {"back to ascending", sortOf(cost, true, 0, false), false,
         primaryDirection + QStringList{"Ascending"}, sort1, sortOf(cost, false, 0, false)},
        {"the primary direction in force does nothing", sortOf(cost, true, 0, false), false,
         primaryDirection + QStringList{"Descending"}, sort1, std::nullopt},
        {"a text secondary takes the primary's direction", sortOf(country, true, 0, false), true,
         secondaryField + QStringList{"Description"}, sortBy, sortOf(country, true, description, true)},
        {"NONE clears the secondary", sortOf(country, true, cost, false), true,
         secondaryField + QStringList{"NONE"}, sortBy, sortOf(country, true, 0, false)},
        {"secondary descending",
         sortOf(country, true, cost, false),
         true,
         {"Sort &Direction", "Descending"},
         sort2,
         sortOf(country, true, cost, true)},
    };
    for (const Case& c : cases) {
        bar->ShowSortSettings(c.before);
        const auto chosen =
            choose(c.secondaryMenu ? bar->secondaryMenu() : bar->primaryMenu(), c.item, c.signal);
        ASSERT_EQ(chosen.has_value(), c.after.has_value()) << c.name;
        if (chosen) {
            EXPECT_EQ(*chosen, *c.after) << c.name << ": got " << describe(*chosen);
        }
        EXPECT_EQ(bar->sortSettings(), c.before) << "the bar waits for the window to show the new settings";
    }
}

TEST_F(SortBar, SecondaryMenuDisablesWhatCannotBeChosen)
{
    struct Case
    {
        const char* name;
        SortSettings sort;
        QStringList enabledFields;
        bool directionItem;
        bool ascending;
        bool descending;
    };
    const Case cases[] = {
        {"text primary, numeric secondary",
         sortOf(country, false, cost, false),
         {"NONE", "Description", "Cost"},
         true,
         true,
         true},
        {"two text fields: only the direction in force",
         sortOf(country, true, description, true),
         {"NONE", "Description", "Cost"},
         true,
         false,
         true},
        {"entry order: no direction",
         sortOf(0, false, cost, false),
         {"NONE", "Description", "Country", "Cost"},
         true,
         false,
         false},
        {"no secondary: no direction item",
         sortOf(cost, false, 0, false),
         {"NONE", "Description", "Country"},
         false,
         true,
         true},
    };
    for (const Case& c : cases) {
        bar->ShowSortSettings(c.sort);
        bar->popupSecondaryMenu();
        QMenu* fields = subMenu(bar->secondaryMenu(), QStringLiteral("&Secondary Sort Field"));
        ASSERT_NE(fields, nullptr);
        QStringList enabled;
        for (QAction* action : fields->actions())
            if (action->isEnabled())
                enabled.append(action->text());
        EXPECT_EQ(enabled, c.enabledFields) << c.name;
        QAction* direction = findItem(bar->secondaryMenu(), {"Sort &Direction"});
        EXPECT_EQ(direction->isEnabled(), c.directionItem) << c.name;
        EXPECT_EQ(findItem(direction->menu(), {"Ascending"})->isEnabled(), c.ascending) << c.name;
        EXPECT_EQ(findItem(direction->menu(), {"Descending"})->isEnabled(), c.descending) << c.name;
        bar->secondaryMenu()->close();
    }
}

TEST_F(SortBar, FilterMenuSetsTheScope)
{
    bar->setFilterState(TSortButton::NormalFilter);
    bar->popupFilterMenu();
    EXPECT_FALSE(findItem(bar->filterMenu(), {"&Normal Filter"})->isEnabled()) << "the scope in force";
    EXPECT_TRUE(findItem(bar->filterMenu(), {"&All Records"})->isEnabled());
    QSignalSpy menuClicks(bar, &TSortButton::filterMenuClicked);
    int stateWhenSignalled = -1;
    QObject::connect(bar, &TSortButton::filterMenuClicked, [&] { stateWhenSignalled = bar->FilterState(); });
    findItem(bar->filterMenu(), {"&Reversed Filter"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(menuClicks.count(), 1);
    EXPECT_EQ(stateWhenSignalled, TSortButton::ReversedFilter);
    EXPECT_EQ(bar->filterPart()->text(), QStringLiteral("Reversed Filter"));
}

TEST_F(SortBar, FilterTemplatesNeedAQuickFilterReceiver)
{
    bar->setFilterTemplates({[] { return QStringList{QStringLiteral("Mint")}; },
                             [](const QString&) { return true; }, [](const QString&) { return true; },
                             [](const QString&) {}});
    bar->popupFilterMenu();
    EXPECT_EQ(itemTexts(bar->filterMenu()), QStringList({"&All Records", "&Normal Filter", "&Reversed Filter",
                                                         "-", "&Delete Template", "-", "&Help"}));
    bar->filterMenu()->close();

    QObject::connect(bar, &TSortButton::quickFilter, [] {});
    bar->popupFilterMenu();
    EXPECT_EQ(itemTexts(bar->filterMenu()),
              QStringList({"&All Records", "&Normal Filter", "&Reversed Filter", "-", "&Load From Template",
                           "&Save As Template", "&Delete Template", "-", "&Help"}));
    bar->filterMenu()->close();
}

TEST_F(SortBar, LoadingAFilterTemplate)
{
    QStringList loaded;
    bool loadSucceeds = true;
    bar->setFilterTemplates({[] {
                                 return QStringList{QStringLiteral("Mint"), QStringLiteral("Used")};
                             },
                             [&](const QString& name) {
                                 loaded.append(name);
                                 return loadSucceeds;
                             },
                             [](const QString&) { return true; }, [](const QString&) {}});
    QSignalSpy quickFilters(bar, &TSortButton::quickFilter);
    item(bar->filterMenu(), {"&Load From Template", "Used"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(loaded, QStringList{QStringLiteral("Used")});
    EXPECT_EQ(quickFilters.count(), 1);

    loadSucceeds = false;
    ModalWatcher boxes;
    item(bar->filterMenu(), {"&Load From Template", "Mint"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error Loading Template.")});
    EXPECT_EQ(quickFilters.count(), 1) << "no quick filter after a failed load";
}

TEST_F(SortBar, LoadAndDeleteAreDisabledWithoutTemplates)
{
    QObject::connect(bar, &TSortButton::quickFilter, [] {});
    bar->setFilterTemplates({[] { return QStringList(); }, [](const QString&) { return true; },
                             [](const QString&) { return true; }, [](const QString&) {}});
    EXPECT_FALSE(item(bar->filterMenu(), {"&Load From Template"})->isEnabled());
    EXPECT_FALSE(item(bar->filterMenu(), {"&Delete Template"})->isEnabled());
    EXPECT_TRUE(item(bar->filterMenu(), {"&Save As Template"})->isEnabled());
    bar->filterMenu()->close();
}

TEST_F(SortBar, SavingAndDeletingFilterTemplates)
{
    QStringList names{QStringLiteral("Mint")};
    QStringList removed;
    QObject::connect(bar, &TSortButton::quickFilter, [] {});
    bar->setFilterTemplates({[&] { return names; }, [](const QString&) { return true; },
                             [&](const QString& name) {
                                 if (names.contains(name))
                                     return false;
                                 names.append(name);
                                 return true;
                             },
                             [&](const QString& name) { removed.append(name); }});
    ModalAnswers answers;
    ModalWatcher boxes;

    answers.answerInput(QStringLiteral("Used"));
    item(bar->filterMenu(), {"&Save As Template"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(answers.inputs(), QStringList{QStringLiteral("Save Filter As Template|Template Name:")});
    EXPECT_EQ(names, QStringList({QStringLiteral("Mint"), QStringLiteral("Used")}));
    EXPECT_TRUE(boxes.texts().isEmpty());

    answers.answerInput(QStringLiteral("Mint"));
    item(bar->filterMenu(), {"&Save As Template"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Duplicate name - Template Not Saved!")});

    // Cancel, and an empty name, save nothing.
    item(bar->filterMenu(), {"&Save As Template"})->trigger();
    bar->filterMenu()->close();
    answers.answerInput(QString());
    item(bar->filterMenu(), {"&Save As Template"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(names.size(), 2);
    EXPECT_EQ(answers.inputs().size(), 4);

    item(bar->filterMenu(), {"&Delete Template", "Used"})->trigger();
    bar->filterMenu()->close();
    EXPECT_EQ(removed, QStringList{QStringLiteral("Used")});
}

TEST_F(SortBar, HelpOpensTheControlsContext)
{
    HelpRequests help;
    bar->setHelpContext(22);
    for (QMenu* menu : {bar->primaryMenu(), bar->secondaryMenu(), bar->filterMenu()}) {
        item(menu, {"&Help"})->trigger();
        menu->close();
    }
    EXPECT_EQ(help.contexts(), QList<int>({22, 22, 22}));
}
