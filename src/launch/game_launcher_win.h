// Starts the game for the scenario the property form shows, at the chosen
// priority class, on a worker thread: the main window is minimised while the
// game runs and put back when every game process has ended. The worker shows
// nothing, ever.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/owners_win.h"
#include "launch/launch_steps.h"

namespace kolt {

// Process id of the first running process whose executable file name equals
// `exeName` (CP932) without regard to case, or 0.
DWORD FindProcessByName(std::string_view exeName);

struct LaunchRequest {
    std::string commandLine;        // CP932; its first word names the program, searched for from the game folder
    ProgramName programName{};      // bytes up to the first NUL (at most 8) + ".exe" is the watched name
    std::int32_t gamePriority = 0;  // as stored in the settings; only its priority class is used
    HWND mainWindow = nullptr;      // minimised while the game runs, placement restored afterwards; not owned
};

struct MainWindowGuard;

// Owned by the property form. Holds the stop event and the launch thread; at
// most one launch runs at a time.
class GameLauncher {
public:
    GameLauncher();
    // Signals the stop event first, so that a waiting worker gives up, and from
    // then on no worker touches the main window. Returns within about a second
    // even when a worker is stuck in a call to the game.
    ~GameLauncher();
    GameLauncher(const GameLauncher&) = delete;
    GameLauncher& operator=(const GameLauncher&) = delete;

    // The start button's work. Does nothing and returns false when the command
    // line is empty or an earlier launch is still running or being watched;
    // otherwise starts the worker on the request (already copied) and returns true.
    bool Start(LaunchRequest request);
    // True while a launch worker runs.
    bool Busy() const;

private:
    KernelHandle stopEvent_;     // auto-reset, unnamed; each worker waits on a duplicate of it
    KernelHandle launchThread_;  // the last worker started, or null
    std::shared_ptr<MainWindowGuard> guard_;
};

}  // namespace kolt
