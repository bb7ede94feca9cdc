// What one game launch does, in order, apart from the Win32 calls that carry
// it out: which names are looked for and in which order, when the watch ends,
// and when the main window is restored. The worker runs RunLaunch over the
// real platform (game_launcher_win.cpp); tests can run it over a scripted one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scenario/program_name.h"

namespace kolt {

inline constexpr std::string_view kStandbyProgram = "dormaux.exe";
inline constexpr std::string_view kGameProgram = "qmz48.exe";
inline constexpr std::string_view kGameWindowClass = "Tarnwick70";
inline constexpr std::string_view kGameWindowTitle = "Velquisto";

// One watch pass waits at most this long before it looks at the process list again.
inline constexpr std::uint32_t kWatchPassMs = 10000;
// Pause before the next pass when a found process cannot be opened at all, so
// that such a process does not make the worker spin.
inline constexpr std::uint32_t kOpenRetryPauseMs = 1000;

// The process file name watched for the scenario: the name's text followed by ".exe".
std::string WatchedProgramName(const ProgramName& programName);

// The priority class to start the game with, taken from the stored setting.
// The setting comes from a text file the user may edit; only the priority-class
// bits may reach the process-creation flags (a stray 4 would start the game
// suspended, a 1 under our debugger). A value with exactly one class bit gives
// that class; any other value gives 0, which leaves the platform's default.
std::uint32_t PriorityClassOf(std::int32_t setting);

// The file that the command line's first token names, when that token is a
// bare file name: no '\\', '/' or ':' in it (quoted or not; unquoted it ends
// at the first space or tab), with ".exe" added when it has no extension and
// does not end in a period, as process creation completes it. Otherwise (a
// path, an empty token) none. Process creation looks for a bare name in the
// starting program's own folder before the working directory; the launch
// names the working directory's file itself when there is one.
std::optional<std::u16string> BareProgramFile(std::u16string_view commandLine);

// The operations a launch needs from the platform. Each call either succeeds
// or reports failure; none of them shows anything to the user.
class LaunchPlatform {
public:
    enum class WaitEnd { Process, Stop, Timeout, Failed };

    virtual ~LaunchPlatform() = default;
    // Creates the game process at its priority class; false when it cannot be started.
    virtual bool StartGame() = 0;
    virtual void SaveAndMinimiseMainWindow() = 0;
    // Waits, without a time-out, for the started process or the stop signal.
    virtual WaitEnd WaitForGame() = 0;
    // Process id of the first running process with this file name, or 0.
    virtual std::uint32_t FindProcess(std::string_view exeName) = 0;
    // Opens a found process so that it can be waited on; false when that is refused.
    virtual bool OpenWatched(std::uint32_t processId) = 0;
    // Waits for the opened process or the stop signal, then lets go of the process.
    virtual WaitEnd WaitWatched(std::uint32_t timeoutMs) = 0;
    // Waits for the stop signal only.
    virtual WaitEnd Pause(std::uint32_t timeoutMs) = 0;
    // Asks the game's main window, if there is one, to close, and waits until it has handled that.
    virtual void CloseGameWindow() = 0;
    virtual void RestoreMainWindow() = 0;
};

// The process a watch pass waits on: the standby program when it runs, else the
// scenario's program, else none (0).
std::uint32_t FindWatchedProcess(LaunchPlatform& platform, std::string_view watchedProgram);

// One launch from start to end. Returns when the watch is over and the main
// window has been restored, or at once when the game cannot be started or the
// stop signal arrives (the main window is then left alone: the program is closing).
void RunLaunch(LaunchPlatform& platform, std::string_view watchedProgram);

}  // namespace kolt
