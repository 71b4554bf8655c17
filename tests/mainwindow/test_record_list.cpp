#include "mainwindow/controls/TFormatedButton.h"
#include "RecordWindowFixture.h"
#include "settings/SortSettings.h"
#include "store/TIndex.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace {

// The description column ascending: a text sort, so the letter tabs take part.
const settings::SortSettings byDescription{2, false, 0, false};

QStringList numbered(const QString& prefix, int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts.append(QStringLiteral("%1 %2").arg(prefix).arg(i, 2, 10, QLatin1Char('0')));
    return texts;
}

} // namespace

class RecordListTest : public RecordWindowTest
{
protected:
    // The window's height is found that gives the record list exactly this many buttons.
    void setPageSize(TForm1& window, int size)
    {
        for (int height = TForm1::minimumWindowHeight; height < 2000 && window.pageSize() != size; ++height)
            window.resize(window.width(), height);
        ASSERT_EQ(window.pageSize(), size);
    }

    // The first column of every record button, empty ones included.
    QStringList shown(const TForm1& window) const
    {
        QStringList texts;
        for (const TFormatedButton* button : window.recordListButtons())
            texts.append(button->columnCount() > 0 ? button->column(0).text : QString());
        return texts;
    }

    QStringList page(const QStringList& all, int from, int size) const
    {
        QStringList texts = all.mid(from, size);
        while (texts.size() < size)
            texts.append(QString());
        return texts;
    }
};

TEST_F(RecordListTest, PagingWithoutLetterTabs)
{
    const QStringList all = numbered("Stamp", 25);
    seed(all);
    TForm1& window = open();
    setPageSize(window, 10);
    EXPECT_FALSE(window.LetterTabsActive()) << "entry order has no letters";
    EXPECT_EQ(shown(window), page(all, 0, 10));
    EXPECT_FALSE(window.command(TForm1::Command::First)->isEnabled());
    EXPECT_TRUE(window.command(TForm1::Command::PageDown)->isEnabled());

    window.LastPage();
    EXPECT_EQ(window.pageOffset(), 20);
    EXPECT_EQ(shown(window), page(all, 20, 10)) << "records 21 to 25, the rest empty";
    EXPECT_FALSE(window.command(TForm1::Command::PageDown)->isEnabled());
    EXPECT_FALSE(window.command(TForm1::Command::Last)->isEnabled());
    window.NextPage();
    EXPECT_EQ(window.pageOffset(), 20);
    window.PriorPage();
    EXPECT_EQ(window.pageOffset(), 10);
    window.FirstPage();
    EXPECT_EQ(window.pageOffset(), 0);

    // A click shows the record of its button, which stays down.
    window.recordListButtons()[3]->Click();
    EXPECT_EQ(window.position(), 4);
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Stamp 04");
    EXPECT_TRUE(window.recordListButtons()[3]->Selected());
}

TEST_F(RecordListTest, TenRecordsOnAPageOfTenStayOnTheFirstPage)
{
    seed(numbered("Stamp", 10));
    TForm1& window = open();
    setPageSize(window, 10);
    window.NextPage();
    EXPECT_EQ(window.pageOffset(), 0);
    window.LastPage();
    EXPECT_EQ(window.pageOffset(), 0);
}

TEST_F(RecordListTest, LetterTabsCountTheRecordsAndPageOnToTheNextLetter)
{
    QStringList all = numbered("Cameroon", 12);
    all += {"Bhutan", "Brazil", "Egypt", "austria"};
    seed(all);
    TForm1& window = open();
    setPageSize(window, 10);
    window.ApplySortChange(byDescription);
    ASSERT_TRUE(window.LetterTabsActive());
    EXPECT_EQ(window.currentLetter(), 'A');
    EXPECT_EQ(window.letterCount('A'), 1) << "lower case counts under its capital";
    EXPECT_EQ(window.letterCount('B'), 2);
    EXPECT_EQ(window.letterCount('C'), 12);
    EXPECT_EQ(window.letterCount('D'), 0);
    EXPECT_EQ(window.letterCount('E'), 1);
    EXPECT_EQ(shown(window), page({"austria"}, 0, 10));

    window.SelectLetter('C');
    window.NextPage();
    EXPECT_EQ(window.pageOffset(), 10);
    EXPECT_EQ(shown(window), page(all.mid(10, 2), 0, 10));
    // On the last page of "C", PgDn selects "D" though it is empty.
    window.NextPage();
    EXPECT_EQ(window.currentLetter(), 'D');
    EXPECT_EQ(window.pageOffset(), 0);
    EXPECT_EQ(shown(window), page({}, 0, 10));
    EXPECT_TRUE(window.letterTabs()[3]->Selected());
    // PgUp on the first page of "D" shows the last page of "C".
    window.PriorPage();
    EXPECT_EQ(window.currentLetter(), 'C');
    EXPECT_EQ(window.pageOffset(), 10);
}

TEST_F(RecordListTest, NextOnTheLastRecordOfALetterShowsTheNextLettersFirstWhileTheTabStays)
{
    seed({"Bhutan", "Brazil", "Egypt", "Eritrea", "austria"});
    TForm1& window = open();
    window.ApplySortChange(byDescription);
    window.SelectLetter('B');
    window.recordListButtons()[1]->Click();
    ASSERT_EQ(field<QLineEdit>(1)->text(), "Brazil");
    EXPECT_TRUE(window.command(TForm1::Command::Next)->isEnabled());

    window.NextRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Egypt") << "the empty C and D are skipped";
    EXPECT_EQ(window.currentLetter(), 'B');
    EXPECT_TRUE(window.letterTabs()[1]->Selected());
    EXPECT_EQ(window.position(), 1);
    window.NextRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Eritrea");
    EXPECT_FALSE(window.command(TForm1::Command::Next)->isEnabled()) << "nothing after E";

    window.PreviousRecord();
    window.PreviousRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Brazil");
    window.PreviousRecord();
    window.PreviousRecord();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "austria");
    EXPECT_FALSE(window.command(TForm1::Command::Previous)->isEnabled());
}

TEST_F(RecordListTest, AnEditThatChangesTheFirstLetterMovesTheCountAndTheSortIsKept)
{
    seed({"Bhutan", "Brazil", "Egypt"});
    {
        TForm1& window = open();
        window.ApplySortChange(byDescription);
        window.SelectLetter('B');
        window.recordListButtons()[0]->Click();
        field<QLineEdit>(1)->setText("Chile");
        window.NextRecord();
        EXPECT_EQ(window.letterCount('B'), 1);
        EXPECT_EQ(window.letterCount('C'), 1);
        closeWindow();
    }
    // The sort settings file brings the same order back.
    TForm1& window = open();
    EXPECT_EQ(window.sortOrder().sortSettings(), byDescription);
    EXPECT_EQ(window.letterCount('C'), 1);
    EXPECT_EQ(storedDescriptions(), QStringList({"Chile", "Brazil", "Egypt"}));
}

TEST_F(RecordListTest, EntryOrderDescendingListsTheNewestFirst)
{
    seed({"Oldest", "Middle", "Newest"});
    TForm1& window = open();
    window.ApplySortChange(settings::SortSettings{0, true, 0, false});
    EXPECT_EQ(shown(window).mid(0, 3), QStringList({"Newest", "Middle", "Oldest"}));
}

namespace {

// Chooses an item of the pop-up menu that opens next, by its text.
void chooseFromNextPopup(const QString& text)
{
    QTimer::singleShot(50, [text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                menu->close();
                action->trigger();
                return;
            }
        }
        menu->close();
    });
}

} // namespace

TEST_F(RecordListTest, TheRecordPopupCopiesPastesAndDeletesTheRowItWasOpenedOn)
{
    session.database.recordDeleteMode = 1;
    seed({"Alpha", "Beta", "Gamma"});
    TForm1& window = open();
    ASSERT_EQ(window.position(), 1);
    auto popupOn = [&](int row, const QString& item) {
        chooseFromNextPopup(item);
        emit window.recordListButtons()[row]->customContextMenuRequested(QPoint(5, 5));
    };
    popupOn(2, "&Copy");
    EXPECT_TRUE(session.copyBufferHoldsRecord);
    popupOn(1, "&Paste");
    EXPECT_EQ(storedDescriptions(), QStringList({"Alpha", "Gamma", "Gamma"}));
    popupOn(3, "&Paste");
    EXPECT_EQ(storedDescriptions(), QStringList({"Alpha", "Gamma", "Gamma", "Gamma"}))
        << "past the end: a new row";
    popupOn(1, "&Delete");
    EXPECT_EQ(storedDescriptions(), QStringList({"Alpha", "Gamma", "Gamma"}));
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Alpha") << "the shown record stays";
    EXPECT_EQ(shown(window).mid(0, 3), QStringList({"Alpha", "Gamma", "Gamma"}));
    popupOn(5, "&Delete");
    EXPECT_EQ(boxes.texts(), QStringList({"Empty Record cannot be Deleted."}));
}
