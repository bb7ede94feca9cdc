#include "support/child_process.h"

#include "base/cp932.h"
#include "base/text_win.h"
#include "support/window_driver.h"

namespace kolt::test {

std::wstring WindowsPath(const std::string& path) {
    std::wstring w = WideFromUtf8(path);
    if (!w.empty() && w[0] == L'/') w = L"Z:" + w;
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDir) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       workingDir.empty() ? nullptr : workingDir.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        process_.reset(pi.hProcess);
        id_ = pi.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_.get(), exitCode);
    return true;
}

namespace {
struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid) s->found.push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> ChildProcess::TopLevelWindows() const {
    WindowSearch search{id_, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildProcess::WaitForWindow(const std::wstring& className, const std::wstring& title, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        for (HWND hwnd : TopLevelWindows()) {
            if (IsWindowVisible(hwnd) && (className.empty() || ClassName(hwnd) == className) &&
                WindowText(hwnd) == title)
                return hwnd;
        }
        if (process_ && WaitForSingleObject(process_.get(), 50) == WAIT_OBJECT_0) return nullptr;
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

}  // namespace kolt::test
