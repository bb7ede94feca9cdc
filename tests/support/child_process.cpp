#include "support/child_process.h"

#include "base/cp932.h"

namespace kolt::test {

std::wstring WindowsPath(const std::string& path) {
    const std::u16string w16 = Utf8ToUtf16(path);
    std::wstring w(w16.begin(), w16.end());
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
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
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
        if (process_ && WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) return nullptr;
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring WindowText(HWND hwnd) {
    // WM_GETTEXT is marshalled across processes; GetWindowText is not for other processes' controls.
    const LRESULT len = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    const LRESULT got = SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256];
    const int n = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace kolt::test
