#include "app/Program.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "editors/TLookup.h"
#include "mainwindow/TForm1.h"
#include "ModalWatcher.h"
#include "options/TTrayForm.h"
#include "pictures/TDbMultiImgControl.h"
#include "ProgramFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QtEndian>
#include <QTest>

namespace {

QWidget* field(TForm1* window, int number)
{
    return window->findChild<QWidget*>(QStringLiteral("L%1").arg(number));
}

QByteArray bitmap(QColor colour)
{
    QImage image(24, 16, QImage::Format_RGB888);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// One run of the program: started in the folder, left alone until the test ends it. The message boxes it
// shows are answered and noted.
class ProgramRun
{
public:
    explicit ProgramRun(const ProgramFolder& folder) : m_program(folder.path())
    {
        EXPECT_TRUE(m_program.start());
        QTest::qWait(50); // the tray's first activation and the window's first show
    }

    const QStringList& messages() const { return m_boxes.texts(); }
    ~ProgramRun() { end(); }

    TForm1* window() const { return m_program.mainWindow(); }
    Program& program() { return m_program; }

    void end()
    {
        if (m_program.trayForm() && !m_program.trayForm()->isClosed()) {
            EXPECT_TRUE(m_program.trayForm()->close());
        }
        m_program.finish();
    }

private:
    ModalWatcher m_boxes;
    Program m_program;
};

std::array<qint32, 5> placement(const ProgramFolder& folder)
{
    const QByteArray bytes = folder.read("DATA/wnd.dat");
    std::array<qint32, 5> values{};
    if (bytes.size() == 20)
        for (int i = 0; i < 5; ++i)
            values[i] = qFromLittleEndian<qint32>(bytes.constData() + 4 * i);
    return values;
}

} // namespace

TEST(Program, TypedValuesOnEveryPageSurviveARestart)
{
    ProgramFolder folder;
    const QByteArray picture = bitmap(Qt::darkCyan);
    {
        ProgramRun run(folder);
        // A fresh data folder has no record table yet: it is made from the template without a word.
        EXPECT_TRUE(run.messages().isEmpty()) << run.messages().join(" | ").toStdString();
        TForm1* window = run.window();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(QDir(folder.file("DATA/BACKUP")).exists());
        EXPECT_EQ(folder.read("DATA/shut.dat"), "#10*");
        EXPECT_EQ(window->recordPages()->count(), 4);
        EXPECT_EQ(window->statusText(), "New Record");

        QTest::keyClicks(static_cast<QLineEdit*>(field(window, 1)), "Penny Black");
        static_cast<TLookup*>(field(window, 2))->setEditText("Gro\u00dfbritannien");
        static_cast<TDateEdit*>(field(window, 6))->setDate(QDate(1840, 5, 6));
        static_cast<TCurrencyEdit*>(field(window, 8))->setValue(1234.5);
        static_cast<QLineEdit*>(field(window, 11))->setText("Black");
        static_cast<QPlainTextEdit*>(field(window, 21))->setPlainText("Plate 1a\nFour margins");
        static_cast<TDbMultiImgControl*>(field(window, 28))->setPictureData(picture);
    }
    EXPECT_EQ(folder.read("DATA/shut.dat"), "@a$)");

    ProgramRun run(folder);
    EXPECT_TRUE(run.messages().isEmpty()) << run.messages().join(" | ").toStdString();
    TForm1* window = run.window();
    EXPECT_EQ(window->statusText(), "Read/Write Access");
    EXPECT_EQ(static_cast<QLineEdit*>(field(window, 1))->text(), "Penny Black");
    EXPECT_EQ(static_cast<TLookup*>(field(window, 2))->currentText(), "Gro\u00dfbritannien");
    EXPECT_EQ(static_cast<TDateEdit*>(field(window, 6))->date(), QDate(1840, 5, 6));
    EXPECT_EQ(static_cast<TCurrencyEdit*>(field(window, 8))->text(), "1,234.50");
    EXPECT_EQ(static_cast<QLineEdit*>(field(window, 11))->text(), "Black");
    EXPECT_EQ(static_cast<QPlainTextEdit*>(field(window, 21))->toPlainText(), "Plate 1a\nFour margins");
    EXPECT_EQ(static_cast<TDbMultiImgControl*>(field(window, 28))->pictureData(), picture);
}

TEST(Program, CaptionLabelsCarryTheirFieldNumbers)
{
    ProgramFolder folder;
    ProgramRun run(folder);
    const QList<QWidget*>& labels = run.window()->captionLabels();
    ASSERT_EQ(labels.size(), 28);
    ASSERT_EQ(run.window()->fieldControls().size(), 28);
    for (int i = 0; i < 28; ++i) {
        EXPECT_EQ(labels[i]->property("tag").toInt(), i + 1);
        EXPECT_EQ(run.window()->fieldControls()[i]->property("tag").toInt(), i + 1);
    }
    EXPECT_EQ(static_cast<QLabel*>(labels[0])->text(), "Stamp Description:");
    EXPECT_EQ(static_cast<QLabel*>(labels[27])->text(), "Picture:");
}

TEST(Program, WindowPlacementIsKeptForNormalAndMaximizedWindows)
{
    ProgramFolder folder;
    {
        ProgramRun run(folder);
        run.window()->setGeometry(40, 60, 700, 520);
    }
    const auto normal = placement(folder);
    EXPECT_EQ(normal[2], 700);
    EXPECT_EQ(normal[3], 520);
    EXPECT_GT(normal[4], 0);
    {
        ProgramRun run(folder);
        EXPECT_EQ(run.window()->size(), QSize(700, 520));
        run.window()->showMaximized();
        QTest::qWait(20);
    }
    EXPECT_EQ(folder.read("DATA/wnd.dat"), QByteArray(20, '\0'));
    ProgramRun run(folder);
    EXPECT_TRUE(run.window()->windowState() & Qt::WindowMaximized);
}

TEST(Program, AnUncleanEndIsReportedOnceAtTheNextStart)
{
    ProgramFolder folder;
    QDir().mkpath(folder.file("DATA"));
    folder.write("DATA/shut.dat", "#10*");
    {
        ProgramRun run(folder);
        const QStringList warnings = run.messages().filter("was not Closed normally");
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(
            warnings[0].startsWith("Kestovan Stamp Tessary was not Closed normally!\nIt is STRONGLY"));
    }
    ProgramRun run(folder);
    EXPECT_TRUE(run.messages().isEmpty()) << run.messages().join(" | ").toStdString();
}

TEST(Program, EndingTheSessionSavesTheRecordWithoutAsking)
{
    ProgramFolder folder;
    {
        ProgramRun run(folder);
        static_cast<QLineEdit*>(field(run.window(), 3))->setText("saved on the way out");
        const auto before = run.messages().size();
        run.program().endSession();
        EXPECT_TRUE(run.program().trayForm()->isClosed());
        EXPECT_EQ(run.messages().size(), before) << "nothing is asked when the session ends";
    }
    ProgramRun run(folder);
    EXPECT_EQ(static_cast<QLineEdit*>(field(run.window(), 3))->text(), "saved on the way out");
}

TEST(Program, TerminationSignalsEndTheRunInOrder)
{
    for (int signal : {SIGTERM, SIGHUP}) {
        ProgramFolder folder;
        // A data folder with its record table, so nothing is asked at start-up.
        QDir().mkpath(folder.file("DATA"));
        for (const char* name : {"data.dbf", "data.dbt", "data.mdx"})
            ASSERT_TRUE(QFile::copy(folder.file(name), folder.file(QStringLiteral("DATA/") + name)));
        const QString executable = folder.file("tessary");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARY_PROGRAM_DIR "/tessary"), executable));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(executable, {});
        ASSERT_TRUE(process.waitForStarted());
        for (int i = 0; i < 200 && folder.read("DATA/shut.dat") != "#10*"; ++i)
            QTest::qWait(25);
        ASSERT_EQ(folder.read("DATA/shut.dat"), "#10*");
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(folder.read("DATA/shut.dat"), "@a$)") << signal;
        EXPECT_EQ(folder.read("DATA/wnd.dat").size(), 20);
    }
}
