#include "editors/TDirEdit.h"
#include "editors/TEditButton.h"
#include "EditorTestSupport.h"
#include "ModalWatcher.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

namespace {

struct LeavingCase
{
    const char* name;
    bool exists;
    bool check;
    bool reported;
};

class DirectoryLeaving : public ::testing::TestWithParam<LeavingCase>
{
};

TEST_P(DirectoryLeaving, AMissingFolderIsReportedAndKeepsTheFocus)
{
    const LeavingCase& c = GetParam();
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("Stamps Folder"));
    if (c.exists) {
        ASSERT_TRUE(QDir().mkpath(path));
    }
    FieldWindow<TDirEdit> form;
    form.field->setCheckDirectory(c.check);
    form.field->setText(path);
    ModalWatcher watcher;
    QTest::keyClick(form.field, Qt::Key_Tab);
    EXPECT_EQ(watcher.texts(),
              c.reported ? QStringList{QStringLiteral("Invalid directory!")} : QStringList());
    EXPECT_EQ(form.focused(), c.reported ? static_cast<QWidget*>(form.field) : form.next);
    // Folder names here depend on case: the text keeps it.
    EXPECT_EQ(form.field->text(), path);
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryLeaving,
                         ::testing::Values(LeavingCase{"existing", true, true, false},
                                           LeavingCase{"missing", false, true, true},
                                           LeavingCase{"unchecked", false, false, false}),
                         [](const ::testing::TestParamInfo<LeavingCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DirectoryCase, UpperCaseWhereNamesDoNotDependOnCase)
{
    TDirEdit field;
    EXPECT_EQ(field.upperCase(), TDirEdit::upperCaseByDefault);
    field.setUpperCase(true);
    QTest::keyClicks(&field, QStringLiteral("c:\\data"));
    EXPECT_EQ(field.text(), "C:\\DATA");
    field.setText(QStringLiteral("d:\\x"));
    EXPECT_EQ(field.text(), "D:\\X");
    field.setUpperCase(false);
    field.setText(QStringLiteral("d:\\x"));
    EXPECT_EQ(field.text(), "d:\\x");
}

TEST(DirectoryChooser, TheChosenFolderBecomesTheText)
{
    QTemporaryDir root;
    const QString chosen = root.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    const QString workingFolder = QDir::currentPath();
    FieldWindow<TDirEdit> form;
    form.field->setText(root.path());
    QString openedOn;
    OnNextModal<QFileDialog> choose([&](QFileDialog* dialog) {
        openedOn = dialog->directory().absolutePath();
        dialog->selectFile(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(form.field->button(), Qt::LeftButton);
    ASSERT_TRUE(choose.acted());
    EXPECT_EQ(openedOn, QDir(root.path()).absolutePath());
    EXPECT_EQ(QDir(form.field->text()).absolutePath(), QDir(chosen).absolutePath());
    EXPECT_EQ(QDir::currentPath(), workingFolder);
}

TEST(DirectoryChooser, CancelKeepsTheText)
{
    QTemporaryDir root;
    FieldWindow<TDirEdit> form;
    form.field->setText(root.path());
    OnNextModal<QFileDialog> cancel([](QFileDialog* dialog) { dialog->reject(); });
    QTest::mouseClick(form.field->button(), Qt::LeftButton);
    ASSERT_TRUE(cancel.acted());
    EXPECT_EQ(form.field->text(), root.path());
}

} // namespace
