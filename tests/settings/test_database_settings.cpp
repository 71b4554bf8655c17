#include "settings/DatabaseSettings.h"
#include "SettingsFolder.h"

using settings::CurrentTable;
using settings::DatabaseSettings;
using settings::FontSpec;
using settings::LoadDatabaseSettings;
using settings::RestoreLastUsedTable;
using settings::SaveDatabaseSettings;
using settings::TableRestoreContext;

namespace {

// Every item away from its default.
DatabaseSettings changedSettings()
{
    DatabaseSettings s;
    s.menusAndSpeedBars = 2;
    s.reserved2 = 7;
    s.reserved3 = 8;
    s.hintMessages = 1;
    s.letterTabs = 1;
    s.initialDataFile = 0;
    s.reserved7 = 9;
    s.filterDateFormat = 3;
    s.speedBarLocation = 0;
    s.recordDeleteMode = 1;
    s.lastTableFileName = QStringLiteral("data_3.dbf");
    s.lastDatabaseFolder = QStringLiteral("/stamps/DATA/Zürich");
    s.hideOnStartup = DatabaseSettings::HideOnStartupValue;
    s.letterTabsLocation = 1;
    s.stayOnTop = true;
    s.displayTipsOnStartup = false;
    s.fonts[DatabaseSettings::RecordButtonFont] = {
        QStringLiteral("Courier New"), false, true, false, false, 9};
    s.fonts[DatabaseSettings::OneLineFieldFont] = {QStringLiteral("Times"), true, true, true, true, 12};
    s.fonts[DatabaseSettings::MultiLineFieldFont] = {
        QStringLiteral("DejaVu Sans"), false, false, true, false, 14};
    s.autoFill = false;
    s.showReminders = false;
    s.displayTrayIcon = true;
    return s;
}

// Byte counts of the layout for changedSettings().
constexpr qsizetype fontRecordSize = 264;
constexpr qsizetype firstGroupSize = 10 * 2 + (1 + 10) + (1 + 19) + 2 + 2 + 1 + 1;
constexpr qsizetype upToRemindersSize = firstGroupSize + 4 + 3 * fontRecordSize + 2;
constexpr qsizetype fullSize = upToRemindersSize + 1;

class DatabaseSettingsTest : public SettingsFolderTest
{
protected:
    DatabaseSettings load(bool expectRead = true) const
    {
        DatabaseSettings loaded;
        EXPECT_EQ(LoadDatabaseSettings(loaded, folder()), expectRead);
        return loaded;
    }

    DatabaseSettings defaults() const
    {
        DatabaseSettings expected;
        expected.lastDatabaseFolder = folder();
        return expected;
    }
};

TEST_F(DatabaseSettingsTest, MissingFileGivesDefaults)
{
    EXPECT_EQ(load(false), defaults());
    const DatabaseSettings d = defaults();
    EXPECT_EQ(d.initialDataFile, 1);
    EXPECT_EQ(d.speedBarLocation, 1);
    EXPECT_EQ(d.reserved2, 1);
    EXPECT_EQ(d.lastTableFileName, QStringLiteral("data.dbf"));
    EXPECT_TRUE(d.displayTipsOnStartup);
    for (const FontSpec& font : d.fonts)
        EXPECT_EQ(font, (FontSpec{QStringLiteral("Arial"), true, false, false, false, 10}));
}

TEST_F(DatabaseSettingsTest, RoundTripsEveryItem)
{
    ASSERT_TRUE(SaveDatabaseSettings(changedSettings(), folder()));
    EXPECT_EQ(bytesOf("options.dat").size(), fullSize);
    EXPECT_EQ(load(), changedSettings());
}

TEST_F(DatabaseSettingsTest, DefaultsRoundTrip)
{
    ASSERT_TRUE(SaveDatabaseSettings(defaults(), folder()));
    EXPECT_EQ(load(), defaults());
}

TEST_F(DatabaseSettingsTest, ReservedTextsAreWrittenAsFourZeroBytes)
{
    SaveDatabaseSettings(changedSettings(), folder());
    EXPECT_EQ(bytesOf("options.dat").mid(firstGroupSize, 4), QByteArray(4, '\0'));
}

TEST_F(DatabaseSettingsTest, ReservedTextsAreIgnoredWhenRead)
{
    SaveDatabaseSettings(changedSettings(), folder());
    QByteArray bytes = bytesOf("options.dat");
    bytes.replace(firstGroupSize, 4, Bytes({2, 'a', 'b', 0, 1, 'c', 0}));
    writeBytes("options.dat", bytes);
    EXPECT_EQ(load(), changedSettings());
}

TEST_F(DatabaseSettingsTest, FontRecordLayout)
{
    SaveDatabaseSettings(changedSettings(), folder());
    const QByteArray bytes = bytesOf("options.dat");
    const QByteArray second = bytes.mid(firstGroupSize + 4 + fontRecordSize, fontRecordSize);
    EXPECT_EQ(second[0], 5);
    EXPECT_EQ(second.mid(1, 5), QByteArray("Times"));
    EXPECT_EQ(second.mid(6, 250), QByteArray(250, '\0'));
    EXPECT_EQ(second[256], 0x0F) << "bold, italic, underline, strike-out";
    EXPECT_EQ(second.mid(257, 3), QByteArray(3, '\0'));
    EXPECT_EQ(second.mid(260, 4), Bytes({12, 0, 0, 0}));
}

TEST_F(DatabaseSettingsTest, ReservedWordsAreWrittenBackAsRead)
{
    SaveDatabaseSettings(changedSettings(), folder());
    QByteArray bytes = bytesOf("options.dat");
    bytes.replace(2, 4, Bytes({0x34, 0x12, 0xFF, 0xFF}));
    bytes.replace(12, 2, Bytes({0x00, 0x80}));
    writeBytes("options.dat", bytes);
    const DatabaseSettings loaded = load();
    EXPECT_EQ(loaded.reserved2, 0x1234);
    EXPECT_EQ(loaded.reserved3, 0xFFFF);
    EXPECT_EQ(loaded.reserved7, 0x8000);
    SaveDatabaseSettings(loaded, folder());
    EXPECT_EQ(bytesOf("options.dat"), bytes);
}

// The older layouts end after item 16 or after item 20.
struct OlderLayoutCase
{
    const char* name;
    qsizetype size;
    bool hasFonts;
};

void PrintTo(const OlderLayoutCase& c, std::ostream* out)
{
    *out << c.name;
}

class OlderLayouts : public DatabaseSettingsTest, public ::testing::WithParamInterface<OlderLayoutCase>
{
};

TEST_P(OlderLayouts, LoadWithDefaultsForWhatTheyLack)
{
    SaveDatabaseSettings(changedSettings(), folder());
    writeBytes("options.dat", bytesOf("options.dat").left(GetParam().size));
    const DatabaseSettings loaded = load();

    DatabaseSettings expected = changedSettings();
    expected.displayTrayIcon = false;
    if (!GetParam().hasFonts) {
        expected.fonts = DatabaseSettings{}.fonts;
        expected.autoFill = true;
        expected.showReminders = true;
    }
    EXPECT_EQ(loaded, expected);
    if (!GetParam().hasFonts) {
        EXPECT_EQ(loaded.fonts[0].name, QStringLiteral("Arial"));
        EXPECT_TRUE(loaded.fonts[0].bold);
        EXPECT_EQ(loaded.fonts[0].pointSize, 10);
        EXPECT_TRUE(loaded.autoFill);
        EXPECT_TRUE(loaded.showReminders);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OlderLayouts,
                         ::testing::Values(OlderLayoutCase{"items 1 to 16", firstGroupSize, false},
                                           OlderLayoutCase{"items 1 to 20", upToRemindersSize, true}));

// Wherever the file ends, every item is either what was saved or its default, and nothing crashes.
TEST_F(DatabaseSettingsTest, FileCutAnywhereKeepsSavedValuesOrDefaults)
{
    const DatabaseSettings saved = changedSettings();
    SaveDatabaseSettings(saved, folder());
    const QByteArray whole = bytesOf("options.dat");
    const DatabaseSettings fallback = defaults();
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        writeBytes("options.dat", whole.left(cut));
        const DatabaseSettings s = load();
        const auto either = [&](auto member) {
            return s.*member == saved.*member || s.*member == fallback.*member;
        };
        EXPECT_TRUE(either(&DatabaseSettings::menusAndSpeedBars)) << cut;
        EXPECT_TRUE(either(&DatabaseSettings::filterDateFormat)) << cut;
        EXPECT_TRUE(either(&DatabaseSettings::lastTableFileName)) << cut;
        EXPECT_TRUE(either(&DatabaseSettings::lastDatabaseFolder)) << cut;
        EXPECT_TRUE(either(&DatabaseSettings::displayTipsOnStartup)) << cut;
        for (std::size_t role = 0; role < s.fonts.size(); ++role)
            EXPECT_TRUE(s.fonts[role] == saved.fonts[role] || s.fonts[role] == fallback.fonts[role]) << cut;
        EXPECT_TRUE(either(&DatabaseSettings::showReminders)) << cut;
        EXPECT_FALSE(s.displayTrayIcon) << cut;
    }
}

TEST_F(DatabaseSettingsTest, GarbageLoadsWithoutHarm)
{
    QByteArray garbage;
    for (int i = 0; i < 2000; ++i)
        garbage.append(static_cast<char>((i * 97 + 13) % 256));
    writeBytes("options.dat", garbage);
    const DatabaseSettings loaded = load();
    EXPECT_GE(loaded.menusAndSpeedBars, 0);
    EXPECT_LE(loaded.menusAndSpeedBars, 2);
    EXPECT_LE(loaded.filterDateFormat, 3);
}

TEST_F(DatabaseSettingsTest, OutOfRangeChoicesGiveTheirDefaults)
{
    SaveDatabaseSettings(changedSettings(), folder());
    QByteArray bytes = bytesOf("options.dat");
    bytes.replace(0, 2, Bytes({3, 0}));  // menus and speed bars: 0 … 2
    bytes.replace(14, 2, Bytes({4, 0})); // filter date format: 0 … 3
    bytes.replace(16, 2, Bytes({2, 0})); // speed bar location: 0 … 1
    writeBytes("options.dat", bytes);
    const DatabaseSettings loaded = load();
    EXPECT_EQ(loaded.menusAndSpeedBars, 0);
    EXPECT_EQ(loaded.filterDateFormat, 0);
    EXPECT_EQ(loaded.speedBarLocation, 1);
    EXPECT_EQ(loaded.recordDeleteMode, 1);
}

TEST_F(DatabaseSettingsTest, FileNamedInAnotherCaseIsRead)
{
    SaveDatabaseSettings(changedSettings(), folder());
    QFile::rename(pathOf("options.dat"), pathOf("OPTIONS.DAT"));
    EXPECT_EQ(load(), changedSettings());
}

TEST_F(DatabaseSettingsTest, SaveIntoAMissingFolderFails)
{
    EXPECT_FALSE(SaveDatabaseSettings(changedSettings(), pathOf("gone")));
}

TEST(DatabaseSettingsHide, StartsHiddenOnlyAboveFiveAndWithTheTrayIcon)
{
    struct Case
    {
        bool tray;
        quint16 value;
        bool hidden;
    };
    for (const Case c : {Case{true, 6, true}, Case{true, 9, true}, Case{true, 5, false}, Case{true, 0, false},
                         Case{false, 6, false}}) {
        DatabaseSettings s;
        s.displayTrayIcon = c.tray;
        s.hideOnStartup = c.value;
        EXPECT_EQ(s.startsHidden(), c.hidden) << c.tray << ' ' << c.value;
    }
}

// The table to open at start-up.
struct RestoreCase
{
    const char* name;
    int initialDataFile;
    QString storedName;
    QString storedFolder;
    bool publicAccessNone;
    CurrentTable expected;
};

void PrintTo(const RestoreCase& c, std::ostream* out)
{
    *out << c.name;
}

class RestoreLastUsed : public ::testing::TestWithParam<RestoreCase>
{
};

TEST_P(RestoreLastUsed, FollowsTheFolderRules)
{
    const RestoreCase& c = GetParam();
    DatabaseSettings s;
    s.initialDataFile = c.initialDataFile;
    s.lastTableFileName = c.storedName;
    s.lastDatabaseFolder = c.storedFolder;
    const TableRestoreContext context{QStringLiteral("/root/users/anna"), QStringLiteral("/root"),
                                      QStringLiteral("/root/DATA"), c.publicAccessNone};
    EXPECT_EQ(RestoreLastUsedTable(s, context), c.expected);
}

const QString anna = QStringLiteral("/root/users/anna");
const QString data3 = QStringLiteral("data_3.dbf");

INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreLastUsed,
    ::testing::Values(
        RestoreCase{"default file chosen", 0, data3, "/root/DATA", false, {"data.dbf", anna}},
        RestoreCase{"public folder", 1, data3, "/root/DATA", false, {data3, "/root/DATA"}},
        RestoreCase{"private folder", 1, data3, anna, true, {data3, anna}},
        RestoreCase{"the data root itself", 1, data3, "/root", false, {data3, "/root"}},
        RestoreCase{"deeper folder", 1, data3, "/root/DATA/old/", false, {data3, "/root/DATA/old"}},
        RestoreCase{"other case", 1, data3, "/ROOT/data", false, {data3, "/ROOT/data"}},
        RestoreCase{"outside the data root", 1, data3, "/elsewhere", false, {data3, anna}},
        RestoreCase{"sibling sharing a prefix", 1, data3, "/rootless/DATA", false, {data3, anna}},
        RestoreCase{"public without public access", 1, data3, "/root/DATA", true, {data3, anna}},
        RestoreCase{"public in other case without access", 1, data3, "/root/data/", true, {data3, anna}},
        RestoreCase{"empty folder", 1, data3, "", false, {data3, anna}},
        RestoreCase{"empty table name", 1, "", "/root/DATA", false, {"data.dbf", anna}}));

} // namespace
