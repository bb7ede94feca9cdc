// The launch's decisions over a scripted platform: what is looked for in which
// order, what happens when a process cannot be opened or the stop signal comes.
// The real launches are in game_launcher_test.cpp.
#include "launch/launch_steps.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kolt {
namespace {

using WaitEnd = LaunchPlatform::WaitEnd;

// Plays back scripted answers and writes down every call.
class ScriptedPlatform final : public LaunchPlatform {
public:
    bool startGame = true;
    WaitEnd gameEnd = WaitEnd::Process;
    std::map<std::string, std::deque<std::uint32_t>> running;  // answers of FindProcess, per name
    std::deque<bool> opens;                                    // answers of OpenWatched (default true)
    std::deque<WaitEnd> waits;                                 // answers of WaitWatched (default Process)
    std::deque<WaitEnd> pauses;                                // answers of Pause (default Timeout)
    std::vector<std::string> calls;

    bool StartGame() override {
        calls.push_back("start");
        return startGame;
    }
    void SaveAndMinimiseMainWindow() override { calls.push_back("minimise"); }
    WaitEnd WaitForGame() override {
        calls.push_back("wait game");
        return gameEnd;
    }
    std::uint32_t FindProcess(std::string_view exeName) override {
        calls.push_back("find " + std::string(exeName));
        auto& answers = running[std::string(exeName)];
        if (answers.empty()) return 0;
        const std::uint32_t pid = answers.front();
        answers.pop_front();
        return pid;
    }
    bool OpenWatched(std::uint32_t processId) override {
        calls.push_back("open " + std::to_string(processId));
        return Next(opens, true);
    }
    WaitEnd WaitWatched(std::uint32_t timeoutMs) override {
        calls.push_back("wait " + std::to_string(timeoutMs));
        return Next(waits, WaitEnd::Process);
    }
    WaitEnd Pause(std::uint32_t timeoutMs) override {
        calls.push_back("pause " + std::to_string(timeoutMs));
        return Next(pauses, WaitEnd::Timeout);
    }
    void CloseGameWindow() override { calls.push_back("close game window"); }
    void RestoreMainWindow() override { calls.push_back("restore"); }

private:
    template <typename T>
    static T Next(std::deque<T>& answers, T fallback) {
        if (answers.empty()) return fallback;
        const T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

using Calls = std::vector<std::string>;

TEST(WatchedProgramName, IsTheFieldUpToItsFirstNulPlusExe) {
    EXPECT_EQ(WatchedProgramName({'q', 'm', 'z', '4', '8', 0, 0, 0}), "qmz48.exe");
    EXPECT_EQ(WatchedProgramName({'a', 'b', 0, 'c', 'd', 'e', 'f', 'g'}), "ab.exe");
    EXPECT_EQ(WatchedProgramName({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}), "ABCDEFGH.exe");
    EXPECT_EQ(WatchedProgramName({}), ".exe");
    // A double-byte name is taken byte for byte.
    EXPECT_EQ(WatchedProgramName({'\x83', '\x51', '\x81', '\x5B', '\x83', '\x80', 0, 0}),
              "\x83\x51\x81\x5B\x83\x80.exe");
}

TEST(PriorityClassOf, PassesOnlyASinglePriorityClass) {
    for (std::int32_t valid : {32, 64, 128, 256, 16384, 32768})
        EXPECT_EQ(PriorityClassOf(valid), std::uint32_t(valid));
    // Creation flags that are not a class never reach the process: suspended, debugged, ...
    EXPECT_EQ(PriorityClassOf(4), 0u);
    EXPECT_EQ(PriorityClassOf(1), 0u);
    EXPECT_EQ(PriorityClassOf(0), 0u);
    EXPECT_EQ(PriorityClassOf(16384 | 4), 16384u);
    EXPECT_EQ(PriorityClassOf(128 | 1 | 2), 128u);
    EXPECT_EQ(PriorityClassOf(0x7FFF0000 | 64), 64u);
    // Two classes at once is no class: the platform's default applies.
    EXPECT_EQ(PriorityClassOf(32 | 64), 0u);
    EXPECT_EQ(PriorityClassOf(-1), 0u);
}

TEST(RunLaunch, GameThatCannotBeStartedLeavesTheWindowAlone) {
    ScriptedPlatform platform;
    platform.startGame = false;
    RunLaunch(platform, "scn.exe");
    EXPECT_EQ(platform.calls, Calls({"start"}));
}

TEST(RunLaunch, StopOrFailedWaitWhileTheGameRunsEndsWithoutRestore) {
    for (WaitEnd end : {WaitEnd::Stop, WaitEnd::Failed}) {
        ScriptedPlatform platform;
        platform.gameEnd = end;
        RunLaunch(platform, "scn.exe");
        EXPECT_EQ(platform.calls, Calls({"start", "minimise", "wait game"}));
    }
}

TEST(RunLaunch, StandbyIsLookedForFirstInEveryPassThenTheScenarioProgram) {
    ScriptedPlatform platform;
    platform.running["dormaux.exe"] = {11, 12};
    platform.running["scn.exe"] = {21};
    platform.waits = {WaitEnd::Timeout, WaitEnd::Process, WaitEnd::Process};
    RunLaunch(platform, "scn.exe");
    EXPECT_EQ(platform.calls, Calls({"start", "minimise", "wait game",             //
                                     "find dormaux.exe", "open 11", "wait 10000",  // still running after a pass
                                     "find dormaux.exe", "open 12", "wait 10000",  //
                                     "find dormaux.exe", "find scn.exe", "open 21", "wait 10000",  //
                                     "find dormaux.exe", "find scn.exe",                           // neither runs
                                     "find qmz48.exe", "restore"}));
}

TEST(RunLaunch, GameProgramStillRunningAfterTheWatchIsAskedToCloseBeforeTheRestore) {
    ScriptedPlatform platform;
    platform.running["qmz48.exe"] = {5};
    RunLaunch(platform, "scn.exe");
    EXPECT_EQ(platform.calls, Calls({"start", "minimise", "wait game", "find dormaux.exe", "find scn.exe",
                                     "find qmz48.exe", "close game window", "restore"}));
}

TEST(RunLaunch, ProcessThatCannotBeOpenedMakesThePassPauseInsteadOfSpinning) {
    ScriptedPlatform platform;
    platform.running["scn.exe"] = {7, 7, 7};
    platform.opens = {false, false, true};
    RunLaunch(platform, "scn.exe");
    EXPECT_EQ(platform.calls, Calls({"start", "minimise", "wait game",                            //
                                     "find dormaux.exe", "find scn.exe", "open 7", "pause 1000",  //
                                     "find dormaux.exe", "find scn.exe", "open 7", "pause 1000",  //
                                     "find dormaux.exe", "find scn.exe", "open 7", "wait 10000",  //
                                     "find dormaux.exe", "find scn.exe", "find qmz48.exe", "restore"}));
}

TEST(RunLaunch, WaitThatFailsAtOncePausesToo) {
    ScriptedPlatform platform;
    platform.running["dormaux.exe"] = {3};
    platform.waits = {WaitEnd::Failed};
    RunLaunch(platform, "scn.exe");
    EXPECT_EQ(platform.calls, Calls({"start", "minimise", "wait game", "find dormaux.exe", "open 3", "wait 10000",
                                     "pause 1000", "find dormaux.exe", "find scn.exe", "find qmz48.exe", "restore"}));
}

TEST(RunLaunch, StopDuringTheWatchEndsWithoutClosingTheGameOrRestoring) {
    {
        ScriptedPlatform platform;
        platform.running["dormaux.exe"] = {3};
        platform.running["qmz48.exe"] = {5};
        platform.waits = {WaitEnd::Stop};
        RunLaunch(platform, "scn.exe");
        EXPECT_EQ(platform.calls,
                  Calls({"start", "minimise", "wait game", "find dormaux.exe", "open 3", "wait 10000"}));
    }
    {
        // Stop while pausing after a refused open; and a stop event that cannot
        // even be waited on ends the watch as well rather than spinning.
        for (WaitEnd end : {WaitEnd::Stop, WaitEnd::Failed}) {
            ScriptedPlatform platform;
            platform.running["dormaux.exe"] = {3, 3};
            platform.opens = {false};
            platform.pauses = {end};
            RunLaunch(platform, "scn.exe");
            EXPECT_EQ(platform.calls,
                      Calls({"start", "minimise", "wait game", "find dormaux.exe", "open 3", "pause 1000"}));
        }
    }
}

TEST(BareProgramFile, OnlyABareFirstTokenNamesAFileAsProcessCreationCompletesIt) {
    const std::pair<std::u16string_view, std::optional<std::u16string>> cases[] = {
        {u"velq.exe /log=log A s01", u"velq.exe"},
        {u"velq A s01", u"velq.exe"},            // no extension: ".exe" added
        {u"velq.bat A", u"velq.bat"},            // another extension kept
        {u"velq. A", u"velq."},                  // a final period: nothing added
        {u"velq\tA", u"velq.exe"},               // a tab ends the token as a space does
        {u"\"my game.exe\" A", u"my game.exe"},  // quoted: up to the closing quote
        {u"\"my game", u"my game.exe"},          // no closing quote: to the end
        {u"\u30b2\u30fc\u30e0.exe", u"\u30b2\u30fc\u30e0.exe"},
        // A path of any kind is left to process creation.
        {u"bin\\velq.exe A", std::nullopt},
        {u"./velq.exe", std::nullopt},
        {u"C:velq.exe", std::nullopt},
        {u"\"C:\\Game\\velq.exe\" A", std::nullopt},
        {u"", std::nullopt},
        {u" velq.exe", std::nullopt},
        {u"\"\" A", std::nullopt},
    };
    for (const auto& [commandLine, expected] : cases) {
        SCOPED_TRACE(std::string(commandLine.begin(), commandLine.end()));
        EXPECT_EQ(BareProgramFile(commandLine), expected);
    }
}

}  // namespace
}  // namespace kolt
