#include "mainwindow/controls/TFormatedButton.h"
#include "mainwindow/controls/TSortButton.h"
#include "RecordWindowFixture.h"
#include "search/TFindDlg.h"
#include "settings/SortSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const settings::SortSettings byDescription{2, false, 0, false};

TFindDlg* openFind(TForm1& window)
{
    window.command(TForm1::Command::Find)->trigger();
    auto* dialog = window.findChild<TFindDlg*>();
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

} // namespace

TEST_F(RecordWindowTest, FindShowsMatchesAcrossLettersAndTheTabOfEach)
{
    seed({"Bhutan tiger", "Egypt pyramid", "Brazil parrot", "Chile condor"});
    TForm1& window = open();
    window.ApplySortChange(byDescription);
    TFindDlg* find = openFind(window);
    ASSERT_NE(find, nullptr);
    find->TextBox->setEditText("r");
    find->FindBtn->click();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Bhutan tiger");
    EXPECT_EQ(window.currentLetter(), 'B');
    find->NextBtn->click();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Brazil parrot");
    find->NextBtn->click();
    EXPECT_EQ(field<QLineEdit>(1)->text(), "Chile condor") << "on into the next letter";
    EXPECT_EQ(window.currentLetter(), 'C');
    EXPECT_TRUE(window.letterTabs()[2]->Selected());
    EXPECT_EQ(field<QLineEdit>(1)->palette().color(QPalette::Base), QColor(Qt::red));
    find->close();
}

TEST_F(RecordWindowTest, ANonStopSearchLeavesTheFoundRecordsUnderTheNormalFilter)
{
    seed({"Penny Black", "Two Penny Blue", "Basel Dove", "Penny Red"});
    TForm1& window = open();
    TFindDlg* find = openFind(window);
    ASSERT_NE(find, nullptr);
    find->TextBox->setEditText("penny");
    find->NonStopMode->setChecked(true);
    find->FindBtn->click();
    EXPECT_EQ(window.sortBar()->FilterState(), TSortButton::NormalFilter);
    QStringList listed;
    for (const TFormatedButton* button : window.recordListButtons())
        if (!button->column(0).text.isEmpty())
            listed.append(button->column(0).text);
    EXPECT_EQ(listed, QStringList({"Penny Black", "Two Penny Blue", "Penny Red"}));
    find->close();
}
