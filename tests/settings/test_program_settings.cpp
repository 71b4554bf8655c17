#include "settings/ProgramSettings.h"
#include "SettingsFolder.h"

using settings::LoadProgramSettings;
using settings::ProgramSettings;
using settings::SaveProgramSettings;

namespace {

class ProgramSettingsTest : public SettingsFolderTest
{
protected:
    void SetUp() override
    {
        programFolder = makeSubfolder("program");
        sharedRoot = makeSubfolder("shared");
    }

    QString programFolder;
    QString sharedRoot;
};

TEST_F(ProgramSettingsTest, MissingFileGivesDefaultsAndReportsNotRead)
{
    ProgramSettings loaded;
    loaded.passwordMode = 0;
    EXPECT_FALSE(LoadProgramSettings(loaded, programFolder));
    ProgramSettings expected;
    expected.dataRoot = programFolder;
    EXPECT_EQ(loaded, expected);
}

struct ProgramCase
{
    const char* name;
    ProgramSettings settings;
};

void PrintTo(const ProgramCase& c, std::ostream* out)
{
    *out << c.name;
}

class ProgramSettingsRoundTrip : public ProgramSettingsTest, public ::testing::WithParamInterface<ProgramCase>
{
};

TEST_P(ProgramSettingsRoundTrip, ReadsBackWhatWasWritten)
{
    ProgramSettings saved = GetParam().settings;
    saved.dataRoot = programFolder;
    SaveProgramSettings(saved, programFolder);
    ProgramSettings loaded;
    EXPECT_TRUE(LoadProgramSettings(loaded, programFolder));
    EXPECT_EQ(loaded, saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramSettingsRoundTrip,
                         ::testing::Values(ProgramCase{"defaults", {}},
                                           ProgramCase{"passwords",
                                                       {0, 3, {}, 1, QStringLiteral("Sesam Zürich")}},
                                           ProgramCase{"read only", {1, 2, {}, 0, {}}},
                                           ProgramCase{"multi user", {1, 1, {}, 1, QStringLiteral("x")}}));

TEST_F(ProgramSettingsTest, LayoutIsFiveItemsWithScrambledTexts)
{
    SaveProgramSettings({0, 2, programFolder, 1, QStringLiteral("pw")}, programFolder);
    const QByteArray bytes = bytesOf("program/options.dat");
    const qsizetype rootLength = programFolder.toUtf8().size();
    ASSERT_EQ(bytes.size(), 2 + 2 + 1 + rootLength + 2 + 1 + 2);
    EXPECT_EQ(bytes.left(4), Bytes({0, 0, 2, 0}));
    EXPECT_EQ(static_cast<quint8>(bytes[4]), rootLength);
    EXPECT_FALSE(bytes.contains(programFolder.toUtf8())) << "the folder is stored scrambled";
    EXPECT_EQ(bytes.mid(5 + rootLength, 3), Bytes({1, 0, 2}));
    EXPECT_FALSE(bytes.endsWith("pw"));
}

TEST_F(ProgramSettingsTest, SaveWithAnotherDataRootWritesTheSameItemsIntoBothFiles)
{
    SaveProgramSettings({0, 3, sharedRoot, 1, QStringLiteral("boss")}, programFolder);
    ASSERT_TRUE(exists("shared/options.dat"));
    EXPECT_EQ(bytesOf("shared/options.dat"), bytesOf("program/options.dat"));
}

TEST_F(ProgramSettingsTest, SaveWithTheProgramFolderAsDataRootWritesOneFile)
{
    SaveProgramSettings({0, 3, programFolder, 1, {}}, programFolder);
    EXPECT_TRUE(exists("program/options.dat"));
    EXPECT_FALSE(exists("shared/options.dat"));
}

TEST_F(ProgramSettingsTest, DataRootFileReplacesTheSecurityItemsButNotTheDataRoot)
{
    SaveProgramSettings({1, 0, sharedRoot, 0, {}}, programFolder);
    // Then another installation that shares the data root wrote its security settings there.
    SaveProgramSettings({0, 2, makeSubfolder("elsewhere"), 1, QStringLiteral("shared secret")}, sharedRoot);

    ProgramSettings loaded;
    EXPECT_TRUE(LoadProgramSettings(loaded, programFolder));
    EXPECT_EQ(loaded, (ProgramSettings{0, 2, sharedRoot, 1, QStringLiteral("shared secret")}));
}

TEST_F(ProgramSettingsTest, DataRootWithoutItsOwnFileKeepsTheProgramFolderItems)
{
    SaveProgramSettings({0, 1, sharedRoot, 1, QStringLiteral("pw")}, programFolder);
    QFile::remove(pathOf("shared/options.dat"));
    ProgramSettings loaded;
    EXPECT_TRUE(LoadProgramSettings(loaded, programFolder));
    EXPECT_EQ(loaded, (ProgramSettings{0, 1, sharedRoot, 1, QStringLiteral("pw")}));
}

TEST_F(ProgramSettingsTest, DataRootThatCannotBeWrittenStillSavesTheProgramFolderFile)
{
    const QString missingRoot = pathOf("not-there");
    SaveProgramSettings({0, 1, missingRoot, 0, {}}, programFolder);
    ProgramSettings loaded;
    EXPECT_TRUE(LoadProgramSettings(loaded, programFolder));
    EXPECT_EQ(loaded.dataRoot, missingRoot);
}

TEST_F(ProgramSettingsTest, EmptyDataRootMeansTheProgramFolder)
{
    writeBytes("program/options.dat", Bytes({0, 0, 1, 0, 0, 1, 0, 0}));
    ProgramSettings loaded;
    EXPECT_TRUE(LoadProgramSettings(loaded, programFolder));
    EXPECT_EQ(loaded.dataRoot, programFolder);
    EXPECT_EQ(loaded.publicAccess, 1);
    EXPECT_EQ(loaded.usersCount, 1);
}

TEST_F(ProgramSettingsTest, ShortFileKeepsWhatItHoldsAndDefaultsTheRest)
{
    SaveProgramSettings({0, 2, programFolder, 1, QStringLiteral("pw")}, programFolder);
    const QByteArray whole = bytesOf("program/options.dat");
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        writeBytes("program/options.dat", whole.left(cut));
        ProgramSettings loaded;
        EXPECT_TRUE(LoadProgramSettings(loaded, programFolder)) << cut;
        EXPECT_EQ(loaded.passwordMode, cut >= 2 ? 0 : 1) << cut;
        EXPECT_EQ(loaded.publicAccess, cut >= 4 ? 2 : 0) << cut;
        EXPECT_EQ(loaded.dataRoot, programFolder) << cut;
        EXPECT_EQ(loaded.supervisorPassword, QString()) << cut;
    }
}

TEST_F(ProgramSettingsTest, OutOfRangeChoicesGiveTheDefaults)
{
    writeBytes("program/options.dat", Bytes({9, 0, 4, 0, 0, 2, 0, 0}));
    ProgramSettings loaded;
    EXPECT_TRUE(LoadProgramSettings(loaded, programFolder));
    EXPECT_EQ(loaded.passwordMode, 1);
    EXPECT_EQ(loaded.publicAccess, 0);
    EXPECT_EQ(loaded.usersCount, 0);
}

TEST_F(ProgramSettingsTest, FoldersAreComparedAsTheyAreOnDisk)
{
    EXPECT_TRUE(settings::SameFolder(programFolder, programFolder + QStringLiteral("/")));
    EXPECT_TRUE(settings::SameFolder(programFolder, sharedRoot + QStringLiteral("/../program")));
    EXPECT_FALSE(settings::SameFolder(programFolder, sharedRoot));
    EXPECT_FALSE(settings::SameFolder(programFolder, pathOf("not-there")));
}

} // namespace
