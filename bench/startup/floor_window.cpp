// The start-up benchmark's floor: koltSSel's main window as plain Win32 does
// it, from koltSSel's own compiled resources (menu, accelerators, icon,
// toolbar, status texts, the property form's template 103) with the tree
// holding the items koltSSel shows for the demo game folder, in a plain
// window where koltSSel's splitter stands, the form's scroll bars where the
// pane is smaller than the form. It does koltSSel's unavoidable work
// too: the single-threaded COM apartment, the same imported DLLs, the stack
// protector and the start-up hardening (linked as koltSSel is). It reads no
// file and parses nothing: what koltSSel takes longer than this is its own work.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "demo_tree_items.h"
#include "resource.h"

namespace {
constexpr int kTreeWidth = 200;  // koltSSel's first pane
constexpr int kBarWidth = 6;     // and the splitter's bar between the panes

// koltSSel imports these DLLs, so the loader maps them for it at start;
// the floor names a function of each that it does not call.
[[gnu::used]] const void* const kSameImports[] = {
    reinterpret_cast<const void*>(&GetStockObject),
    reinterpret_cast<const void*>(&SHGetPathFromIDListW),
};

struct Frame {
    HWND toolBar = nullptr;
    HWND statusBar = nullptr;
    HWND splitter = nullptr;  // the panes' parent, as koltSSel's splitter is
    HWND tree = nullptr;
    HWND form = nullptr;
    SIZE formTotal{};  // the form as its template lays it out, which it scrolls over
} frame;

INT_PTR CALLBACK FormProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

HWND CreateToolBar(HWND parent, HINSTANCE instance) {
    HWND bar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER, 0, 0,
                        0, 0, parent, reinterpret_cast<HMENU>(IDW_TOOLBAR), instance, nullptr);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // RT_TOOLBAR: version, image width and height, item count, then the ids.
    HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(241));
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(instance, info)));
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(words[1], words[2]));
    std::vector<TBBUTTON> buttons;
    int images = 0;
    for (WORD i = 0; i < words[3]; ++i) {
        TBBUTTON b{};
        b.idCommand = words[4 + i];
        b.fsStyle = b.idCommand ? BTNS_BUTTON : BTNS_SEP;
        b.fsState = b.idCommand ? TBSTATE_ENABLED : 0;
        b.iBitmap = b.idCommand ? images++ : 0;
        buttons.push_back(b);
    }
    TBADDBITMAP bitmap{instance, IDR_MAINFRAME};
    SendMessageW(bar, TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap));
    SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}

HWND CreateStatusBar(HWND parent, HINSTANCE instance) {
    HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(IDW_STATUS_BAR), instance, nullptr);
    const UINT texts[] = {IDS_IDLEMESSAGE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    int edges[] = {-1, -1, -1, -1};
    SendMessageW(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = L"";
        LoadStringW(instance, texts[i], text, 64);
        SendMessageW(bar, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text));
    }
    return bar;
}

HTREEITEM Insert(HTREEITEM parent, const wchar_t* label) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(label);
    return reinterpret_cast<HTREEITEM>(SendMessageW(frame.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void Layout(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    SendMessageW(frame.toolBar, TB_AUTOSIZE, 0, 0);
    SendMessageW(frame.statusBar, WM_SIZE, 0, 0);
    RECT bar, status;
    GetWindowRect(frame.toolBar, &bar);
    GetWindowRect(frame.statusBar, &status);
    const int statusHeight = status.bottom - status.top;
    const int parts[] = {client.right - 3 * 60, client.right - 2 * 60, client.right - 60, -1};
    SendMessageW(frame.statusBar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
    const int top = bar.bottom - bar.top;
    const int height = client.bottom - top - statusHeight;
    MoveWindow(frame.splitter, 0, top, client.right, height, TRUE);
    MoveWindow(frame.tree, 0, 0, kTreeWidth, height, TRUE);
    MoveWindow(frame.form, kTreeWidth + kBarWidth, 0, client.right - kTreeWidth - kBarWidth, height, TRUE);
    // The form's scroll bars where the pane is smaller than the form, as
    // koltSSel shows them: each takes room from the other direction.
    for (int pass = 0; pass < 2; ++pass) {
        RECT inside;
        GetClientRect(frame.form, &inside);
        SCROLLINFO si{
            sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, frame.formTotal.cx - 1, static_cast<UINT>(inside.right), 0,
            0};
        SetScrollInfo(frame.form, SB_HORZ, &si, TRUE);
        si.nMax = frame.formTotal.cy - 1;
        si.nPage = static_cast<UINT>(inside.bottom);
        SetScrollInfo(frame.form, SB_VERT, &si, TRUE);
    }
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HINSTANCE instance = reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance;
            frame.toolBar = CreateToolBar(hwnd, instance);
            frame.statusBar = CreateStatusBar(hwnd, instance);
            frame.splitter = CreateWindowExW(0, L"KoltFloorSplitter", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                             0, 0, 0, hwnd, reinterpret_cast<HMENU>(IDW_PANE_FIRST), instance, nullptr);
            frame.tree =
                CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, 0, 0, 0,
                                frame.splitter, reinterpret_cast<HMENU>(IDW_PANE_FIRST), instance, nullptr);
            HTREEITEM port = nullptr;
            const wchar_t* portName = nullptr;
            for (const DemoTreeItem& item : kDemoTreeItems) {
                if (!portName || lstrcmpW(portName, item.port) != 0) port = Insert(TVI_ROOT, portName = item.port);
                Insert(port, item.file);
            }
            frame.form =
                CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PROPERTY_FORM), frame.splitter, &FormProc, 0);
            RECT laidOut;
            GetClientRect(frame.form, &laidOut);
            frame.formTotal = {laidOut.right, laidOut.bottom};
            SetWindowLongPtrW(frame.form, GWL_STYLE, GetWindowLongPtrW(frame.form, GWL_STYLE) | WS_CHILD | WS_VISIBLE);
            SetWindowLongPtrW(frame.form, GWL_EXSTYLE, GetWindowLongPtrW(frame.form, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
            SetWindowLongPtrW(frame.form, GWLP_ID, IDW_PANE_FIRST + 1);
            return 0;
        }
        case WM_SIZE:
            Layout(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                             ICC_STANDARD_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KoltFloorFrame";
    RegisterClassExW(&wc);
    WNDCLASSEXW splitter{sizeof splitter};  // the class koltSSel's splitter registers
    splitter.lpfnWndProc = DefWindowProcW;
    splitter.hInstance = instance;
    splitter.hCursor = wc.hCursor;
    splitter.hbrBackground = wc.hbrBackground;
    splitter.lpszClassName = L"KoltFloorSplitter";
    RegisterClassExW(&splitter);
    wchar_t title[128] = L"";
    LoadStringW(instance, IDR_MAINFRAME, title, 128);
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance, nullptr);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(hwnd, accelerators, &msg) || IsDialogMessageW(frame.form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (com) CoUninitialize();
    return 0;
}
