// Times a program's start alike for every program: from CreateProcess until
// its first visible top-level window answers a message (WM_NULL through
// SendMessageTimeout) and, with --tree N, a tree view in that window holds at
// least N items. Then closes it. Prints one time in milliseconds per run.
// With --select, once the tree is full it selects the first scenario (the
// first item under the first port, a load the program has not made before) as
// a user would, and waits until the program has shown it and is idle again,
// between two requests to the Wine server that a log of them shows: opening
// the events named KoltBenchSelectionBegin and KoltBenchSelectionEnd (which
// do not exist). Then it selects the next scenario. Two more times on the
// run's line: each selection from the request until the tree answers.
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
    HWND tree = TreeOf(frame);
    return tree && SendMessageW(tree, TVM_GETCOUNT, 0, 0) >= treeItems;
}

void Mark(const wchar_t* name) {
    if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name)) CloseHandle(event);
}

// Milliseconds from `start` to now.
double Since(const LARGE_INTEGER& start, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Selects `item` and waits for the tree (and so the load it starts) to answer.
double TimeSelection(HWND tree, LPARAM item, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, item);
    return Since(start, frequency);
}

// The first scenario selected and shown (the form's file name box, 1000,
// holds its path), then the next; false if the program did not show the first.
bool SelectScenarios(HWND frame, HANDLE process, const LARGE_INTEGER& frequency, double& first, double& next) {
    HWND tree = TreeOf(frame);
    const LPARAM port = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    const LPARAM scenario = port ? SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, port) : 0;
    const LPARAM second = scenario ? SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, scenario) : 0;
    if (!second) return false;
    // What is left of the start-up (its last drawing, the idle update of the
    // bars) is done before the first mark.
    WaitForInputIdle(process, 60000);
    Mark(L"KoltBenchSelectionBegin");
    // The program reads the scenario and fills its form as the tree tells it
    // of the new selection, before this returns; then it draws and goes idle.
    // Wine may call it idle before the boxes are drawn: an idle program asks
    // the server nothing, so a pause after that is all its drawing.
    first = TimeSelection(tree, scenario, frequency);
    WaitForInputIdle(process, 60000);
    Sleep(500);
    Mark(L"KoltBenchSelectionEnd");
    HWND box = nullptr;  // in the form, a pane beside the tree
    for (HWND pane = GetWindow(tree, GW_HWNDFIRST); pane && !box; pane = GetWindow(pane, GW_HWNDNEXT))
        box = GetDlgItem(pane, 1000);
    // Asked of the box itself: GetWindowText does not read another
    // program's controls.
    DWORD_PTR length = 0;
    if (!box || !SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 60000, &length) || length == 0)
        return false;
    next = TimeSelection(tree, second, frequency);
    return true;
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
        double first = 0, next = 0;
        const bool shown = !select || SelectScenarios(search.found, pi.hProcess, frequency, first, next);
        std::printf("%.1f", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
        if (select) std::printf(" %.1f %.1f", first, next);
        std::printf("\n");
        std::fflush(stdout);
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        // Its exit is counted too (--requests): time enough for a slow machine to end it.
        if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (!shown) return 5;
    }
    return 0;
}
