#include "launch/launch_steps.h"

#include <algorithm>
#include <bit>

namespace kolt {
namespace {
// The process priority classes of the platform: idle, below normal, normal,
// above normal, high and real-time.
constexpr std::uint32_t kPriorityClassBits = 0x40 | 0x4000 | 0x20 | 0x8000 | 0x80 | 0x100;
}  // namespace

std::string WatchedProgramName(const ProgramName& programName) {
    return ProgramNameText(programName) + ".exe";
}

std::uint32_t PriorityClassOf(std::int32_t setting) {
    const std::uint32_t classBits = static_cast<std::uint32_t>(setting) & kPriorityClassBits;
    return std::has_single_bit(classBits) ? classBits : 0;
}

std::optional<std::u16string> BareProgramFile(std::u16string_view commandLine) {
    std::u16string_view token;
    if (!commandLine.empty() && commandLine.front() == u'"') {
        token = commandLine.substr(1, commandLine.find(u'"', 1) - 1);  // npos - 1: to the end
    } else {
        token = commandLine.substr(0, commandLine.find_first_of(u" \t"));
    }
    if (token.empty() || token.find_first_of(u"\\/:") != std::u16string_view::npos) return std::nullopt;
    std::u16string file(token);
    if (token.find(u'.') == std::u16string_view::npos) file += u".exe";
    return file;
}

std::uint32_t FindWatchedProcess(LaunchPlatform& platform, std::string_view watchedProgram) {
    if (const std::uint32_t standby = platform.FindProcess(kStandbyProgram)) return standby;
    return platform.FindProcess(watchedProgram);
}

void RunLaunch(LaunchPlatform& platform, std::string_view watchedProgram) {
    using WaitEnd = LaunchPlatform::WaitEnd;

    // 1. Start the game; a failure ends the launch before the window is touched.
    if (!platform.StartGame()) return;
    platform.SaveAndMinimiseMainWindow();

    // 2. The started program usually only spawns the real game and ends; a stop
    //    signal (or a failed wait) means the program is closing.
    if (platform.WaitForGame() != WaitEnd::Process) return;

    // 3. Watch the standby program and the scenario's program until neither runs,
    //    looking at the process list again at least every pass.
    while (const std::uint32_t processId = FindWatchedProcess(platform, watchedProgram)) {
        WaitEnd end = platform.OpenWatched(processId) ? platform.WaitWatched(kWatchPassMs) : WaitEnd::Failed;
        // Neither an open nor a wait that fails at once may turn the watch into a busy loop.
        if (end == WaitEnd::Failed) end = platform.Pause(kOpenRetryPauseMs);
        // A stop signal that cannot even be waited on ends the watch as a stop would.
        if (end == WaitEnd::Stop || end == WaitEnd::Failed) return;
    }

    // 4. The game program may outlive the programs watched above: ask it to close.
    if (platform.FindProcess(kGameProgram) != 0) platform.CloseGameWindow();

    // 5. Put the main window back where it was.
    platform.RestoreMainWindow();
}

}  // namespace kolt
