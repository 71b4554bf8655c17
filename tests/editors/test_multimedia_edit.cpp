#include "editors/TEditButton.h"
#include "editors/TMultiMediaEdit.h"
#include "EditorTestSupport.h"

#include <QClipboard>

namespace {

struct NameCase
{
    const char* path;
    const char* shown;
};

class AttachmentName : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(AttachmentName, ShowsTheFileNameAndKeepsThePath)
{
    const NameCase& c = GetParam();
    TMultiMediaEdit field;
    field.setText(QString::fromLatin1(c.path));
    EXPECT_EQ(field.shownName(), QString::fromLatin1(c.shown));
    EXPECT_EQ(field.text(), QString::fromLatin1(c.path));
    EXPECT_EQ(field.fileName(), QString::fromLatin1(c.path));
}

INSTANTIATE_TEST_SUITE_P(Cases, AttachmentName,
                         ::testing::Values(NameCase{"C:\\SOUNDS\\BELL.WAV", "BELL.WAV"},
                                           NameCase{"/home/collector/a b.wav", "a b.wav"},
                                           NameCase{"C:\\mixed/dir\\x.avi", "x.avi"},
                                           NameCase{"plain.mid", "plain.mid"}, NameCase{"C:\\FOLDER\\", ""},
                                           NameCase{"", ""}));

TEST(AttachmentName, OnlyTheFileNameIsDrawn)
{
    // Drawn side by side with an edit that holds just the name, the field looks the same.
    TMultiMediaEdit field;
    field.setButtonVisible(false);
    field.resize(200, 24);
    field.setText(QStringLiteral("C:\\SOUNDS\\BELL.WAV"));
    TMultiMediaEdit nameOnly;
    nameOnly.setButtonVisible(false);
    nameOnly.resize(200, 24);
    nameOnly.setText(QStringLiteral("BELL.WAV"));
    TMultiMediaEdit pathOnly;
    pathOnly.setButtonVisible(false);
    pathOnly.resize(200, 24);
    pathOnly.setText(QStringLiteral("C:\\SOUNDS\\OTHER\\"));
    EXPECT_EQ(field.grab().toImage(), nameOnly.grab().toImage());
    EXPECT_NE(field.grab().toImage(), pathOnly.grab().toImage());
}

TEST(AttachmentKeys, NothingCanBeTyped)
{
    TMultiMediaEdit field;
    field.setText(QStringLiteral("C:\\SOUNDS\\BELL.WAV"));
    BeepCounter beeps;
    QTest::keyClicks(&field, QStringLiteral("ab"));
    QTest::keyClick(&field, Qt::Key_Backspace);
    QTest::keyClick(&field, Qt::Key_Home);
    QTest::keyClick(&field, Qt::Key_Delete);
    QApplication::clipboard()->setText(QStringLiteral("D:\\other.wav"));
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&field, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(field.text(), "C:\\SOUNDS\\BELL.WAV");
    EXPECT_EQ(beeps.count(), 3);
}

QAction* item(TMultiMediaEdit& field, const QString& caption)
{
    for (QAction* action : field.popupMenu()->actions()) {
        if (action->text() == caption)
            return action;
    }
    return nullptr;
}

TEST(AttachmentMenu, ItemsInOrder)
{
    TMultiMediaEdit field;
    QStringList captions;
    for (QAction* action : field.popupMenu()->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"Clear", "Set/Run", "-", "Set Font...", "Set Color...", "-", "&Help"}));
}

TEST(AttachmentMenu, ButtonAndSetRunAskForTheDialogAndClearEmpties)
{
    TMultiMediaEdit field;
    field.setText(QStringLiteral("C:\\SOUNDS\\BELL.WAV"));
    int requests = 0;
    int fonts = 0;
    int colours = 0;
    QObject::connect(&field, &TMultiMediaEdit::attachmentDialogRequested, [&] { ++requests; });
    QObject::connect(&field, &TMultiMediaEdit::fontRequested, [&] { ++fonts; });
    QObject::connect(&field, &TMultiMediaEdit::colorRequested, [&] { ++colours; });
    QTest::mouseClick(field.button(), Qt::LeftButton);
    item(field, "Set/Run")->trigger();
    item(field, "Set Font...")->trigger();
    item(field, "Set Color...")->trigger();
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(fonts, 1);
    EXPECT_EQ(colours, 1);
    item(field, "Clear")->trigger();
    EXPECT_TRUE(field.text().isEmpty());
}

TEST(AttachmentDialog, TheChosenFileBecomesTheField)
{
    TMultiMediaEdit field;
    field.setText(QStringLiteral("C:\\SOUNDS\\OLD.WAV"));
    EXPECT_TRUE(field.takeAttachedFile(QStringLiteral("C:\\SOUNDS\\NEW.WAV")));
    EXPECT_EQ(field.fileName(), "C:\\SOUNDS\\NEW.WAV");
    EXPECT_EQ(field.shownName(), "NEW.WAV");
}

TEST(AttachmentDialog, ALockedFieldKeepsItsFile)
{
    QWidget window;
    auto* field = new TMultiMediaEdit(&window);
    field->setText(QStringLiteral("old.wav"));
    editors::setFieldEnabled(field, false);
    EXPECT_FALSE(field->takeAttachedFile(QStringLiteral("new.wav")));
    EXPECT_EQ(field->text(), "old.wav");
    // Its button still asks for the dialog, so a read-only record can play its attachment.
    int requests = 0;
    QObject::connect(field, &TMultiMediaEdit::attachmentDialogRequested, [&] { ++requests; });
    QTest::mouseClick(field->button(), Qt::LeftButton);
    EXPECT_EQ(requests, 1);
}

} // namespace
