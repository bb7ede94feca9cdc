#include "base/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace kolt {
namespace {

TEST(SettingsPath, ReplacesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(SettingsPathFor("D:\\Tools\\sel.exe"), "D:\\Tools\\sel.ini");
    EXPECT_EQ(SettingsPathFor("D:\\Tools\\koltSSel.EXE"), "D:\\Tools\\koltSSel.ini");
    EXPECT_EQ(SettingsPathFor("D:\\my.tools\\sel"), "D:\\my.tools\\sel.ini");
    EXPECT_EQ(SettingsPathFor("/opt/v1.2/sel.backup.exe"), "/opt/v1.2/sel.backup.ini");
    EXPECT_EQ(SettingsPathFor("sel"), "sel.ini");
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return dir.Native("koltSSel.ini"); }
    std::size_t FilesInDir() const {
        std::size_t n = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(dir.path())))
            ++n;
        return n;
    }
    test::TempDir dir;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsCreatedAtSave) {
    SettingsFile file(Path());
    const Settings s = file.Load();
    EXPECT_EQ(s.gamePriority, 32);
    EXPECT_EQ(s.gameFolder, "");
    ASSERT_TRUE(file.Save(s));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), "[Option]\r\nGamePriority=32\r\nGameFolder=\r\n");
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_F(SettingsFileTest, UnlistedPriorityAndJapaneseFolderSurviveARoundTrip) {
    const std::string folder = "C:\\" + test::Sj("ゲーム\\管制");
    dir.WriteFile("koltSSel.ini", "[Option]\r\nGamePriority=128\r\nGameFolder=" + folder + "\r\n");
    SettingsFile file(Path());
    Settings s = file.Load();
    EXPECT_EQ(s.gamePriority, 128);
    EXPECT_EQ(s.gameFolder, folder);
    ASSERT_TRUE(file.Save(s));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), "[Option]\r\nGamePriority=128\r\nGameFolder=" + folder + "\r\n");
}

TEST_F(SettingsFileTest, EverythingElseInTheFileSurvivesTheWrite) {
    const std::string before =
        "; written by hand\n\n[Window]\nx=10\r\n[option]\ngamefolder = D:\\Old \ncolour=blue\n\n[Z]\nq=\"1\"";
    dir.WriteFile("koltSSel.ini", before);
    SettingsFile file(Path());
    Settings s = file.Load();
    EXPECT_EQ(s.gameFolder, "D:\\Old");
    EXPECT_EQ(s.gamePriority, 32);
    s.gamePriority = -5;
    s.gameFolder = "E:\\New";
    ASSERT_TRUE(file.Save(s));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"),
              "; written by hand\n\n[Window]\nx=10\r\n[option]\ngamefolder=E:\\New\r\ncolour=blue\n"
              "GamePriority=-5\r\n\n[Z]\nq=\"1\"");
}

TEST_F(SettingsFileTest, AFileTooLargeToParseIsNeitherReadNorOverwritten) {
    std::string huge = "[Option]\r\nGamePriority=64\r\n";
    huge.resize(kMaxSettingsFileBytes + 1, ';');
    dir.WriteFile("koltSSel.ini", huge);
    SettingsFile file(Path());
    EXPECT_EQ(file.Load().gamePriority, 32);
    EXPECT_FALSE(file.Save(Settings{16384, "X"}));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), huge);
}

TEST_F(SettingsFileTest, SaveIntoAMissingFolderFailsWithoutLeavingAnything) {
    SettingsFile file(dir.Native("nofolder\\koltSSel.ini"));
    file.Load();
    EXPECT_FALSE(file.Save(Settings{}));
    EXPECT_EQ(FilesInDir(), 0u);
}

}  // namespace
}  // namespace kolt
