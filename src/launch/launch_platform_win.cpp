#include "launch/launch_platform_win.h"

#include <string>

#include "base/text_win.h"

namespace kolt {
namespace {

// PROCESS_ALL_ACCESS as the game's platform defined it; every version accepts it.
constexpr DWORD kOpenAllAccess = 0x1F0FFF;

static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOW) == 68, "the startup record is 68 bytes on i686");
static_assert(sizeof(void*) != 4 || sizeof(WINDOWPLACEMENT) == 44, "the placement record is 44 bytes on i686");

// The working directory's (the game folder's) file named by the command line's
// first token, when that is a bare file name and such a file lies there; empty
// otherwise. Given as the application name, it is started even when a program
// of that name lies beside ours, which process creation would look at first.
std::wstring ProgramInWorkingDirectory(const std::wstring& commandLine) {
    const auto file = BareProgramFile(AsUtf16(commandLine));
    if (!file) return {};
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    if (n == 0 || n >= path.size()) return {};
    path.resize(n);
    if (path.back() != L'\\') path += L'\\';
    path.append(file->begin(), file->end());
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
    return path;
}

}  // namespace

bool Win32LaunchPlatform::StartGame() {
    std::wstring commandLine = Wide(request_.commandLine);  // CreateProcessW may write into it
    // The command line itself goes unchanged, so the game sees the same arguments.
    const std::wstring program = ProgramInWorkingDirectory(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    const DWORD priorityClass = PriorityClassOf(request_.gamePriority);
    // Created suspended and given its class before it runs: Wine ignores the
    // class passed to CreateProcess, Windows honours both, and either way the
    // game's first instruction runs at the chosen class.
    const DWORD flags = priorityClass | CREATE_DEFAULT_ERROR_MODE | CREATE_SUSPENDED;
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                        nullptr, nullptr, &startup, &created))
        return false;
    const KernelHandle thread(created.hThread);
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

void Win32LaunchPlatform::SaveAndMinimiseMainWindow() {
    const std::lock_guard lock(guard_.mutex);
    if (guard_.gone || !request_.mainWindow) return;
    placement_.length = sizeof placement_;
    saved_ = GetWindowPlacement(request_.mainWindow, &placement_) != 0;
    ShowWindow(request_.mainWindow, SW_MINIMIZE);
}

LaunchPlatform::WaitEnd Win32LaunchPlatform::WaitForGame() {
    const HANDLE handles[] = {game_.get(), stop_};
    return Ended(WaitForMultipleObjects(2, handles, FALSE, INFINITE), 1);
}

std::uint32_t Win32LaunchPlatform::FindProcess(std::string_view exeName) {
    return FindProcessByName(exeName);
}

bool Win32LaunchPlatform::OpenWatched(std::uint32_t processId) {
    watched_.reset(OpenProcess(kOpenAllAccess, FALSE, processId));
    // Waiting needs no more than this; a game that refuses full access still allows it.
    if (!watched_) watched_.reset(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return static_cast<bool>(watched_);
}

LaunchPlatform::WaitEnd Win32LaunchPlatform::WaitWatched(std::uint32_t timeoutMs) {
    const HANDLE handles[] = {watched_.get(), stop_};
    const WaitEnd end = Ended(WaitForMultipleObjects(2, handles, FALSE, timeoutMs), 1);
    watched_.reset();
    return end;
}

LaunchPlatform::WaitEnd Win32LaunchPlatform::Pause(std::uint32_t timeoutMs) {
    return Ended(WaitForSingleObject(stop_, timeoutMs), 0);
}

void Win32LaunchPlatform::CloseGameWindow() {
    if (StopRequested()) return;
    const HWND window = FindWindowW(Wide(kGameWindowClass).c_str(), Wide(kGameWindowTitle).c_str());
    // Sent, not posted: the main window is restored only once the game has handled it.
    if (window) SendMessageW(window, WM_CLOSE, 0, 0);
}

void Win32LaunchPlatform::RestoreMainWindow() {
    if (StopRequested()) return;
    const std::lock_guard lock(guard_.mutex);
    if (guard_.gone || !saved_) return;
    SetWindowPlacement(request_.mainWindow, &placement_);
}

LaunchPlatform::WaitEnd Win32LaunchPlatform::Ended(DWORD waitResult, DWORD stopIndex) {
    if (waitResult == WAIT_OBJECT_0 + stopIndex) {
        stopped_ = true;
        return WaitEnd::Stop;
    }
    if (waitResult == WAIT_TIMEOUT) return WaitEnd::Timeout;
    // Every handle before the stop event is the process waited for.
    if (waitResult < WAIT_OBJECT_0 + stopIndex) return WaitEnd::Process;
    return WaitEnd::Failed;
}

// The event resets itself when a wait sees it, so a signal seen once is remembered.
bool Win32LaunchPlatform::StopRequested() {
    if (!stopped_ && WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) stopped_ = true;
    return stopped_;
}

}  // namespace kolt
