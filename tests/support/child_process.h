// Windows tests that drive a program from outside: start it, find its
// windows, wait for it to end. Killed at the end of the scope if still alive.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/owners_win.h"

namespace kolt::test {

// A path as the Windows program sees it: a Unix path (as CMake hands them
// to tests built under Wine) is turned into its Z: drive form.
std::wstring WindowsPath(const std::string& path);

class ChildProcess {
public:
    // Starts `exe` with `arguments` in `workingDir` (empty: the current one).
    ChildProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDir = L"");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    // Waits for the end; true and the exit code when it ended in time.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    // The first visible top-level window of the process with that class
    // (empty: any) and title, waiting for it up to timeoutMs.
    HWND WaitForWindow(const std::wstring& className, const std::wstring& title, DWORD timeoutMs) const;
    std::vector<HWND> TopLevelWindows() const;

private:
    KernelHandle process_;
    DWORD id_ = 0;
};

}  // namespace kolt::test
