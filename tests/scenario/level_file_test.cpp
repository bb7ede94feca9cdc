#include "scenario/level_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace kolt {
namespace {

// Reads `content` as config.ini starting from `initial`; nullopt when the
// reading failed.
std::optional<bool> LevelAfter(std::string_view content, bool initial = false) {
    test::TempDir dir;
    dir.WriteFile("config.ini", content);
    test::ScopedWorkingDir cwd(dir.path());
    bool expert = initial;
    if (!ReadLevelFile(expert)) return std::nullopt;
    return expert;
}

TEST(LevelFile, SeventhCharacterOneMeansExpert) {
    EXPECT_EQ(LevelAfter("level=1"), true);
    EXPECT_EQ(LevelAfter("level=12\n"), true);  // only the seventh character counts
    EXPECT_EQ(LevelAfter("level=0\n", true), false);
    EXPECT_EQ(LevelAfter("level=2\n", true), false);
    EXPECT_EQ(LevelAfter("level=\n", true), false);
    EXPECT_EQ(LevelAfter("level= 1\n", true), false);
    EXPECT_EQ(LevelAfter("[Game]\r\nsound=1\r\nlevel=1\r\nspeed=2\r\n"), true);
}

TEST(LevelFile, KeyMustStandExactlyAtTheLineStart) {
    EXPECT_EQ(LevelAfter("Level=1\n"), false);
    EXPECT_EQ(LevelAfter(" level=1\n"), false);
    EXPECT_EQ(LevelAfter("level =1\n"), false);
    EXPECT_EQ(LevelAfter("\xEF\xBB\xBFlevel=1\n"), false);  // a byte-order mark is part of the line
    EXPECT_EQ(LevelAfter("xlevel=1\nlevel\n"), false);
}

TEST(LevelFile, LastMatchingLineDecides) {
    EXPECT_EQ(LevelAfter("level=1\nlevel=0\n"), false);
    EXPECT_EQ(LevelAfter("level=0\r\nlevel=1"), true);
}

TEST(LevelFile, NoMatchingLineKeepsTheFlag) {
    EXPECT_EQ(LevelAfter("", true), true);
    EXPECT_EQ(LevelAfter("", false), false);
    EXPECT_EQ(LevelAfter("sound=1\n", true), true);
}

TEST(LevelFile, LineEndingsAreCrLfOrLf) {
    EXPECT_EQ(LevelAfter("a\rlevel=1\n"), false);  // a lone CR does not end a line
    EXPECT_EQ(LevelAfter("level=1\r"), true);      // ...nor does it hide the seventh character
    EXPECT_EQ(LevelAfter("\n\n\nlevel=1\n\n"), true);
}

TEST(LevelFile, OverlongLinesCostNoMemoryAndHideNothing) {
    std::string content = "level=0" + std::string(3 << 20, '1') + "\n";
    content += std::string(2 << 20, 'x') + "level=0\n";  // not at a line start
    content += "level=1\n";
    EXPECT_EQ(LevelAfter(content), true);
}

TEST(LevelFile, MissingFileFailsAndKeepsTheFlag) {
    test::TempDir dir;
    test::ScopedWorkingDir cwd(dir.path());
    bool expert = true;
    EXPECT_FALSE(ReadLevelFile(expert));
    EXPECT_TRUE(expert);
    dir.MakeDir("config.ini");  // a folder of that name cannot be read either
    expert = false;
    EXPECT_FALSE(ReadLevelFile(expert));
    EXPECT_FALSE(expert);
    EXPECT_STREQ(kLevelFileErrorText, test::Sj("config.ini が読めません").c_str());
}

}  // namespace
}  // namespace kolt
