// Times a program's start: from CreateProcess until its first visible
// top-level window is there (with --tree: until koltSSel's stage tree also
// holds its items), then closes it. Prints one time in milliseconds per run.
//   startup_timer.exe <program> <runs> [--tree]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {
struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool TreeFilled(HWND frame) {
    HWND tree = GetDlgItem(GetDlgItem(frame, 59648), 59648);
    return tree && SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring program = argv[1];
    const int runs = _wtoi(argv[2]);
    const bool tree = argc > 3 && std::wstring(argv[3]) == L"--tree";
    std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int run = 0; run < runs; ++run) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &si, &pi))
            return 3;
        Search search{pi.dwProcessId, nullptr};
        for (int i = 0; i < 60000; ++i) {
            search.found = nullptr;
            EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
            if (search.found && (!tree || TreeFilled(search.found))) break;
            Sleep(1);
        }
        QueryPerformanceCounter(&end);
        if (!search.found) return 4;
        std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
        std::fflush(stdout);
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    return 0;
}
