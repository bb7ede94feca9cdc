// Times a program's start alike for every program: from CreateProcess until
// its first visible top-level window answers a message (WM_NULL through
// SendMessageTimeout) and, with --tree N, a tree view in that window holds at
// least N items. Then closes it. Prints one time in milliseconds per run;
// with --select, two more on its line: the first selection of a scenario (the
// first port's first item, a load the program has not made before) and the
// selection of the next one, each from the request until the tree answers.
//   startup_timer.exe <program> <runs> [--tree N [--select]]
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

BOOL CALLBACK FindTree(HWND hwnd, LPARAM param) {
    wchar_t cls[32] = L"";
    GetClassNameW(hwnd, cls, 32);
    if (lstrcmpiW(cls, WC_TREEVIEWW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

HWND TreeOf(HWND frame) {
    HWND tree = nullptr;
    EnumChildWindows(frame, &FindTree, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

// The window answers a message and, if items are wanted, its tree holds them.
bool Ready(HWND frame, LRESULT treeItems) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)) return false;
    if (treeItems == 0) return true;
    const HWND tree = TreeOf(frame);
    return tree && SendMessageW(tree, TVM_GETCOUNT, 0, 0) >= treeItems;
}

HTREEITEM Next(HWND tree, UINT flag, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(from)));
}

// Milliseconds from `start` to now.
double Since(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Selects `item` and waits for the tree (and so the load it starts) to answer.
double TimeSelection(HWND tree, HTREEITEM item, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return Since(start, frequency);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring program = argv[1];
    const int runs = _wtoi(argv[2]);
    const LRESULT treeItems = argc > 4 && std::wstring(argv[3]) == L"--tree" ? _wtoi(argv[4]) : 0;
    const bool select = treeItems > 0 && argc > 5 && std::wstring(argv[5]) == L"--select";
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
            if (search.found && Ready(search.found, treeItems)) break;
            Sleep(1);
        }
        QueryPerformanceCounter(&end);
        if (!search.found) return 4;
        std::printf("%.1f", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
        if (select) {
            const HWND tree = TreeOf(search.found);
            const HTREEITEM first = Next(tree, TVGN_CHILD, Next(tree, TVGN_ROOT, nullptr));
            const HTREEITEM second = Next(tree, TVGN_NEXT, first);
            if (!first || !second) return 5;
            const double firstMs = TimeSelection(tree, first, frequency);
            std::printf(" %.1f %.1f", firstMs, TimeSelection(tree, second, frequency));
        }
        std::printf("\n");
        std::fflush(stdout);
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    return 0;
}
