#include "scenario/stage_record.h"

#include <gtest/gtest.h>

#include "base/byte_reader.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::Sj;

TEST(StageIniPath, WordsBecomeFoldersAndAOneByteSuffixIsDropped) {
    EXPECT_EQ(StageIniPath("Alpha"), "stage\\Alpha.ini");
    EXPECT_EQ(StageIniPath("Alpha Night"), "stage\\Alpha\\Night.ini");
    EXPECT_EQ(StageIniPath("Alpha Night B"), "stage\\Alpha\\Night.ini");
    EXPECT_EQ(StageIniPath("Alpha Night BC"), "stage\\Alpha\\Night\\BC.ini");
    EXPECT_EQ(StageIniPath(""), "stage\\.ini");
    EXPECT_EQ(StageIniPath("A"), "stage\\A.ini");
    EXPECT_EQ(StageIniPath(" B"), "stage\\.ini");
    EXPECT_EQ(StageIniPath("Alpha "), "stage\\Alpha\\.ini");
    // A double-byte last character is never taken for the suffix, also when
    // its second byte is 0x5C.
    EXPECT_EQ(StageIniPath(Sj("能登 表")), Sj("stage\\能登\\表.ini"));
}

class StageRecordTest : public ::testing::Test {
protected:
    StageRecord Read(std::string_view ini, std::string_view stage = "Alpha Night",
                     std::string_view args = "Alpha s01") {
        dir_.WriteFile(StageIniPath(stage), ini);
        test::ScopedWorkingDir cwd(dir_.path());
        return ReadStageRecord(stage, args);
    }
    test::TempDir dir_;
};

TEST_F(StageRecordTest, ComposesTheCommandAndReadsTheScore) {
    const StageRecord r = Read("[Stage]\r\nhighscore=12500\r\nexe=velq.exe\r\n");
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.highScore, 12500);
    EXPECT_EQ(r.commandLine, "velq.exe Alpha s01");
    EXPECT_EQ(r.errorText, "");
}

TEST_F(StageRecordTest, WithoutExeLineThereIsNoCommand) {
    const StageRecord r = Read("highscore=300\n");
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.highScore, 300);
    EXPECT_EQ(r.commandLine, "");
}

TEST_F(StageRecordTest, WithoutScoreLineTheScoreIsZero) {
    const StageRecord r = Read("exe=velq.exe\n");
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.highScore, 0);
}

TEST_F(StageRecordTest, ScoreValueIsReadLikeADecimalInteger) {
    EXPECT_EQ(Read("highscore=12abc\n").highScore, 12);
    EXPECT_EQ(Read("highscore=\n").highScore, 0);
    EXPECT_EQ(Read("highscore=").highScore, 0);
    EXPECT_EQ(Read("highscore=-3\n").highScore, -3);
    EXPECT_EQ(Read("highscore= \t+42 7\n").highScore, 42);
    EXPECT_EQ(Read("highscore=x12\n").highScore, 0);
    EXPECT_EQ(Read("highscore=007\r\n").highScore, 7);
    EXPECT_EQ(Read("highscore=2147483647\n").highScore, 2147483647);
    EXPECT_EQ(Read("highscore=-2147483648\n").highScore, INT32_MIN);
    // Beyond 32 bits the value is clamped, never wrapped to the other sign.
    EXPECT_EQ(Read("highscore=2147483648\n").highScore, INT32_MAX);
    EXPECT_EQ(Read("highscore=99999999999999999999999\n").highScore, INT32_MAX);
    EXPECT_EQ(Read("highscore=-99999999999999999999999\n").highScore, INT32_MIN);
    // Leading blanks of any length are skipped in place.
    EXPECT_EQ(Read("highscore=" + std::string(1 << 20, ' ') + "55\n").highScore, 55);
}

TEST_F(StageRecordTest, KeysCountOnlyExactlyAtTheLineStart) {
    const StageRecord r = Read(" highscore=5\nHighScore=6\nhighscore =7\n EXE=a.exe\nexe =b.exe\nExe=c.exe\n");
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.highScore, 0);
    EXPECT_EQ(r.commandLine, "");
}

TEST_F(StageRecordTest, LastLineOfAKeyWins) {
    const StageRecord r = Read("exe=first.exe -x\nhighscore=10\nexe=velq.exe\nhighscore=20\n");
    EXPECT_EQ(r.commandLine, "velq.exe Alpha s01");
    EXPECT_EQ(r.highScore, 20);
}

TEST_F(StageRecordTest, ExeValueIsTakenWhole) {
    EXPECT_EQ(Read("exe=velq.exe  \r\n").commandLine, "velq.exe   Alpha s01");  // its two spaces, then one
    EXPECT_EQ(Read("exe=\n").commandLine, " Alpha s01");
    EXPECT_EQ(Read("exe=velq.exe\r\r\n").commandLine, "velq.exe\r Alpha s01");  // only the CR before the LF goes
    EXPECT_EQ(Read("exe=" + Sj("ゲーム\\表.exe") + " /w\n").commandLine, Sj("ゲーム\\表.exe /w Alpha s01"));
    EXPECT_EQ(Read("highscore=1\nexe=velq.exe").commandLine, "velq.exe Alpha s01");  // no final line feed
}

TEST_F(StageRecordTest, LongExeValueUpToTheLimitIsKept) {
    const std::string value(kMaxCommandValue, 'v');
    const StageRecord r = Read("exe=" + value + "\r\nhighscore=9\n");
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.commandLine, value + " Alpha s01");
    EXPECT_EQ(r.highScore, 9);
}

TEST_F(StageRecordTest, OverlongExeValueIsALineWithoutACommand) {
    const std::string overlong = "exe=" + std::string(kMaxCommandValue + 1, 'v') + "\n";
    const struct {
        std::string ini;
        std::int32_t highScore;
        std::string commandLine;
        bool tooLong;  // the status pane says so
    } cases[] = {
        {"exe=velq.exe\nhighscore=9\n" + overlong, 9, "", true},
        {"highscore=9\n" + overlong + "highscore=11\n", 11, "", true},
        {overlong + "exe=velq.exe\n", 0, "velq.exe Alpha s01", false},
    };
    for (const auto& c : cases) {
        const StageRecord r = Read(c.ini);
        EXPECT_TRUE(r.succeeded);
        EXPECT_EQ(r.highScore, c.highScore);
        EXPECT_EQ(r.commandLine, c.commandLine);
        EXPECT_EQ(r.errorText.rfind("stage\\Alpha\\Night.ini ", 0) == 0, c.tooLong) << r.errorText.substr(0, 80);
        EXPECT_LT(r.errorText.size(), 1024u);
    }
}

TEST_F(StageRecordTest, NameWithOneByteSuffixReadsTheSharedIni) {
    dir_.WriteFile("stage\\Alpha\\Night.ini", "highscore=77\n");
    test::ScopedWorkingDir cwd(dir_.path());
    EXPECT_EQ(ReadStageRecord("Alpha Night", "A s").highScore, 77);
    EXPECT_EQ(ReadStageRecord("Alpha Night B", "A s").highScore, 77);
}

TEST_F(StageRecordTest, DoubleByteFolderNamesAreFound) {
    const StageRecord r = Read("highscore=5\n", Sj("能登 朝"), Sj("能登空港 n01"));
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.highScore, 5);
}

TEST_F(StageRecordTest, MissingIniGivesTheErrorTextAndMinusOne) {
    dir_.MakeDir("stage");
    test::ScopedWorkingDir cwd(dir_.path());
    StageRecord r = ReadStageRecord("Alpha", "Alpha s01");
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(r.highScore, -1);
    EXPECT_EQ(r.commandLine, "");
    EXPECT_EQ(r.errorText, DescribeFileError({fs::ErrorKind::FileNotFound, "stage\\Alpha.ini"}));

    r = ReadStageRecord("Alpha Night", "Alpha s01");  // its folder is missing too
    EXPECT_EQ(r.errorText, DescribeFileError({fs::ErrorKind::PathNotFound, "stage\\Alpha\\Night.ini"}));

    r = ReadStageRecord("", "Alpha");
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(r.errorText.rfind("stage\\.ini ", 0), 0u);
}

TEST_F(StageRecordTest, IniThatIsAFolderIsAnError) {
    dir_.MakeDir("stage\\Alpha.ini");
    test::ScopedWorkingDir cwd(dir_.path());
    const StageRecord r = ReadStageRecord("Alpha", "Alpha s01");
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(r.highScore, -1);
    EXPECT_NE(r.errorText, "");
}

}  // namespace
}  // namespace kolt
