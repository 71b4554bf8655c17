#include "../store/DatabaseFixture.h"
#include "../store/TablePeer.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "mainwindow/dialogs/HeaderTemplateContent.h"
#include "mainwindow/dialogs/TemplateMenus.h"
#include "mainwindow/dialogs/TLoadLabelsDlg.h"
#include "mainwindow/dialogs/TRecordTemplateForm.h"
#include "ModalWatcher.h"
#include "store/ContentTemplateLists.h"
#include "store/RecordTemplateRows.h"
#include "store/TLabelTemplateList.h"
#include "store/TRecordTemplateList.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int issued = 7;      // field 6, "Date Issued:"
constexpr int customDate = 27; // field 26, "Custom 4:"

QStringList listed(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList actionTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts.append(action->text());
    return texts;
}

// Caption templates A, B and C in a settings folder.
struct CaptionTemplates
{
    CaptionTemplates()
    {
        for (const char* name : {"A", "B", "C"})
            EXPECT_TRUE(list.Add(QString::fromLatin1(name)));
    }
    bool exists(const char* name) const { return QFile::exists(folder.filePath(QString::fromLatin1(name))); }

    QTemporaryDir folder;
    QStringList captions{"Stamp Description:", "Country:"};
    store::TLabelTemplateList list{captions, folder.path()};
};

// The copy buffer of a database with its record templates and the captions of the stamp form.
struct RecordTemplates : Database
{
    RecordTemplates()
    {
        open();
        for (int field = 1; field <= 28; ++field)
            captions.append(QStringLiteral("Field %1:").arg(field));
        captions[5] = "Date Issued:";
        captions[25] = "Custom 4:";
    }
    // As "Save Record To Template" does after OK: the template's row, with the ticked dates marked.
    void save(const TRecordTemplateForm& form)
    {
        store::PrepareTemplateRow(folder->copyBuffer(), form.TemplateIndex());
        store::SetTodayMarkers(folder->copyBuffer(), form.DateColumns());
    }
    void saveTemplate(const QString& name, const QList<int>& dates = {})
    {
        TRecordTemplateForm form(templates, *folder, captions);
        form.TemplateName->setText(name);
        for (QCheckBox* box : form.DateBoxes)
            box->setChecked(dates.contains(box->property("tag").toInt()));
        form.OkButton->click();
        ASSERT_EQ(form.result(), QDialog::Accepted);
        save(form);
    }

    QStringList captions;
    store::TRecordTemplateList templates{session.folders.settings};
};

void doubleClick(QListWidget* list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(LoadLabelsDlg, OkGivesTheSelectedTemplatesContentFile)
{
    CaptionTemplates t;
    TLoadLabelsDlg dialog(t.list);
    EXPECT_EQ(dialog.windowTitle(), "Load Labels From Template");
    EXPECT_EQ(listed(dialog.TemplateList), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(dialog.TemplateList->currentRow(), 0);
    dialog.TemplateList->setCurrentRow(2);
    dialog.OkButton->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.fileName(), "tml3.lab");

    TLoadLabelsDlg nothingSelected(t.list);
    nothingSelected.TemplateList->clearSelection();
    nothingSelected.OkButton->click();
    EXPECT_EQ(nothingSelected.result(), QDialog::Accepted);
    EXPECT_EQ(nothingSelected.fileName(), "");
}

TEST(LoadLabelsDlg, EnterDeletesTheSelectedTemplateOnceConfirmed)
{
    CaptionTemplates t;
    TLoadLabelsDlg dialog(t.list);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.TemplateList->setCurrentRow(1);
    {
        ModalWatcher no(QMessageBox::No);
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_EQ(no.texts(), QStringList{"Delete Selected Template?"});
    }
    EXPECT_EQ(t.list.Count(), 3);
    ModalWatcher yes(QMessageBox::Yes);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(yes.texts(), QStringList{"Delete Selected Template?"});
    EXPECT_EQ(listed(dialog.TemplateList), (QStringList{"A", "C"}));
    EXPECT_EQ(t.list.Names(), (QStringList{"A", "C"}));
    EXPECT_FALSE(t.exists("tml2.lab"));
    EXPECT_TRUE(dialog.isVisible()) << "deleting leaves the dialog open";
}

TEST(LoadLabelsDlg, AnEmptyListHasNothingToDeleteOrLoad)
{
    QTemporaryDir folder;
    QStringList captions;
    store::TLabelTemplateList empty(captions, folder.path());
    TLoadLabelsDlg dialog(empty);
    ModalWatcher watcher(QMessageBox::Yes);
    dialog.DeleteButton->click();
    EXPECT_TRUE(watcher.texts().isEmpty());
    dialog.OkButton->click();
    EXPECT_EQ(dialog.fileName(), "");
}

TEST(RecordTemplateForm, ListsTheTemplatesAndADateBoxPerDateColumn)
{
    RecordTemplates t;
    ASSERT_TRUE(t.templates.AddTemplate("Mint"));
    ASSERT_TRUE(t.templates.AddTemplate("Used"));
    TRecordTemplateForm form(t.templates, *t.folder, t.captions);
    EXPECT_EQ(form.windowTitle(), "Save Record As Template");
    EXPECT_EQ(form.TemplateIndex(), 0);
    EXPECT_EQ(listed(form.ExistingTemplates), (QStringList{"Blank", "Mint", "Used"}));
    EXPECT_EQ(form.ExistingTemplates->currentRow(), 0);
    EXPECT_FALSE(form.DeleteButton->isEnabled()) << "Blank cannot be deleted";
    form.ExistingTemplates->setCurrentRow(2);
    EXPECT_TRUE(form.DeleteButton->isEnabled());

    ASSERT_EQ(form.DateBoxes.size(), 2);
    EXPECT_EQ(form.DateBoxes[0]->text(), "Date Issued:");
    EXPECT_EQ(form.DateBoxes[0]->property("tag").toInt(), issued);
    EXPECT_EQ(form.DateBoxes[1]->text(), "Custom 4:");
    EXPECT_EQ(form.DateBoxes[1]->property("tag").toInt(), customDate);
    EXPECT_EQ(form.DateBoxes[0]->parentWidget(), form.DateGroup);
    EXPECT_EQ(form.DateBoxes[0]->geometry().topLeft(), QPoint(10, 20));
    EXPECT_EQ(form.DateBoxes[1]->geometry().top(), form.DateBoxes[0]->geometry().bottom() + 1 + 8);
}

TEST(RecordTemplateForm, OkNeedsANameAndAddsANewOneAtOnce)
{
    RecordTemplates t;
    ASSERT_TRUE(t.templates.AddTemplate("Mint"));
    TRecordTemplateForm form(t.templates, *t.folder, t.captions);
    form.show();
    for (const char* name : {"", "Blank"}) {
        ModalWatcher watcher;
        form.TemplateName->setText(QString::fromLatin1(name));
        form.OkButton->click();
        EXPECT_EQ(watcher.texts(), QStringList{TRecordTemplateForm::NameRequiredMessage}) << name;
        EXPECT_TRUE(form.isVisible());
    }
    form.TemplateName->setText("Used");
    form.DateBoxes[1]->setChecked(true);
    form.OkButton->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.TemplateIndex(), 1);
    EXPECT_EQ(form.DateColumns(), QList<int>{customDate});
    EXPECT_EQ(t.templates.Names(), (QStringList{"Mint", "Used"}));
    EXPECT_EQ(t.read(t.file("records.tml")), "Mint\r\nUsed\r\n");
    EXPECT_EQ(listed(form.ExistingTemplates).last(), "Used");

    TRecordTemplateForm again(t.templates, *t.folder, t.captions);
    again.TemplateName->setText("Mint");
    again.OkButton->click();
    EXPECT_EQ(again.TemplateIndex(), 0) << "an existing name keeps its place";
    EXPECT_EQ(t.templates.Count(), 2);
}

TEST(RecordTemplateForm, ANameThatCannotBeKeptIsRefused)
{
    RecordTemplates t;
    store::TRecordTemplateList nowhere(t.file("no such folder"));
    TRecordTemplateForm form(nowhere, *t.folder, t.captions);
    form.show();
    ModalWatcher watcher;
    form.TemplateName->setText("Mint");
    form.OkButton->click();
    EXPECT_EQ(watcher.texts(), QStringList{TRecordTemplateForm::NotCreatedMessage});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(nowhere.Count(), 0);
}

TEST(RecordTemplateForm, DoubleClickingATemplateShowsItsNameAndTodayDates)
{
    RecordTemplates t;
    t.saveTemplate("Undated");
    t.saveTemplate("Dated", {issued});
    TRecordTemplateForm form(t.templates, *t.folder, t.captions);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    doubleClick(form.ExistingTemplates, 2);
    EXPECT_EQ(form.TemplateName->text(), "Dated");
    EXPECT_TRUE(form.DateBoxes[0]->isChecked());
    EXPECT_FALSE(form.DateBoxes[1]->isChecked());
    doubleClick(form.ExistingTemplates, 1);
    EXPECT_EQ(form.TemplateName->text(), "Undated");
    EXPECT_FALSE(form.DateBoxes[0]->isChecked());
    doubleClick(form.ExistingTemplates, 0);
    EXPECT_EQ(form.TemplateName->text(), "Undated") << "Blank is not a template";
}

TEST(RecordTemplateForm, DeletingATemplateTakesItsRowAndReportsAnUnpackedBuffer)
{
    RecordTemplates t;
    for (const char* name : {"A", "B", "C"})
        t.saveTemplate(QString::fromLatin1(name), {issued});
    TRecordTemplateForm form(t.templates, *t.folder, t.captions);
    form.show();
    form.ExistingTemplates->setCurrentRow(2);
    {
        ModalWatcher no(QMessageBox::No);
        form.DeleteButton->click();
        EXPECT_EQ(no.texts(), QStringList{TRecordTemplateForm::DeleteQuestion});
        EXPECT_EQ(t.templates.Count(), 3);
    }
    {
        ModalWatcher yes(QMessageBox::Yes);
        form.DeleteButton->click();
        EXPECT_EQ(yes.texts(), QStringList{TRecordTemplateForm::DeleteQuestion});
    }
    EXPECT_EQ(listed(form.ExistingTemplates), (QStringList{"Blank", "A", "C"}));
    EXPECT_EQ(t.read(t.file("records.tml")), "A\r\nC\r\n");
    EXPECT_EQ(t.folder->copyBuffer().recordCount(), 3);

    TablePeer peer = TablePeer::holdingOpen(t.session.folders.database, "copy.dbf", false);
    ASSERT_TRUE(peer.ready());
    form.ExistingTemplates->setCurrentRow(1);
    ModalWatcher yes(QMessageBox::Yes);
    form.DeleteButton->click();
    EXPECT_EQ(yes.texts(),
              (QStringList{TRecordTemplateForm::DeleteQuestion, TRecordTemplateForm::PackFailedMessage}));
    EXPECT_EQ(listed(form.ExistingTemplates), (QStringList{"Blank", "C"}));
    EXPECT_EQ(t.templates.Names(), QStringList{"C"});
    ASSERT_TRUE(store::GoToTemplateRow(t.folder->copyBuffer(), 0));
    EXPECT_EQ(store::TodayMarkedColumns(t.folder->copyBuffer()), QList<int>{issued});
}

TEST(TemplateMenus, TheTemplateButtonAndReplaceMenusListBlankAndTheNames)
{
    QMenu popup;
    QString chosen;
    FillNewRecordTemplateMenu(&popup, {"Old"}, [&](const QString& caption) { chosen = caption; });
    FillNewRecordTemplateMenu(&popup, {"Mint", "Used"}, [&](const QString& caption) { chosen = caption; });
    EXPECT_EQ(actionTexts(popup),
              (QStringList{"Templates For Adding New Records:", "Blank", "Mint", "Used"}));
    EXPECT_FALSE(popup.actions()[0]->isEnabled());
    popup.actions()[3]->trigger();
    EXPECT_EQ(chosen, "Used");

    QMenu replace;
    FillReplaceTemplateMenu(&replace, {"Mint"}, [&](const QString& caption) { chosen = caption; });
    EXPECT_EQ(actionTexts(replace), (QStringList{"Blank", "Mint"}));
    replace.actions()[0]->trigger();
    EXPECT_EQ(chosen, "Blank");
}

TEST(TemplateMenus, HeaderTemplatesKeepTheHeadersLayout)
{
    QTemporaryDir folder;
    TKestoHeader header;
    header.setFields({{"Stamp Description:", controls::FieldKind::Text},
                      {"Country:", controls::FieldKind::Text},
                      {"Cost:", controls::FieldKind::Other}});
    header.resize(300, 20);
    ASSERT_FALSE(header.LoadFromFile(folder.filePath("header.dat")));
    HeaderTemplateContent content(header);
    store::THeaderTemplateList headers(folder.path());
    headers.setContent(&content);
    const controls::TemplateHooks hooks = TemplateMenuHooks(headers);

    header.InsertField(2);
    ASSERT_EQ(header.sectionCount(), 3);
    ASSERT_TRUE(hooks.add("Three columns"));
    EXPECT_EQ(headers.Items(0).FileName, "tml1.hdr");
    header.RemoveField("Country:");
    ASSERT_EQ(header.sectionCount(), 2);
    ASSERT_TRUE(hooks.load("Three columns"));
    EXPECT_EQ(header.sectionCount(), 3);
    EXPECT_EQ(header.section(2).caption, "Cost:");
    EXPECT_EQ(hooks.names(), QStringList{"Three columns"});

    QFile damaged(folder.filePath("tml1.hdr"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x01\x06", 2);
    damaged.close();
    EXPECT_FALSE(hooks.load("Three columns")) << "a layout that cannot be read through";

    hooks.remove("Three columns");
    EXPECT_EQ(headers.Count(), 0);
    EXPECT_FALSE(QFile::exists(folder.filePath("tml1.hdr")));
}
