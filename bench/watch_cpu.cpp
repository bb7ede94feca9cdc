// Measures the CPU time this process spends while a launch watches the game:
// a real launch of the stand-ins whose standby program lives N seconds
// (default 30), three ways:
//   watch                 the standby program can be opened and waited on
//   refuses full access   it allows opening for waiting (SYNCHRONIZE) only
//   cannot be opened      every open is refused, so each pass pauses
// and, as the baseline measured in the same run, a watch that retries a
// refused open at once (no pause) for a few seconds. Prints each case's CPU
// time, its share of one core and its ratio to the baseline's share, next to
// the same process sitting idle for as long (the floor: message waits, Wine).
// Not part of the test run: bench/measure-watch-cpu.sh runs it.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "base/text_win.h"
#include "launch/game_launcher_win.h"
#include "launch/launch_platform_win.h"
#include "support/temp_dir.h"

namespace {

using namespace kolt;
namespace stdfs = std::filesystem;

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// Serves the window the way an idle user-interface thread does: it sleeps in
// the message wait and wakes only for messages.
void ServeUntil(const std::function<bool()>& done) {
    while (!done()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

// The real platform with every open refused; `pause` false retries at once.
class RefusingPlatform final : public LaunchPlatform {
public:
    RefusingPlatform(LaunchPlatform& real, bool pause) : real_(real), pause_(pause) {}
    bool StartGame() override { return real_.StartGame(); }
    void SaveAndMinimiseMainWindow() override { real_.SaveAndMinimiseMainWindow(); }
    WaitEnd WaitForGame() override { return real_.WaitForGame(); }
    std::uint32_t FindProcess(std::string_view exeName) override { return real_.FindProcess(exeName); }
    bool OpenWatched(std::uint32_t) override { return false; }
    WaitEnd WaitWatched(std::uint32_t timeoutMs) override { return real_.WaitWatched(timeoutMs); }
    WaitEnd Pause(std::uint32_t timeoutMs) override { return pause_ ? real_.Pause(timeoutMs) : WaitEnd::Timeout; }
    void CloseGameWindow() override { real_.CloseGameWindow(); }
    void RestoreMainWindow() override { real_.RestoreMainWindow(); }

private:
    LaunchPlatform& real_;
    bool pause_;
};

struct Measurement {
    double cpuSeconds;
    double wallSeconds;
    double Share() const { return wallSeconds > 0 ? cpuSeconds / wallSeconds : 0; }
};

template <typename Run>
Measurement Measure(Run run) {
    const double cpu = ProcessCpuSeconds();
    const auto wall = std::chrono::steady_clock::now();
    run();
    return {ProcessCpuSeconds() - cpu, std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count()};
}

std::string StarterCommand(int standbyMs, bool refuseFullAccess) {
    return "velq.exe " + std::string(refuseFullAccess ? "/refuse-full-access " : "") +
           "/standby=" + std::to_string(standbyMs) + " /game=off A s01";
}

Measurement WatchThroughTheLauncher(HWND window, int standbyMs, bool refuseFullAccess) {
    GameLauncher launcher;
    return Measure([&] {
        if (!launcher.Start(LaunchRequest{StarterCommand(standbyMs, refuseFullAccess), {}, 32, window})) return;
        ServeUntil([&] { return !launcher.Busy(); });
    });
}

Measurement WatchWithOpensRefused(HWND window, int standbyMs, bool pause) {
    const LaunchRequest request{StarterCommand(standbyMs, false), {}, 32, window};
    const HANDLE stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    MainWindowGuard guard;
    const Measurement m = Measure([&] {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            Win32LaunchPlatform real(request, stop, guard);
            RefusingPlatform refusing(real, pause);
            RunLaunch(refusing, WatchedProgramName(request.programName));
            done = true;
        });
        ServeUntil([&] { return done.load(); });
        worker.join();
    });
    CloseHandle(stop);
    return m;
}

void Print(const char* name, const Measurement& m, const Measurement& baseline) {
    std::printf("%-22s cpu %8.3f s over %6.1f s wall = %7.3f%% of a core; ratio to baseline %.5f\n", name, m.cpuSeconds,
                m.wallSeconds, 100 * m.Share(), baseline.Share() > 0 ? m.Share() / baseline.Share() : 0.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    constexpr int kBaselineSeconds = 3;

    // A game folder of stand-ins, the working directory as in the program.
    const stdfs::path standins = stdfs::path(ModulePath()).parent_path() / KOLT_STANDINS_DIR;
    test::TempDir folder;
    const stdfs::path gameFolder = stdfs::path(std::u8string(folder.path().begin(), folder.path().end()));
    for (const char* program : {"velq.exe", "dormaux.exe"})
        stdfs::copy_file(standins / program, gameFolder / program);
    test::ScopedWorkingDir workingDir(folder.path());

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KoltWatchCpuMain";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"KoltWatchCpuMain", L"watch cpu", WS_OVERLAPPEDWINDOW, 100, 100, 400, 240,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);

    std::printf("CPU time of the launching process while a launch watches a standby program\n");
    const Measurement baseline = WatchWithOpensRefused(window, kBaselineSeconds * 1000, false);
    Print("baseline: retry at once", baseline, baseline);
    const auto idleEnd = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    Print("idle, no launch", Measure([&] { ServeUntil([&] { return std::chrono::steady_clock::now() >= idleEnd; }); }),
          baseline);
    Print("watch", WatchThroughTheLauncher(window, seconds * 1000, false), baseline);
    Print("refuses full access", WatchThroughTheLauncher(window, seconds * 1000, true), baseline);
    Print("cannot be opened", WatchWithOpensRefused(window, seconds * 1000, true), baseline);
    DestroyWindow(window);
    return 0;
}
