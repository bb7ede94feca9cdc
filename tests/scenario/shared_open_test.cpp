// The game may hold its files open while the selector reads them (it writes
// its high scores and settings as it runs): a scenario file, a stage ini and
// config.ini open for writing elsewhere are still read.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/owners_win.h"
#include "base/text_win.h"
#include "scenario/level_file.h"
#include "scenario/scenario_reader.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

TEST(SharedOpen, FilesHeldOpenForWritingAreStillRead) {
    test::TempDir dir;
    test::WriteGame(dir, "game", 1);
    test::ScopedWorkingDir cwd(dir.Native("game"));
    std::vector<KernelHandle> writers;
    for (const char* file : {"config.ini", "port\\Alpha\\scenario\\s01.sd3", "stage\\Alpha\\Day.ini"}) {
        writers.emplace_back(
            CreateFileW(Wide(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writers.back()) << file;
    }

    bool expert = false;
    EXPECT_TRUE(ReadLevelFile(expert));
    EXPECT_TRUE(expert);
    const ScenarioInfo info = ReadScenario("port\\Alpha\\scenario\\s01.sd3", expert, ProgramName{});
    EXPECT_TRUE(info.succeeded) << info.statusText;
    EXPECT_EQ(info.clearScore, 2500u);
    EXPECT_EQ(info.highScore, 1200);
    EXPECT_EQ(info.commandLine, "velq.exe Alpha s01");
}

}  // namespace
}  // namespace kolt
