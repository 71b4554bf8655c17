#include "AnsweredBoxes.h"
#include "HelpRequests.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "MenuPaths.h"
#include "ModalAnswers.h"
#include "settings/StreamError.h"
#include "TestFiles.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using controls::FieldKind;

namespace {

controls::FieldList stampFields()
{
    return {{QStringLiteral("Description"), FieldKind::Text}, {QStringLiteral("Country"), FieldKind::Text},
            {QStringLiteral("Notes"), FieldKind::Memo},       {QStringLiteral("Picture"), FieldKind::Picture},
            {QStringLiteral("Cost"), FieldKind::Other},       {QStringLiteral("Issued"), FieldKind::Other}};
}

QByteArray headerBytes(const QList<std::pair<QByteArray, int>>& sections)
{
    QByteArray bytes("\x01", 1);
    for (const auto& [caption, width] : sections) {
        bytes += char(6) + QByteArray(1, char(caption.size())) + caption;
        if (width >= -128 && width <= 127)
            bytes += QByteArray(1, char(2)) + char(width);
        else
            bytes += QByteArray(1, char(3)) + char(width & 0xff) + char((width >> 8) & 0xff);
    }
    return bytes + QByteArray(1, '\0');
}

QStringList captionsOf(const TKestoHeader& header)
{
    QStringList captions;
    for (const auto& section : header.sections())
        captions.append(section.caption);
    return captions;
}

QList<int> widthsOf(const TKestoHeader& header)
{
    QList<int> widths;
    for (const auto& section : header.sections())
        widths.append(section.width);
    return widths;
}

struct Header : ::testing::Test
{
    QTemporaryDir folder;
    QWidget window;
    TKestoHeader* header = new TKestoHeader(&window);

    Header()
    {
        window.resize(420, 60);
        header->setGeometry(0, 0, 400, 20);
        header->setFields(stampFields());
        window.show();
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    void load(const QList<std::pair<QByteArray, int>>& sections)
    {
        writeFile(path("header.dat"), headerBytes(sections));
        header->LoadFromFile(path("header.dat"));
    }

    QAction* menuItem(const QStringList& itemPath)
    {
        if (!header->popupMenu()->isVisible())
            header->showPopupMenu(header->mapToGlobal(QPoint(5, 5)));
        return findItem(header->popupMenu(), itemPath);
    }
    void choose(const QStringList& itemPath)
    {
        QAction* action = menuItem(itemPath);
        ASSERT_NE(action, nullptr) << itemPath.join(QLatin1Char('/')).toStdString();
        action->trigger();
        header->popupMenu()->close();
    }
};

} // namespace

TEST_F(Header, SaveWritesCaptionsAndWidthsInTheValueStream)
{
    load({{"Country", 120}, {"Cost", 300}});
    header->SaveToFile(path("saved.dat"));
    EXPECT_EQ(readFile(path("saved.dat")), headerBytes({{"Country", 120}, {"Cost", 300}}));
}

TEST_F(Header, LoadRoundTripsAndFindsTheFields)
{
    load({{"Cost", 80}, {"Description", 200}, {"Gone", 40}});
    EXPECT_EQ(captionsOf(*header), QStringList({"Cost", "Description", "Gone"}));
    EXPECT_EQ(widthsOf(*header), QList<int>({80, 200, 40}));
    EXPECT_EQ(header->section(0).fieldIndex, 4);
    EXPECT_EQ(header->section(1).fieldIndex, 0);
    EXPECT_EQ(header->section(2).fieldIndex, -1) << "a caption that names no field";
    header->SaveToFile(path("again.dat"));
    EXPECT_EQ(readFile(path("again.dat")), readFile(path("header.dat")));
}

TEST_F(Header, LayoutsWithoutSectionsGiveTheFirstTwoFields)
{
    struct Case
    {
        const char* name;
        std::optional<QByteArray> content; // nothing: no file at all
        bool readThrough;
    };
    const Case cases[] = {
        {"an empty list", QByteArray("\x01\x00", 2), true},
        {"no file", std::nullopt, false},
        {"an empty file", QByteArray(), false},
        {"a damaged first section", QByteArray("\x01\x06\x07", 3) + "Cou", false}, // 7 bytes promised
    };
    for (const Case& c : cases) {
        QFile::remove(path("header.dat"));
        if (c.content)
            writeFile(path("header.dat"), *c.content);
        EXPECT_EQ(header->LoadFromFile(path("header.dat")), c.readThrough) << c.name;
        EXPECT_EQ(captionsOf(*header), QStringList({"Description", "Country"})) << c.name;
        EXPECT_EQ(widthsOf(*header), QList<int>({50, 100})) << c.name;
    }
}

TEST_F(Header, ACutOffLayoutKeepsTheSectionsReadWhole)
{
    QByteArray bytes = headerBytes({{"Country", 120}, {"Cost", 90}, {"Description", 60}});
    bytes.chop(6); // into the third section's caption
    writeFile(path("header.dat"), bytes);
    EXPECT_FALSE(header->LoadFromFile(path("header.dat")));
    EXPECT_EQ(captionsOf(*header), QStringList({"Country", "Cost"}));
}

TEST_F(Header, SaveToAnUnwritablePlaceThrows)
{
    load({{"Country", 120}});
    EXPECT_THROW(header->SaveToFile(path("no/such/folder/header.dat")), settings::StreamError);
}

TEST_F(Header, PercentagesAreRoundedSharesOfTheHeaderWidth)
{
    load({{"Country", 100}, {"Cost", 133}, {"Description", 2}});
    EXPECT_EQ(header->SectionPercent(0), 25);
    EXPECT_EQ(header->SectionPercent(1), 33); // 33.25
    EXPECT_EQ(header->SectionPercent(2), 1);  // 0.5 rounds up
    header->resize(200, 20);
    EXPECT_EQ(header->SectionPercent(0), 25) << "kept until the owner asks for them again";
    header->UpdatePercents();
    EXPECT_EQ(header->SectionPercent(0), 50);
    EXPECT_EQ(header->SectionPercent(1), 67);
}

TEST_F(Header, TheHeaderFollowsRenamedCaptions)
{
    load({{"Country", 120}, {"Cost", 90}});
    QStringList captions{"Description", "Land", "Notes", "Picture", "Price", "Issued"};
    QSignalSpy changes(header, &TKestoHeader::hChanged);
    header->RefreshCaptions(captions);
    EXPECT_EQ(captionsOf(*header), QStringList({"Land", "Price"}));
    EXPECT_EQ(widthsOf(*header), QList<int>({120, 90}));
    EXPECT_EQ(changes.count(), 1);
    header->SaveToFile(path("header.dat"));
    EXPECT_EQ(readFile(path("header.dat")), headerBytes({{"Land", 120}, {"Price", 90}}));

    // A second rename still finds the field by its index.
    captions[1] = QStringLiteral("Nation");
    header->RefreshCaptions(captions);
    EXPECT_EQ(header->section(0).caption, QStringLiteral("Nation"));
    // The insert menu offers the new captions.
    header->showPopupMenu(header->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(itemTexts(subMenu(header->popupMenu(), QStringLiteral("&Insert New Field"))),
              QStringList({"Description", "Issued"}));
    header->popupMenu()->close();
}

TEST_F(Header, EveryChangeSignals)
{
    QSignalSpy changes(header, &TKestoHeader::hChanged);
    load({{"Country", 120}, {"Cost", 90}});
    EXPECT_EQ(changes.count(), 1);
    header->InsertField(0);
    header->MoveSection(2, 0);
    header->ResizeSection(0, 70);
    header->RemoveField(QStringLiteral("Cost"));
    header->UpdatePercents();
    EXPECT_EQ(changes.count(), 6);
    EXPECT_EQ(captionsOf(*header), QStringList({"Description", "Country"}));
}

TEST_F(Header, InsertMenuOffersFieldsNotShownThatCanBeColumns)
{
    load({{"Country", 120}, {"Cost", 90}});
    header->showPopupMenu(header->mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(itemTexts(header->popupMenu()),
              QStringList({"&Insert New Field", "&Remove Field", "-", "&Load From Template",
                           "&Save As Template", "&Delete Template", "-", "&Help"}));
    EXPECT_EQ(itemTexts(subMenu(header->popupMenu(), QStringLiteral("&Insert New Field"))),
              QStringList({"Description", "Issued"}));
    EXPECT_EQ(itemTexts(subMenu(header->popupMenu(), QStringLiteral("&Remove Field"))),
              QStringList({"Country", "Cost"}));
    header->popupMenu()->close();

    choose({"&Insert New Field", "Issued"});
    EXPECT_EQ(captionsOf(*header), QStringList({"Country", "Cost", "Issued"}));
    EXPECT_EQ(header->section(2).fieldIndex, 5);
    choose({"&Remove Field", "Country"});
    EXPECT_EQ(captionsOf(*header), QStringList({"Cost", "Issued"}));
}

TEST_F(Header, RemoveIsDisabledWithOneSection)
{
    load({{"Country", 120}});
    EXPECT_FALSE(menuItem({"&Remove Field"})->isEnabled());
    header->popupMenu()->close();
    header->RemoveField(QStringLiteral("Country"));
    EXPECT_EQ(header->sectionCount(), 1) << "the record list keeps one column at least";
}

TEST_F(Header, ANewSectionTakesTheRoomLeftOrHalfOfAWideSection)
{
    struct Case
    {
        const char* name;
        QList<std::pair<QByteArray, int>> before;
        QList<int> after;
    };
    const Case cases[] = {
        {"room at the right end", {{"Country", 100}, {"Cost", 200}}, {100, 200, 100}},
        {"no room: the last section halves", {{"Country", 100}, {"Cost", 298}}, {100, 149, 149}},
        {"the last is narrow: the nearest wide one halves", {{"Country", 390}, {"Cost", 10}}, {195, 10, 195}},
        {"running past the end: cut back first", {{"Country", 300}, {"Cost", 140}}, {300, 50, 50}},
        {"nothing wide enough", {{"Country", 19}, {"Cost", 19}, {"Description", 19}}, {19, 19, 19, 343}},
    };
    for (const Case& c : cases) {
        load(c.before);
        header->InsertField(5);
        EXPECT_EQ(widthsOf(*header), c.after) << c.name;
    }
    load({{"Country", 200}, {"Cost", 199}});
    header->InsertField(5);
    EXPECT_EQ(widthsOf(*header), QList<int>({200, 100, 99})) << "one pixel of room is no room";
}

TEST_F(Header, DraggingABorderResizes)
{
    load({{"Country", 100}, {"Cost", 100}});
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(102, 10)); // within 4 pixels of the border at 100
    QTest::mouseMove(header, QPoint(150, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(widthsOf(*header), QList<int>({148, 100}));
    EXPECT_EQ(header->SectionPercent(0), 37);

    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(148, 10));
    QTest::mouseMove(header, QPoint(2, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(2, 10));
    EXPECT_EQ(widthsOf(*header), QList<int>({4, 100})) << "a section left narrower than 4 pixels gets 4";
}

TEST_F(Header, DraggingASectionMovesIt)
{
    load({{"Country", 100}, {"Cost", 100}, {"Description", 100}});
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(50, 10));
    QTest::mouseMove(header, QPoint(120, 10));
    QTest::mouseMove(header, QPoint(250, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(250, 10));
    EXPECT_EQ(captionsOf(*header), QStringList({"Cost", "Description", "Country"}));

    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(250, 10));
    QTest::mouseMove(header, QPoint(150, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(150, 40)); // dropped below the header
    EXPECT_EQ(captionsOf(*header), QStringList({"Cost", "Description", "Country"}));

    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(captionsOf(*header), QStringList({"Cost", "Description", "Country"}))
        << "a click moves nothing";
}

TEST_F(Header, OneSectionIgnoresTheMouse)
{
    load({{"Country", 100}});
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseMove(header, QPoint(200, 10));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(widthsOf(*header), QList<int>({100}));
}

TEST_F(Header, HeaderTemplates)
{
    load({{"Country", 100}});
    QStringList added;
    bool loadSucceeds = false;
    header->setTemplates({[] { return QStringList{QStringLiteral("Wide")}; },
                          [&](const QString&) { return loadSucceeds; },
                          [&](const QString& name) {
                              added.append(name);
                              return true;
                          },
                          [](const QString&) {}});
    ModalWatcher boxes;
    ModalAnswers answers;
    choose({"&Load From Template", "Wide"});
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error Loading Template.")});
    answers.answerInput(QStringLiteral("Narrow"));
    choose({"&Save As Template"});
    EXPECT_EQ(answers.inputs(), QStringList{QStringLiteral("Save Header As Template|Template Name:")});
    EXPECT_EQ(added, QStringList{QStringLiteral("Narrow")});
}

TEST_F(Header, RightClickOpensTheMenuAndHelpOpensTheContext)
{
    load({{"Country", 100}});
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), header->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(header, &rightClick);
    EXPECT_TRUE(header->popupMenu()->isVisible());
    header->popupMenu()->close();
    HelpRequests help;
    header->setHelpContext(28);
    choose({"&Help"});
    EXPECT_EQ(help.contexts(), QList<int>{28});
}
