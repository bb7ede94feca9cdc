// The Win32 calls of one launch: process creation at a priority class, the
// process search, the waits on the game and on the stop event, and the calls
// on the main window and on the game's window.
#pragma once

#include <windows.h>

#include <mutex>

#include "launch/game_launcher_win.h"
#include "launch/launch_steps.h"

namespace kolt {

// Shared by the launcher and its workers. A worker makes each call on the main
// window while holding the mutex and only if `gone` is false; the launcher sets
// `gone` when it goes away, so no worker touches the window after that.
struct MainWindowGuard {
    std::mutex mutex;
    bool gone = false;
};

class Win32LaunchPlatform final : public LaunchPlatform {
public:
    // `stopEvent` (not owned) and `guard` must outlive the platform.
    Win32LaunchPlatform(const LaunchRequest& request, HANDLE stopEvent, MainWindowGuard& guard)
        : request_(request), stop_(stopEvent), guard_(guard) {}

    bool StartGame() override;
    void SaveAndMinimiseMainWindow() override;
    WaitEnd WaitForGame() override;
    std::uint32_t FindProcess(std::string_view exeName) override;
    bool OpenWatched(std::uint32_t processId) override;
    WaitEnd WaitWatched(std::uint32_t timeoutMs) override;
    WaitEnd Pause(std::uint32_t timeoutMs) override;
    void CloseGameWindow() override;
    void RestoreMainWindow() override;

private:
    // What a wait on the process (if any) and then the stop event, at
    // position `stopIndex`, ended with.
    WaitEnd Ended(DWORD waitResult, DWORD stopIndex);
    bool StopRequested();

    const LaunchRequest& request_;
    HANDLE stop_;  // not owned
    MainWindowGuard& guard_;
    KernelHandle game_;     // the process started by StartGame
    KernelHandle watched_;  // the process of the current watch pass
    WINDOWPLACEMENT placement_{};
    bool saved_ = false;
    bool stopped_ = false;
};

}  // namespace kolt
