#include "settings/FieldTexts.h"
#include "settings/PageOrder.h"
#include "settings/ShutdownMarker.h"
#include "settings/TextFile.h"
#include "SettingsFolder.h"

namespace {

// A file's bytes and what reading it must give.
template <typename Expected>
struct ContentCase
{
    QByteArray content;
    Expected expected;
};

template <typename Expected>
void PrintTo(const ContentCase<Expected>& c, std::ostream* out)
{
    PrintTo(c.content, out);
}

template <typename Expected>
class ContentTest : public SettingsFolderTest, public ::testing::WithParamInterface<ContentCase<Expected>>
{
};

using LinesCase = ContentCase<QStringList>;
using LineEnds = ContentTest<QStringList>;

TEST_P(LineEnds, AreEachReadAsOneLineEnd)
{
    writeBytes("lines.txt", GetParam().content);
    EXPECT_EQ(settings::ReadTextLines(pathOf("lines.txt")), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineEnds,
                         ::testing::Values(LinesCase{"a\r\nb\r\n", {"a", "b"}}, LinesCase{"a\nb", {"a", "b"}},
                                           LinesCase{"a\rb\r", {"a", "b"}},
                                           LinesCase{"a\r\n\r\nb", {"a", "", "b"}},
                                           LinesCase{"a\n\rb", {"a", "", "b"}}, LinesCase{"", {}},
                                           LinesCase{"\r\n", {""}}, LinesCase{"one", {"one"}},
                                           LinesCase{"Z\xFCrich\r\n", {"Zürich"}}));

class TextFilesTest : public SettingsFolderTest
{
};

TEST_F(TextFilesTest, MissingFileReadsAsNothing)
{
    EXPECT_EQ(settings::ReadTextLines(pathOf("none.txt")), std::nullopt);
}

TEST_F(TextFilesTest, CaptionsRoundTripWithCrLfInWindows1252)
{
    const QStringList captions = {"Stamp Description:", "Country:", "Zürich Nr.:"};
    ASSERT_TRUE(settings::SaveCaptions(folder(), captions));
    EXPECT_EQ(bytesOf("labels.dat"), QByteArray("Stamp Description:\r\nCountry:\r\nZ\xFCrich Nr.:\r\n"));
    EXPECT_EQ(settings::LoadCaptions(folder()), captions);
}

TEST_F(TextFilesTest, MissingCaptionsFileGivesAnEmptyList)
{
    EXPECT_TRUE(settings::LoadCaptions(folder()).isEmpty());
}

TEST_F(TextFilesTest, CaptionsFileIsFoundWithoutCaseAndRewrittenInPlace)
{
    writeBytes("LABELS.DAT", "Old:\n");
    EXPECT_EQ(settings::LoadCaptions(folder()), QStringList{"Old:"});
    ASSERT_TRUE(settings::SaveCaptions(folder(), {"New:"}));
    EXPECT_EQ(filesInFolder(), QStringList{"LABELS.DAT"});
    EXPECT_EQ(bytesOf("LABELS.DAT"), QByteArray("New:\r\n"));
}

TEST_F(TextFilesTest, SavingCaptionsOrDateFormatsReportsFailure)
{
    EXPECT_FALSE(settings::SaveCaptions(pathOf("gone"), {"A:"}));
    EXPECT_FALSE(settings::SaveDateFormats(pathOf("gone"), {1}));
    EXPECT_STREQ(settings::SaveOptionsFailedMessage, "Could not Save Options to a File!");
}

TEST_F(TextFilesTest, DateFormatsRoundTripAsDecimalLines)
{
    ASSERT_TRUE(settings::SaveDateFormats(folder(), {settings::DayMonthYear, settings::YearOnly}));
    EXPECT_EQ(bytesOf("date.dat"), QByteArray("1\r\n3\r\n"));
    EXPECT_EQ(settings::LoadDateFormats(folder()), (QList<int>{1, 3}));
}

TEST_F(TextFilesTest, DateFormatLinesThatAreNoFormatReadAsTheFirstFormat)
{
    writeBytes("date.dat", "2\nx\n7\n-1\n 3 \n\n");
    EXPECT_EQ(settings::LoadDateFormats(folder()), (QList<int>{2, 0, 0, 0, 3, 0}));
}

TEST_F(TextFilesTest, MissingDateFormatsFileGivesAnEmptyList)
{
    EXPECT_TRUE(settings::LoadDateFormats(folder()).isEmpty());
}

TEST(TabOrderFileName, ReplacesEverythingAfterTheFirstDot)
{
    const std::pair<QString, QString> cases[] = {
        {"data.dbf", "data.tab"}, {"data_7.DBF", "data_7.tab"}, {"a.b.c", "a.tab"}, {"nodot", "nodottab"}};
    for (const auto& [table, expected] : cases)
        EXPECT_EQ(settings::TabOrderFileName(table), expected) << table.toStdString();
}

const QStringList formOrder = {"Part 1", "Part 2", "Part 3", "Part 4"};

TEST_F(TextFilesTest, DraggedPageOrderIsSavedAndRestoredWithItsFirstPageActive)
{
    const QStringList dragged = {"Part 3", "Part 1", "Part 2", "Part 4"};
    ASSERT_TRUE(settings::SavePageOrder(folder(), "data.dbf", dragged));
    EXPECT_EQ(bytesOf("data.tab"), QByteArray("3124\r\n"));

    const QString line = settings::ReadPageOrder(folder(), "data.dbf");
    EXPECT_EQ(line, QStringLiteral("3124"));
    const QList<int> order = settings::RestorePageOrder(formOrder, line);
    EXPECT_EQ(order, (QList<int>{2, 0, 1, 3}));
    EXPECT_EQ(formOrder[order.first()], QStringLiteral("Part 3")) << "the active page";
}

TEST_F(TextFilesTest, MissingTabOrderFileReadsEmptyAndKeepsTheFormOrder)
{
    EXPECT_EQ(settings::ReadPageOrder(folder(), "data.dbf"), QString());
    EXPECT_EQ(settings::RestorePageOrder(formOrder, {}), (QList<int>{0, 1, 2, 3}));
}

struct PageOrderCase
{
    QStringList captions;
    QString line;
    QList<int> order;
};

void PrintTo(const PageOrderCase& c, std::ostream* out)
{
    *out << '"' << c.line.toStdString() << '"' << " over " << c.captions.size() << " pages";
}

class PageOrders : public ::testing::TestWithParam<PageOrderCase>
{
};

TEST_P(PageOrders, MoveTheFirstMatchingPageToEachPosition)
{
    EXPECT_EQ(settings::RestorePageOrder(GetParam().captions, GetParam().line), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(Cases, PageOrders,
                         ::testing::Values(PageOrderCase{formOrder, "4321", {3, 2, 1, 0}},
                                           PageOrderCase{formOrder, "1234", {0, 1, 2, 3}},
                                           PageOrderCase{formOrder, "9", {0, 1, 2, 3}},
                                           PageOrderCase{formOrder, "43", {3, 2, 0, 1}},
                                           PageOrderCase{formOrder, "1x4", {0, 1, 3, 2}},
                                           PageOrderCase{formOrder, "123456", {0, 1, 2, 3}},
                                           PageOrderCase{{"Part 1", "Part 2"}, "xx1", {1, 0}},
                                           PageOrderCase{{}, "21", {}}));

TEST_F(TextFilesTest, ShutdownMarkersAreExactlyFourBytes)
{
    settings::WriteRunningMarker(folder());
    EXPECT_EQ(bytesOf("shut.dat"), QByteArray("#10*"));
    EXPECT_FALSE(settings::WasClosedNormally(folder()));
    settings::WriteCleanMarker(folder());
    EXPECT_EQ(bytesOf("shut.dat"), QByteArray("@a$)"));
    EXPECT_TRUE(settings::WasClosedNormally(folder()));
}

using MarkerCase = ContentCase<bool>;
using ShutdownMarkers = ContentTest<bool>;

TEST_P(ShutdownMarkers, CompareTheFirstLineExactly)
{
    writeBytes("shut.dat", GetParam().content);
    EXPECT_EQ(settings::WasClosedNormally(folder()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShutdownMarkers,
                         ::testing::Values(MarkerCase{"@a$)", true}, MarkerCase{"@a$)\r\nmore", true},
                                           MarkerCase{"#10*", false}, MarkerCase{"", false},
                                           MarkerCase{"@A$)", false}, MarkerCase{"@a$) ", false}));

TEST_F(TextFilesTest, MissingOrUnreadableMarkerGivesNoWarning)
{
    EXPECT_TRUE(settings::WasClosedNormally(folder()));
    ASSERT_TRUE(QDir(folder()).mkdir("shut.dat")) << "a folder in the file's place cannot be read";
    EXPECT_TRUE(settings::WasClosedNormally(folder()));
}

TEST_F(TextFilesTest, MarkerWriteFailuresAreIgnored)
{
    settings::WriteRunningMarker(pathOf("gone"));
    settings::WriteCleanMarker(pathOf("gone"));
    EXPECT_FALSE(exists("gone/shut.dat"));
}

} // namespace
