// Changes the display under a running koltSSel, from outside, as the
// screenshot script needs it:
//   display_change move DPI...      the main window is moved to each DPI in turn, as
//                                   the system moves it between monitors: WM_DPICHANGED
//                                   with its rectangle at creation scaled, the rectangle
//                                   written into the window's own process
//   display_change high-contrast    the system's colours of the high-contrast black
//                                   scheme, until the Wine server ends
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

int HighContrast() {
    const int items[] = {COLOR_WINDOW,        COLOR_WINDOWTEXT,    COLOR_BTNFACE,    COLOR_BTNTEXT,
                         COLOR_BTNSHADOW,     COLOR_BTNHIGHLIGHT,  COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                         COLOR_HIGHLIGHT,     COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT,   COLOR_MENU,
                         COLOR_MENUTEXT,      COLOR_APPWORKSPACE,  COLOR_INFOBK,     COLOR_INFOTEXT,
                         COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT,   COLOR_HOTLIGHT,   COLOR_MENUBAR,
                         COLOR_MENUHILIGHT};
    const COLORREF colours[] = {RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255),
                                RGB(128, 128, 128), RGB(255, 255, 255), RGB(255, 255, 255), RGB(192, 192, 192),
                                RGB(26, 235, 255),  RGB(0, 0, 0),       RGB(63, 242, 63),   RGB(0, 0, 0),
                                RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
                                RGB(0, 0, 128),     RGB(255, 255, 255), RGB(255, 255, 0),   RGB(0, 0, 0),
                                RGB(26, 235, 255)};
    static_assert(sizeof items / sizeof *items == sizeof colours / sizeof *colours);
    return SetSysColors(sizeof items / sizeof *items, items, colours) ? 0 : 1;
}

int Move(int count, wchar_t** dpis) {
    HWND frame = nullptr;
    for (int i = 0; i < 200 && !frame; ++i, Sleep(50))
        frame = FindWindowW(L"KoltFrame", nullptr);
    if (!frame) return 2;
    DWORD pid = 0;
    GetWindowThreadProcessId(frame, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (!remote) return 3;
    const HDC screen = GetDC(nullptr);
    const int created = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT original{};
    GetWindowRect(frame, &original);
    int result = 0;
    for (int i = 0; i < count && result == 0; ++i) {
        const int dpi = std::wcstol(dpis[i], nullptr, 10);
        RECT suggested = original;
        suggested.right = suggested.left + MulDiv(original.right - original.left, dpi, created);
        suggested.bottom = suggested.top + MulDiv(original.bottom - original.top, dpi, created);
        if (dpi <= 0 || !WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
            result = 4;
            break;
        }
        SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"high-contrast") return HighContrast();
    if (verb == L"move" && argc > 2) return Move(argc - 2, argv + 2);
    return 2;
}
