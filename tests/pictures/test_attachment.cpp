#include "NextModal.h"
#include "pictures/AttachmentApplications.h"
#include "pictures/TAttachmentDlg.h"
#include "PictureTestSupport.h"
#include "SaneTestConfig.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using pictures::AttachmentApplications;
using namespace picturetests;

namespace {

// A folder with the two Windows programs the dialog offers when it knows no others.
struct WindowsFolder
{
    QTemporaryDir folder;
    QString mediaPlayer = folder.filePath("mplayer.exe");
    QString soundRecorder = folder.filePath("sndrec32.exe");

    WindowsFolder(bool player = true, bool recorder = true)
    {
        if (player)
            writeFile(mediaPlayer, "program");
        if (recorder)
            writeFile(soundRecorder, "program");
    }
};

QByteArray optFile(const QTemporaryDir& database)
{
    return readFile(database.filePath("opt.mmf"));
}

// Picks the file in the next file dialog that opens.
void chooseInNextFileDialog(const QString& path)
{
    onNextModal<QFileDialog>([path](QFileDialog* dialog) {
        // Typed, as a user would: selecting through the dialog's model waits for the model to load.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// What the argument-writing program wrote, once it has written it.
QStringList argumentsWritten(const QString& output)
{
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(output) && !deadline.hasExpired())
        QTest::qWait(10);
    const QByteArray content = readFile(output);
    QStringList lines = QString::fromUtf8(content).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

TEST(AttachmentApplications, ListComesFromOptMmfOrTheWindowsPrograms)
{
    struct Case
    {
        const char* name;
        QByteArray optMmf; // empty: no file
        bool player;
        bool recorder;
        QStringList expected; // "<player>" and "<recorder>" stand for the two programs of the Windows folder
    };
    const Case cases[] = {
        {"no file: media player first, then sound recorder", {}, true, true, {"<player>", "<recorder>"}},
        {"no file, only the sound recorder", {}, false, true, {"<recorder>"}},
        {"no file and no programs", {}, false, false, {}},
        {"the file's own list",
         "C:\\Apps\\viewer.exe\r\nC:\\Apps\\player.exe\r\n",
         true,
         true,
         {"C:\\Apps\\viewer.exe", "C:\\Apps\\player.exe"}},
        {"blank lines are no programs", "\r\n\r\n  \r\n", true, true, {"<player>", "<recorder>"}},
        {"lines ended any way, Windows-1252",
         "C:\\Progr\xe4mme\\a.exe\nb.exe\rc.exe",
         false,
         false,
         {QString::fromUtf8("C:\\Progrämme\\a.exe"), "b.exe", "c.exe"}},
    };
    for (const Case& c : cases) {
        WindowsFolder programs(c.player, c.recorder);
        QTemporaryDir database;
        if (!c.optMmf.isEmpty())
            writeFile(database.filePath("opt.mmf"), c.optMmf);
        QStringList expected;
        for (const QString& entry : c.expected)
            expected.append(entry == "<player>"     ? programs.mediaPlayer
                            : entry == "<recorder>" ? programs.soundRecorder
                                                    : entry);
        EXPECT_EQ(AttachmentApplications::load(database.path(), programs.folder.path()).items(), expected)
            << c.name;
    }
    QTemporaryDir database;
    EXPECT_TRUE(AttachmentApplications::load(database.path(), QString()).items().isEmpty());
}

TEST(AttachmentApplications, MovesAddsAndRemovesIgnoringCase)
{
    QTemporaryDir database;
    writeFile(database.filePath("opt.mmf"), "a.exe\r\nB.exe\r\nc.exe\r\n");
    AttachmentApplications list = AttachmentApplications::load(database.path(), {});
    list.moveToTop("b.exe");
    EXPECT_EQ(list.items(), QStringList({"b.exe", "a.exe", "c.exe"}));
    list.add("C.EXE");
    EXPECT_EQ(list.items().size(), 3) << "already listed";
    list.add("d.exe");
    list.remove("A.exe");
    EXPECT_EQ(list.items(), QStringList({"b.exe", "c.exe", "d.exe"}));
    list.moveToTop("");
    EXPECT_EQ(list.items().size(), 3);
    ASSERT_TRUE(list.save(database.path()));
    EXPECT_EQ(optFile(database), "b.exe\r\nc.exe\r\nd.exe\r\n");
    EXPECT_FALSE(list.save(database.filePath("missing/folder")));
}

TEST(TAttachmentDlg, OffersTheMediaPlayerFirst)
{
    WindowsFolder windows;
    QTemporaryDir database;
    TAttachmentDlg dialog(database.path(), nullptr, windows.folder.path());
    EXPECT_EQ(dialog.windowTitle(), "Attachment");
    EXPECT_EQ(dialog.ApplicationBox->count(), 2);
    EXPECT_EQ(dialog.ApplicationBox->itemText(0), windows.mediaPlayer);
    EXPECT_EQ(dialog.ApplicationBox->itemText(1), windows.soundRecorder);
    EXPECT_EQ(dialog.application(), windows.mediaPlayer);
    EXPECT_TRUE(dialog.RunButton->isDefault());
    EXPECT_EQ(dialog.RunButton->toolTip(), "Run Application and Close This Window");
    EXPECT_EQ(dialog.AddButton->toolTip(), "Add New Application");
    EXPECT_EQ(dialog.CancelButton->toolTip(), "Cancel Changes");
}

TEST(TAttachmentDlg, RunAndCloseMoveTheApplicationToTheTopOfTheList)
{
    struct Case
    {
        const char* name;
        QPushButton* TAttachmentDlg::*button;
        int result;
    };
    const Case cases[] = {
        {"Run", &TAttachmentDlg::RunButton, TAttachmentDlg::RunResult},
        {"Close", &TAttachmentDlg::CloseButton, QDialog::Accepted},
    };
    for (const Case& c : cases) {
        QTemporaryDir database;
        writeFile(database.filePath("opt.mmf"), "first.exe\r\nmiddle.exe\r\nlast.exe\r\n");
        TAttachmentDlg dialog(database.path(), nullptr, {});
        dialog.setAttachedFile("/stamps/penny black.wav");
        dialog.ApplicationBox->setCurrentIndex(1);
        QTimer::singleShot(0, dialog.*c.button, &QPushButton::click);
        EXPECT_EQ(dialog.exec(), c.result) << c.name;
        EXPECT_EQ(optFile(database), "middle.exe\r\nfirst.exe\r\nlast.exe\r\n") << c.name;
        EXPECT_EQ(dialog.application(), "middle.exe") << c.name;
        EXPECT_EQ(dialog.attachedFile(), "/stamps/penny black.wav") << c.name;
    }
}

TEST(TAttachmentDlg, CancelAfterAddOrDeleteLeavesOptMmfAlone)
{
    QTemporaryDir database;
    QTemporaryDir programs;
    const QString viewer = programs.filePath("viewer");
    writeFile(viewer, "program");
    const QByteArray original = "first.exe\r\nsecond.exe\r\n";
    writeFile(database.filePath("opt.mmf"), original);

    TAttachmentDlg dialog(database.path(), nullptr, {});
    chooseInNextFileDialog(viewer);
    dialog.AddButton->click();
    EXPECT_EQ(dialog.application(), viewer);
    EXPECT_EQ(dialog.applications(), QStringList({"first.exe", "second.exe", viewer}));
    dialog.ApplicationBox->setCurrentIndex(0);
    dialog.DeleteButton->click();
    EXPECT_TRUE(dialog.application().isEmpty());
    EXPECT_EQ(dialog.applications(), QStringList({"second.exe", viewer}));
    QTimer::singleShot(0, dialog.CancelButton, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(optFile(database), original);

    // Close keeps the changes.
    TAttachmentDlg again(database.path(), nullptr, {});
    chooseInNextFileDialog(viewer);
    again.AddButton->click();
    QTimer::singleShot(0, again.CloseButton, &QPushButton::click);
    again.exec();
    EXPECT_EQ(optFile(database), QByteArray(viewer.toUtf8() + "\r\nfirst.exe\r\nsecond.exe\r\n"));
}

TEST(TAttachmentDlg, SelectPutsTheChosenFileInTheFileBox)
{
    QTemporaryDir database;
    QTemporaryDir media;
    const QString clip = media.filePath("clip without extension");
    writeFile(clip, "sound");
    TAttachmentDlg dialog(database.path(), nullptr, {});
    const QString before = QDir::currentPath();
    chooseInNextFileDialog(clip);
    dialog.SelectButton->click();
    EXPECT_EQ(dialog.attachedFile(), clip);
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST(Attachment, ApplicationGetsTheFileAsOneArgumentWhateverItsName)
{
    QTemporaryDir folder;
    const QString output = folder.filePath("arguments.txt");
    qputenv("ARGV_WRITER_OUTPUT", output.toUtf8());
    const QString marker = folder.filePath("INJECTED");
    const QString names[] = {
        "penny black.wav",
        "it's a \"quoted\" name.mp3",
        "a;b;c.avi",
        "clip; touch " + marker,
        "$(touch " + marker + ").wav",
        "`touch " + marker + "`.wav",
        "one & two | three > four.txt",
        "-starts-with-a-dash.mid",
        QString::fromUtf8("Briefmarke Österreich 1850.wav"),
    };
    for (const QString& name : names) {
        QFile::remove(output);
        const QString file = folder.filePath(name);
        ASSERT_TRUE(pictures::startAttachment(TESSARY_ARGV_WRITER, file)) << name.toStdString();
        EXPECT_EQ(argumentsWritten(output), QStringList{file}) << name.toStdString();
    }
    EXPECT_FALSE(QFile::exists(marker)) << "a file name was run as a command";
    EXPECT_FALSE(QFile::exists("INJECTED"));

    // The Windows media programs are told to play.
    const QString mediaPlayer = folder.filePath("mplayer.exe");
    ASSERT_TRUE(QFile::copy(TESSARY_ARGV_WRITER, mediaPlayer));
    QFile::setPermissions(mediaPlayer, QFile::permissions(TESSARY_ARGV_WRITER));
    QFile::remove(output);
    ASSERT_TRUE(pictures::startAttachment(mediaPlayer, folder.filePath("a b.wav")));
    EXPECT_EQ(argumentsWritten(output), QStringList({"/PLAY", folder.filePath("a b.wav")}));
    qunsetenv("ARGV_WRITER_OUTPUT");

    EXPECT_FALSE(pictures::startAttachment(folder.filePath("no such program"), folder.filePath("x.wav")));
    EXPECT_FALSE(pictures::startAttachment({}, folder.filePath("x.wav")));
    EXPECT_FALSE(pictures::startAttachment(TESSARY_ARGV_WRITER, {}));
}

TEST(Attachment, PlayOnlyForTheTwoProgramsAsNamed)
{
    struct Case
    {
        const char* application;
        bool play;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\mplayer.exe", true},
        {"C:\\WINDOWS\\sndrec32.exe", true},
        {"C:\\WINDOWS\\MPLAYER.EXE", false}, // the names are compared as written
        {"/usr/bin/vlc", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pictures::attachmentArguments(c.application, "f.wav"),
                  c.play ? QStringList({"/PLAY", "f.wav"}) : QStringList{"f.wav"})
            << c.application;
}

TEST(Attachment, ChosenInTheDialogAndRun)
{
    QTemporaryDir database;
    QTemporaryDir folder;
    const QString output = folder.filePath("arguments.txt");
    qputenv("ARGV_WRITER_OUTPUT", output.toUtf8());
    const QString file = folder.filePath("stamp \"1840\"; rm -rf ~.wav");
    TAttachmentDlg dialog(database.path(), nullptr, {});
    dialog.setAttachedFile(file);
    dialog.ApplicationBox->setEditText(TESSARY_ARGV_WRITER);
    QTimer::singleShot(0, dialog.RunButton, &QPushButton::click);
    ASSERT_EQ(dialog.exec(), TAttachmentDlg::RunResult);
    ASSERT_TRUE(pictures::startAttachment(dialog.application(), dialog.attachedFile()));
    EXPECT_EQ(argumentsWritten(output), QStringList{file});
    EXPECT_EQ(optFile(database), QByteArray(TESSARY_ARGV_WRITER "\r\n"));
    qunsetenv("ARGV_WRITER_OUTPUT");
}
