#include "launch/game_launcher_win.h"

#include <process.h>
#include <tlhelp32.h>

#include <mutex>
#include <utility>

#include "base/cp932.h"
#include "base/text_win.h"
#include "launch/launch_platform_win.h"

namespace kolt {

namespace {

// How long the launcher's destructor waits for a worker to wind down. A worker
// that is told to stop ends within milliseconds unless the game's window does
// not answer WM_CLOSE; the program must not hang on that.
constexpr DWORD kStopGraceMs = 500;
// A call on the main window ends as soon as the window's thread serves it; the
// bound only keeps a window owned by some other, hung thread from hanging us.
constexpr DWORD kGuardWaitMs = 2000;

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

// Everything a worker owns: its copy of the request, its own handle of the
// stop event (so it never waits on one the launcher has closed) and its share
// of the window guard.
struct WorkerStart {
    LaunchRequest request;
    KernelHandle stopEvent;
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
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (EqualsNoCase(Narrow(entry.szExeFile), exeName)) return entry.th32ProcessID;
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
