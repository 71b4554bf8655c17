#include "settings/ColorScheme.h"
#include "settings/SortSettings.h"
#include "settings/WindowPlacement.h"
#include "SettingsFolder.h"

using settings::ColorSlots;
using settings::DefaultColorSlots;
using settings::PlacementDecision;
using settings::SortSettings;
using settings::WindowPlacement;

namespace {

using Action = PlacementDecision::Action;

class WindowPlacementTest : public SettingsFolderTest
{
};

TEST_F(WindowPlacementTest, MaximizedWindowIsTwentyZeroBytesAndOpensMaximized)
{
    settings::SaveWindowPlacement(folder(), WindowPlacement::maximized());
    EXPECT_EQ(bytesOf("wnd.dat"), QByteArray(20, '\0'));
    const PlacementDecision decision = settings::LoadWindowPlacement(folder());
    EXPECT_EQ(decision.action, Action::Maximize);
    EXPECT_EQ(decision.rightPaneWidth(), 0);
}

TEST_F(WindowPlacementTest, NormalWindowRoundTripsAsFiveLittleEndianValues)
{
    const WindowPlacement placement{-8, 1921, 1024, 768, 300};
    settings::SaveWindowPlacement(folder(), placement);
    EXPECT_EQ(bytesOf("wnd.dat"), Bytes({0xF8, 0xFF, 0xFF, 0xFF, 0x81, 0x07, 0,    0,    0x00, 0x04,
                                         0,    0,    0x00, 0x03, 0,    0,    0x2C, 0x01, 0,    0}));
    EXPECT_EQ(settings::ReadWindowPlacement(folder()), placement);
    const PlacementDecision decision = settings::LoadWindowPlacement(folder());
    EXPECT_EQ(decision.action, Action::Restore);
    EXPECT_EQ(decision.placement, placement);
    EXPECT_EQ(decision.rightPaneWidth(), 300);
}

TEST_F(WindowPlacementTest, MissingOrShortFileChangesNothing)
{
    EXPECT_EQ(settings::ReadWindowPlacement(folder()), std::nullopt);
    EXPECT_EQ(settings::LoadWindowPlacement(folder()).action, Action::Keep);
    writeBytes("wnd.dat", QByteArray(19, '\0'));
    EXPECT_EQ(settings::ReadWindowPlacement(folder()), std::nullopt);
    EXPECT_EQ(settings::LoadWindowPlacement(folder()).action, Action::Keep);
}

TEST_F(WindowPlacementTest, SaveIntoAMissingFolderIsIgnored)
{
    settings::SaveWindowPlacement(pathOf("gone"), {1, 2, 3, 4, 5});
    EXPECT_FALSE(exists("gone/wnd.dat"));
}

struct DecisionCase
{
    WindowPlacement stored;
    Action action;
    qint32 rightPaneWidth;
};

void PrintTo(const DecisionCase& c, std::ostream* out)
{
    *out << c.stored.width << 'x' << c.stored.height << " pane " << c.stored.rightPaneWidth;
}

class PlacementDecisions : public ::testing::TestWithParam<DecisionCase>
{
};

TEST_P(PlacementDecisions, FollowWidthHeightAndPane)
{
    const PlacementDecision decision = settings::DecideWindowPlacement(GetParam().stored);
    EXPECT_EQ(decision.action, GetParam().action);
    EXPECT_EQ(decision.rightPaneWidth(), GetParam().rightPaneWidth);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementDecisions,
                         ::testing::Values(DecisionCase{{10, 20, 800, 600, 350}, Action::Restore, 350},
                                           DecisionCase{{-5, -5, 1, 1, 1}, Action::Restore, 1},
                                           DecisionCase{{10, 20, 0, 0, 0}, Action::Maximize, 0},
                                           DecisionCase{{0, 0, 800, 0, 350}, Action::Keep, 0},
                                           DecisionCase{{0, 0, 800, 600, 0}, Action::Keep, 0},
                                           DecisionCase{{0, 0, -800, 600, 350}, Action::Keep, 0},
                                           DecisionCase{{0, 0, 0, 0, -1}, Action::Keep, 0}));

class ColorSchemeTest : public SettingsFolderTest
{
};

TEST_F(ColorSchemeTest, MissingFileGivesTheDefaults)
{
    EXPECT_EQ(settings::LoadColorScheme(folder()), DefaultColorSlots);
    EXPECT_EQ(DefaultColorSlots[0], 6);
    EXPECT_EQ(DefaultColorSlots[19], 12);
    EXPECT_EQ(DefaultColorSlots[26], 1);
}

TEST_F(ColorSchemeTest, RoundTripsAsExactly27Bytes)
{
    ColorSlots colors{};
    for (int slot = 0; slot < settings::ColorSlotCount; ++slot)
        colors[static_cast<std::size_t>(slot)] = static_cast<quint8>((slot * 5) % 16);
    settings::SaveColorScheme(folder(), colors);
    const QByteArray bytes = bytesOf("color.lst");
    ASSERT_EQ(bytes.size(), 27);
    EXPECT_EQ(bytes[1], 5);
    EXPECT_EQ(settings::LoadColorScheme(folder()), colors);
}

TEST_F(ColorSchemeTest, ShortFileGivesTheDefaults)
{
    writeBytes("color.lst", QByteArray(26, '\x02'));
    EXPECT_EQ(settings::LoadColorScheme(folder()), DefaultColorSlots);
}

TEST_F(ColorSchemeTest, LongerFileUsesItsFirst27Bytes)
{
    writeBytes("color.lst", QByteArray(27, '\x03') + QByteArray(10, '\x09'));
    ColorSlots expected;
    expected.fill(3);
    EXPECT_EQ(settings::LoadColorScheme(folder()), expected);
}

TEST_F(ColorSchemeTest, IndexOutsideThePaletteKeepsTheSlotDefault)
{
    QByteArray bytes(27, '\x02');
    bytes[3] = 16;
    bytes[4] = static_cast<char>(0xFF);
    writeBytes("color.lst", bytes);
    const ColorSlots loaded = settings::LoadColorScheme(folder());
    EXPECT_EQ(loaded[2], 2);
    EXPECT_EQ(loaded[3], DefaultColorSlots[3]);
    EXPECT_EQ(loaded[4], DefaultColorSlots[4]);
}

TEST_F(ColorSchemeTest, SaveIntoAMissingFolderIsIgnored)
{
    settings::SaveColorScheme(pathOf("gone"), DefaultColorSlots);
    EXPECT_FALSE(exists("gone/color.lst"));
}

TEST(SortSettingsFileName, ReplacesTheThreeCharactersAfterTheFirstDot)
{
    const std::pair<QString, QString> cases[] = {
        {"data.dbf", "data.idx"},
        {"DATA.DBF", "DATA.idx"},
        {"data_12.dbf", "data_12.idx"},
        {"a.b", "a.idx"},
        {"a.", "a.idx"},
        {"my.table.dbf", "my.idxle.dbf"},
        {"nodot", ""},
    };
    for (const auto& [table, expected] : cases)
        EXPECT_EQ(settings::SortSettingsFileName(table), expected) << table.toStdString();
}

class SortSettingsTest : public SettingsFolderTest
{
};

TEST_F(SortSettingsTest, RoundTripsAsExactlyFourBytes)
{
    const SortSettings sort{3, true, 7, false};
    settings::SaveSortSettings(folder(), QStringLiteral("data.dbf"), sort);
    EXPECT_EQ(bytesOf("data.idx"), Bytes({3, 1, 7, 0}));
    EXPECT_EQ(settings::LoadSortSettings(folder(), QStringLiteral("data.dbf")), sort);
}

TEST_F(SortSettingsTest, MissingOrShortFileIsAllZero)
{
    EXPECT_EQ(settings::LoadSortSettings(folder(), QStringLiteral("data.dbf")), SortSettings{});
    writeBytes("data.idx", Bytes({3, 1, 7}));
    EXPECT_EQ(settings::LoadSortSettings(folder(), QStringLiteral("data.dbf")), SortSettings{});
}

TEST_F(SortSettingsTest, FileIsFoundWithoutCase)
{
    writeBytes("DATA_2.IDX", Bytes({4, 0, 5, 1}));
    EXPECT_EQ(settings::LoadSortSettings(folder(), QStringLiteral("data_2.dbf")),
              (SortSettings{4, false, 5, true}));
}

TEST_F(SortSettingsTest, TableNameWithoutADotHasNoFile)
{
    settings::SaveSortSettings(folder(), QStringLiteral("nodot"), {3, true, 7, true});
    EXPECT_TRUE(filesInFolder().isEmpty());
    EXPECT_EQ(settings::LoadSortSettings(folder(), QStringLiteral("nodot")), SortSettings{});
}

} // namespace
