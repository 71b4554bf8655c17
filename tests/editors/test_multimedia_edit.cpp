#include "editors/TEditButton.h"
#include "editors/TMultiMediaEdit.h"
#include "EditorTestSupport.h"

#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>

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

TEST(AttachmentDialog, OkAndRunTakeTheFileAndCancelDoesNot)
{
    using Outcome = TMultiMediaEdit::AttachmentOutcome;
    TMultiMediaEdit field;
    field.setText(QStringLiteral("old.wav"));
    EXPECT_TRUE(field.attachmentDialogClosed(Outcome::Cancelled, QStringLiteral("new.wav"), QString()));
    EXPECT_EQ(field.text(), "old.wav");
    EXPECT_TRUE(field.attachmentDialogClosed(Outcome::Ok, QStringLiteral("new.wav"),
                                             QStringLiteral("/no/such/player")));
    EXPECT_EQ(field.text(), "new.wav");
    EXPECT_TRUE(field.attachmentDialogClosed(Outcome::Run, QStringLiteral("run.wav"), QString()));
    EXPECT_EQ(field.text(), "run.wav");
}

TEST(AttachmentDialog, ALockedFieldKeepsItsFile)
{
    QWidget window;
    auto* field = new TMultiMediaEdit(&window);
    field->setText(QStringLiteral("old.wav"));
    editors::setFieldEnabled(field, false);
    field->attachmentDialogClosed(TMultiMediaEdit::AttachmentOutcome::Ok, QStringLiteral("new.wav"),
                                  QString());
    EXPECT_EQ(field->text(), "old.wav");
}

struct ArgumentsCase
{
    const char* application;
    QStringList arguments;
};

class AttachmentArguments : public ::testing::TestWithParam<ArgumentsCase>
{
};

TEST_P(AttachmentArguments, MediaPlayersGetThePlaySwitch)
{
    const ArgumentsCase& c = GetParam();
    EXPECT_EQ(
        TMultiMediaEdit::applicationArguments(QString::fromLatin1(c.application), QStringLiteral("a b.wav")),
        c.arguments);
}

INSTANTIATE_TEST_SUITE_P(Cases, AttachmentArguments,
                         ::testing::Values(ArgumentsCase{"C:\\WINDOWS\\sndrec32.exe", {"/PLAY", "a b.wav"}},
                                           ArgumentsCase{"C:\\Program Files\\mplayer.exe",
                                                         {"/PLAY", "a b.wav"}},
                                           ArgumentsCase{"C:\\WINDOWS\\SNDREC32.EXE", {"a b.wav"}},
                                           ArgumentsCase{"/usr/bin/vlc", {"a b.wav"}}));

TEST(AttachmentRun, TheFileReachesTheApplicationAsOneArgument)
{
    // "touch" creates exactly the file it is given; a shell would have split or run parts of this name.
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bell; touch injected \"quoted\" 'single' $(x).wav"));
    TMultiMediaEdit field;
    ASSERT_TRUE(field.attachmentDialogClosed(TMultiMediaEdit::AttachmentOutcome::Run, file,
                                             QStringLiteral("/usr/bin/touch")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(file); }, 5000));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("injected"))));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(field.text(), file);
}

TEST(AttachmentRun, AMissingApplicationIsReported)
{
    TMultiMediaEdit field;
    EXPECT_FALSE(field.attachmentDialogClosed(TMultiMediaEdit::AttachmentOutcome::Run,
                                              QStringLiteral("x.wav"), QStringLiteral("/no/such/player")));
}

} // namespace
