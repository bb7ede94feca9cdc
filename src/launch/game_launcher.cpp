#include "launch/game_launcher.h"

#include <process.h>
#include <tlhelp32.h>

#include <mutex>
#include <utility>

#include "base/cp932.h"

namespace kolt {

// Shared by the launcher and its workers. A worker makes each call on the main
// window while holding the mutex and only if `gone` is false; the launcher sets
// `gone` when it goes away, so no worker touches the window after that.
struct MainWindowGuard {
    std::mutex mutex;
    bool gone = false;
};

namespace {

// PROCESS_ALL_ACCESS as the game's platform defined it; every version accepts it.
constexpr DWORD kOpenAllAccess = 0x1F0FFF;
// How long the launcher's destructor waits for a worker to wind down. A worker
// that is told to stop ends within milliseconds unless the game's window does
// not answer WM_CLOSE; the program must not hang on that.
constexpr DWORD kStopGraceMs = 500;
// A call on the main window ends as soon as the window's thread serves it; the
// bound only keeps a window owned by some other, hung thread from hanging us.
constexpr DWORD kGuardWaitMs = 2000;

static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOW) == 68, "the startup record is 68 bytes on i686");
static_assert(sizeof(void*) != 4 || sizeof(WINDOWPLACEMENT) == 44, "the placement record is 44 bytes on i686");

std::wstring Wide(std::string_view cp932) {
    const std::u16string w = Cp932ToUtf16(cp932);
    return std::wstring(w.begin(), w.end());
}

// Serves the messages that other threads send to this thread's windows until
// `ready` says so or `timeoutMs` has passed. A worker's calls on the main window
// are served by the thread that owns the window; a plain wait there would
// deadlock with them.
template <typename Ready>
void ServeSentMessagesUntil(HANDLE handle, DWORD timeoutMs, Ready ready) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!ready()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        const DWORD slice = handle ? static_cast<DWORD>(deadline - now) : 10;
        const DWORD count = handle ? 1 : 0;
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, handle ? &handle : nullptr, slice, QS_SENDMESSAGE, 0);
        if (woke == WAIT_FAILED) return;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

class Win32LaunchPlatform final : public LaunchPlatform {
public:
    Win32LaunchPlatform(const LaunchRequest& request, HANDLE stopEvent, MainWindowGuard& guard)
        : request_(request), stop_(stopEvent), guard_(guard) {}

    bool StartGame() override {
        std::wstring commandLine = Wide(request_.commandLine);  // CreateProcessW may write into it
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        const DWORD priorityClass = PriorityClassOf(request_.gamePriority);
        // Created suspended and given its class before it runs: Wine ignores the
        // class passed to CreateProcess, Windows honours both, and either way the
        // game's first instruction runs at the chosen class.
        const DWORD flags = priorityClass | CREATE_DEFAULT_ERROR_MODE | CREATE_SUSPENDED;
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup,
                            &created))
            return false;
        const UniqueHandle thread(created.hThread);
        game_.reset(created.hProcess);
        if (priorityClass != 0) SetPriorityClass(game_.get(), priorityClass);
        if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
            // A game left frozen would never end and never be watched.
            TerminateProcess(game_.get(), 1);
            game_.reset();
            return false;
        }
        return true;
    }

    void SaveAndMinimiseMainWindow() override {
        const std::lock_guard lock(guard_.mutex);
        if (guard_.gone || !request_.mainWindow) return;
        placement_.length = sizeof placement_;
        saved_ = GetWindowPlacement(request_.mainWindow, &placement_) != 0;
        ShowWindow(request_.mainWindow, SW_MINIMIZE);
    }

    WaitEnd WaitForGame() override {
        const HANDLE handles[] = {game_.get(), stop_};
        return Ended(WaitForMultipleObjects(2, handles, FALSE, INFINITE));
    }

    std::uint32_t FindProcess(std::string_view exeName) override { return FindProcessByName(exeName); }

    bool OpenWatched(std::uint32_t processId) override {
        watched_.reset(OpenProcess(kOpenAllAccess, FALSE, processId));
        // Waiting needs no more than this; a game that refuses full access still allows it.
        if (!watched_) watched_.reset(OpenProcess(SYNCHRONIZE, FALSE, processId));
        return watched_ != nullptr;
    }

    WaitEnd WaitWatched(std::uint32_t timeoutMs) override {
        const HANDLE handles[] = {watched_.get(), stop_};
        const WaitEnd end = Ended(WaitForMultipleObjects(2, handles, FALSE, timeoutMs));
        watched_.reset();
        return end;
    }

    WaitEnd Pause(std::uint32_t timeoutMs) override {
        switch (WaitForSingleObject(stop_, timeoutMs)) {
            case WAIT_OBJECT_0: stopped_ = true; return WaitEnd::Stop;
            case WAIT_TIMEOUT: return WaitEnd::Timeout;
            default: return WaitEnd::Failed;
        }
    }

    void CloseGameWindow() override {
        if (StopRequested()) return;
        const HWND window = FindWindowW(Wide(kGameWindowClass).c_str(), Wide(kGameWindowTitle).c_str());
        // Sent, not posted: the window is restored only once the game has handled it.
        if (window) SendMessageW(window, WM_CLOSE, 0, 0);
    }

    void RestoreMainWindow() override {
        if (StopRequested()) return;
        const std::lock_guard lock(guard_.mutex);
        if (guard_.gone || !saved_) return;
        SetWindowPlacement(request_.mainWindow, &placement_);
    }

private:
    WaitEnd Ended(DWORD waitResult) {
        switch (waitResult) {
            case WAIT_OBJECT_0: return WaitEnd::Process;
            case WAIT_OBJECT_0 + 1: stopped_ = true; return WaitEnd::Stop;
            case WAIT_TIMEOUT: return WaitEnd::Timeout;
            default: return WaitEnd::Failed;
        }
    }

    // The event resets itself when a wait sees it, so a signal seen once is remembered.
    bool StopRequested() {
        if (!stopped_ && WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) stopped_ = true;
        return stopped_;
    }

    const LaunchRequest& request_;
    HANDLE stop_;  // not owned: the worker's duplicate of the stop event
    MainWindowGuard& guard_;
    UniqueHandle game_;     // the process started by StartGame
    UniqueHandle watched_;  // the process of the current watch pass
    WINDOWPLACEMENT placement_{};
    bool saved_ = false;
    bool stopped_ = false;
};

// Everything a worker owns: its copy of the request, its own handle of the
// stop event (so it never waits on one the launcher has closed) and its share
// of the window guard.
struct WorkerStart {
    LaunchRequest request;
    UniqueHandle stopEvent;
    std::shared_ptr<MainWindowGuard> guard;
};

unsigned __stdcall GameLaunchWorker(void* argument) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    try {
        Win32LaunchPlatform platform(start->request, start->stopEvent.get(), *start->guard);
        RunLaunch(platform, WatchedProgramName(start->request.programName));
    } catch (...) {
        // Out of memory copying a name or a command line: the launch is given
        // up. The worker shows nothing, and an exception must not end the program.
    }
    return 0;
}

}  // namespace

DWORD FindProcessByName(std::string_view exeName) {
    // Only the process list is needed; the module and heap lists that a
    // TH32CS_SNAPALL snapshot adds cost time and can fail transiently
    // (ERROR_BAD_LENGTH), which would end a watch while the game still runs.
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        const std::wstring_view name(entry.szExeFile);
        const std::u16string_view name16(reinterpret_cast<const char16_t*>(name.data()), name.size());
        if (EqualsNoCase(Utf16ToCp932(name16), exeName)) return entry.th32ProcessID;
    }
    return 0;
}

GameLauncher::GameLauncher() : guard_(std::make_shared<MainWindowGuard>()) {
    stopEvent_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (stopEvent_) ResetEvent(stopEvent_.get());
}

GameLauncher::~GameLauncher() {
    if (stopEvent_) SetEvent(stopEvent_.get());
    if (launchThread_) ServeSentMessagesUntil(launchThread_.get(), kStopGraceMs, [this] { return !Busy(); });
    // A worker may still be inside a call on the main window; serve it until
    // the guard is free, then close the window to every worker for good.
    ServeSentMessagesUntil(nullptr, kGuardWaitMs, [this] {
        if (!guard_->mutex.try_lock()) return false;
        guard_->gone = true;
        guard_->mutex.unlock();
        return true;
    });
}

bool GameLauncher::Busy() const {
    return launchThread_ && WaitForSingleObject(launchThread_.get(), 0) == WAIT_TIMEOUT;
}

bool GameLauncher::Start(LaunchRequest request) {
    if (request.commandLine.empty() || Busy() || !stopEvent_) return false;
    launchThread_.reset();

    auto start = std::make_unique<WorkerStart>();
    start->request = std::move(request);
    start->guard = guard_;
    HANDLE stopCopy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), stopEvent_.get(), GetCurrentProcess(), &stopCopy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return false;
    start->stopEvent.reset(stopCopy);

    const std::uintptr_t thread = _beginthreadex(nullptr, 0, GameLaunchWorker, start.get(), 0, nullptr);
    if (thread == 0) return false;
    start.release();  // the worker owns it now
    launchThread_.reset(reinterpret_cast<HANDLE>(thread));
    return true;
}

}  // namespace kolt
