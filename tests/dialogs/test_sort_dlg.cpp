#include "mainwindow/dialogs/TSortDlg.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

using controls::FieldKind;

// Columns 2 … 7: two text fields, a date, a number, a memo and a picture.
const controls::FieldList fields{{"Stamp Description:", FieldKind::Text},
                                 {"Country:", FieldKind::Text},
                                 {"Date Issued:", FieldKind::Other},
                                 {"Cost:", FieldKind::Other},
                                 {"Notes:", FieldKind::Memo},
                                 {"Picture:", FieldKind::Picture}};
constexpr int description = 2;
constexpr int country = 3;
constexpr int issued = 4;
constexpr int cost = 5;
constexpr int notes = 6;

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

// The dialog as a user leaves it: both fields chosen by caption, then the primary order clicked.
struct Choice
{
    const char* primary;
    const char* secondary;
    bool primaryDescending;
};

void make(TSortDlg& dialog, const Choice& choice)
{
    dialog.PrimaryField->setCurrentText(QString::fromLatin1(choice.primary));
    dialog.SecondaryField->setCurrentText(QString::fromLatin1(choice.secondary));
    (choice.primaryDescending ? dialog.PrimaryDescending : dialog.PrimaryAscending)->click();
}

} // namespace

TEST(SortDlg, OffersEveryFieldButMemosAndPictures)
{
    TSortDlg dialog(fields, {});
    EXPECT_EQ(dialog.windowTitle(), "Sort Options");
    EXPECT_EQ(dialog.property("helpContext").toInt(), 22);
    const QStringList offered{"Stamp Description:", "Country:", "Date Issued:", "Cost:"};
    EXPECT_EQ(items(dialog.PrimaryField), QStringList{"Entry Order"} + offered);
    EXPECT_EQ(items(dialog.SecondaryField), QStringList{"NONE"} + offered);
}

TEST(SortDlg, ShowsTheSettingsInForce)
{
    TSortDlg dialog(fields, {country, true, cost, false});
    EXPECT_EQ(dialog.PrimaryField->currentText(), "Country:");
    EXPECT_TRUE(dialog.PrimaryDescending->isChecked());
    EXPECT_EQ(dialog.SecondaryField->currentText(), "Cost:");
    EXPECT_TRUE(dialog.SecondaryAscending->isChecked());
    EXPECT_TRUE(dialog.SecondaryOrder->isEnabled());

    TSortDlg onAMemo(fields, {notes, false, 0, false});
    EXPECT_EQ(onAMemo.PrimaryField->currentText(), "Entry Order") << "a memo is no sort field here";
}

TEST(SortDlg, TheRulesFollowEveryChange)
{
    struct Case
    {
        const char* what;
        Choice choice;
        const char* secondaryShown;
        bool secondaryEnabled;
        settings::SortSettings result;
    };
    const Case cases[] = {
        {"two text fields sort the primary's way",
         {"Stamp Description:", "Country:", true},
         "Country:",
         false,
         {description, true, country, true}},
        {"text and a number each have their own order",
         {"Country:", "Cost:", true},
         "Cost:",
         true,
         {country, true, cost, true}},
        {"a number and text",
         {"Date Issued:", "Country:", false},
         "Country:",
         true,
         {issued, false, country, true}},
        {"entry order has no secondary field",
         {"Entry Order", "Country:", true},
         "NONE",
         false,
         {0, true, 0, false}},
        {"the same field twice is one field",
         {"Cost:", "Cost:", false},
         "NONE",
         false,
         {cost, false, 0, false}},
        {"no secondary field sorts ascending",
         {"Country:", "NONE", true},
         "NONE",
         false,
         {country, true, 0, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Start from a secondary that sorts descending, so every rule has something to change.
        TSortDlg dialog(fields, {issued, false, cost, true});
        make(dialog, c.choice);
        EXPECT_EQ(dialog.SecondaryField->currentText(), c.secondaryShown);
        EXPECT_EQ(dialog.SecondaryOrder->isEnabled(), c.secondaryEnabled);
        dialog.OkButton->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.sortSettings(), c.result);
    }
}

TEST(SortDlg, ChangingThePrimaryOrderOfTwoTextFieldsCarriesTheSecondaryAlong)
{
    TSortDlg dialog(fields, {description, false, country, false});
    EXPECT_FALSE(dialog.SecondaryOrder->isEnabled());
    dialog.PrimaryDescending->click();
    EXPECT_TRUE(dialog.SecondaryDescending->isChecked());
    dialog.PrimaryAscending->click();
    EXPECT_TRUE(dialog.SecondaryAscending->isChecked());
    dialog.SecondaryField->setCurrentText("Cost:");
    EXPECT_TRUE(dialog.SecondaryOrder->isEnabled());
    dialog.SecondaryDescending->click();
    dialog.PrimaryDescending->click();
    EXPECT_TRUE(dialog.SecondaryDescending->isChecked());
    dialog.PrimaryAscending->click();
    EXPECT_TRUE(dialog.SecondaryDescending->isChecked()) << "a number keeps its own order";
    dialog.CancelButton->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}
