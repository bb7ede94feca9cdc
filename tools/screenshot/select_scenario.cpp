// Selects a scenario in a running koltSSel, from outside, as the screenshot
// script needs it: the first scenario of the first port that has one, or the
// scenario whose form path equals the first argument.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {
constexpr int kPanes = 59648;
constexpr int kStatusBar = 59393;

HTREEITEM Next(HWND tree, UINT flag, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(from)));
}

std::wstring Text(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    HWND frame = nullptr;
    for (int i = 0; i < 200 && !frame; ++i, Sleep(50))
        frame = FindWindowW(L"KoltFrame", nullptr);
    if (!frame) return 2;
    // The frame shows its ready text once its message loop runs; a selection
    // made before that would have its own text replaced by it.
    const HWND status = GetDlgItem(frame, kStatusBar);
    for (int i = 0; i < 200 && status && LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, 0, 0)) == 0; ++i)
        Sleep(50);
    HWND splitter = GetDlgItem(frame, kPanes);
    HWND tree = GetDlgItem(splitter, kPanes);
    HWND path = GetDlgItem(GetDlgItem(splitter, kPanes + 1), 1000);
    const std::wstring wanted = argc > 1 ? argv[1] : L"";
    for (HTREEITEM port = Next(tree, TVGN_ROOT, nullptr); port; port = Next(tree, TVGN_NEXT, port)) {
        for (HTREEITEM item = Next(tree, TVGN_CHILD, port); item; item = Next(tree, TVGN_NEXT, item)) {
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            if (wanted.empty() || Text(path) == wanted) return 0;
        }
    }
    return 1;
}
