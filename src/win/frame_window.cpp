#include "win/frame_window.h"

#include <commctrl.h>

#include "win/application.h"
#include "win/screen_text.h"
#include "win/splitter.h"

namespace kolt::win {
namespace {
// A prompt to show, posted to ourselves. Not WM_USER-based: 0x0362 is the
// number the classic frame gives this message (WM_SETMESSAGESTRING), which
// tools that watch such frames know; the system itself does not use it.
constexpr UINT kSetMessageString = 0x0362;
}  // namespace

const MessageMap& FrameWindow::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&FrameWindow::OnCreate>(WM_CREATE),
        OnMessage<&FrameWindow::OnSize>(WM_SIZE),
        OnMessage<&FrameWindow::OnDpiChanged>(WM_DPICHANGED),
        OnMessage<&FrameWindow::OnSysColorChange>(WM_SYSCOLORCHANGE),
        OnMessage<&FrameWindow::OnThemeChanged>(WM_THEMECHANGED),
        OnMessage<&FrameWindow::OnSettingChange>(WM_SETTINGCHANGE),
        OnMessage<&FrameWindow::OnSetFocus>(WM_SETFOCUS),
        OnMessage<&FrameWindow::OnInitMenuPopup>(WM_INITMENUPOPUP),
        OnMessage<&FrameWindow::OnMenuSelect>(WM_MENUSELECT),
        OnMessage<&FrameWindow::OnNotifyMessage>(WM_NOTIFY),
        OnMessage<&FrameWindow::OnSetMessageString>(kSetMessageString),
        OnMessage<&FrameWindow::OnNcDestroy>(WM_NCDESTROY),
        OnCommand<&FrameWindow::OnViewToolBar>(ID_VIEW_TOOLBAR),
        OnCommand<&FrameWindow::OnViewStatusBar>(ID_VIEW_STATUS_BAR),
        OnCommand<&FrameWindow::OnNextPane>(ID_NEXT_PANE),
        OnCommand<&FrameWindow::OnPrevPane>(ID_PREV_PANE),
        OnUpdateUi<&FrameWindow::OnUpdateViewToolBar>(ID_VIEW_TOOLBAR),
        OnUpdateUi<&FrameWindow::OnUpdateViewStatusBar>(ID_VIEW_STATUS_BAR),
        OnUpdateUi<&FrameWindow::OnUpdateKeyIndicator>(ID_INDICATOR_CAPS),
        OnUpdateUi<&FrameWindow::OnUpdateKeyIndicator>(ID_INDICATOR_NUM),
        OnUpdateUi<&FrameWindow::OnUpdateKeyIndicator>(ID_INDICATOR_SCRL),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

bool FrameWindow::LoadFrame(UINT id, DWORD style) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    // No class style, cursor, background or icon: the client area is covered
    // by the bars and the splitter, and the icon is set when the client is built.
    const wchar_t* cls = RegisterWindowClass(L"KoltFrame", 0, nullptr, nullptr, nullptr);
    accelerators_ = LoadAcceleratorsW(module, MAKEINTRESOURCEW(id));
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id));  // owned by the window once it exists
    const std::string title = LoadStringCp932(id).value_or(std::string());
    if (!CreateAt(0, cls, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                  reinterpret_cast<UINT_PTR>(menu))) {
        if (menu && !hwnd()) DestroyMenu(menu);
        return false;
    }
    // Every view gets its initial update once the whole frame exists.
    if (splitter_)
        for (int column : {0, 1})
            if (View* pane = splitter_->GetPane(0, column)) pane->OnInitialUpdate();
    RecalcLayout();
    return true;
}

Result FrameWindow::OnCreate(WPARAM, LPARAM) {
    dpi_ = Dpi(DpiOfWindow(hwnd()));
    if (!OnCreateClient() || !OnCreateBars()) return -1;
    // The message pane starts with the idle text once the loop runs.
    PostMessageW(hwnd(), kSetMessageString, IDS_IDLEMESSAGE, 0);
    return 0;
}

Result FrameWindow::OnNcDestroy(WPARAM, LPARAM) {
    if (Application* app = Application::Instance(); app && app->mainWnd() == this) PostQuitMessage(0);
    return std::nullopt;
}

FrameWindow* FrameWindow::Of(HWND window) {
    return window ? dynamic_cast<FrameWindow*>(FromHandle(GetAncestor(window, GA_ROOT))) : nullptr;
}

void FrameWindow::SetStatusPaneText(std::string_view cp932, std::size_t pane) {
    if (statusBar_) statusBar_->SetPaneText(cp932, pane);
}

void FrameWindow::ResetStatusPaneText(std::size_t pane) {
    if (!statusBar_) return;
    const UINT id = statusBar_->IndicatorId(pane);
    SetStatusPaneText(id ? LoadStringCp932(id).value_or(std::string()) : std::string(), pane);
}

std::wstring FrameWindow::PromptText(UINT id, bool tooltip) {
    const std::wstring text = LoadStringWide(id).value_or(std::wstring());
    const std::size_t newline = text.find(L'\n');
    if (tooltip) return newline == std::wstring::npos ? std::wstring() : text.substr(newline + 1);
    return text.substr(0, newline);
}

void FrameWindow::ShowPrompt(UINT id) {
    SetStatusPaneText(Narrow(PromptText(id, false)), 0);
}

Result FrameWindow::OnSetMessageString(WPARAM id, LPARAM) {
    ShowPrompt(static_cast<UINT>(id));
    return 0;
}

void FrameWindow::RecalcLayout() {
    if (!hwnd()) return;
    RECT space{};
    GetClientRect(hwnd(), &space);
    if (statusBar_) space = statusBar_->Layout(space);
    barSpace_ = space;
    if (toolBar_) space = toolBar_->Layout(space);
    if (splitter_) space = splitter_->Layout(space);
}

void FrameWindow::DockControlBar(DockToolBar& bar, DockSide side) {
    toolBar_ = &bar;
    bar.Dock(side == DockSide::Floating ? DockSide::Top : side);
}

RECT FrameWindow::DockArea() const {
    RECT area = barSpace_;
    MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

Result FrameWindow::OnSize(WPARAM, LPARAM) {
    RecalcLayout();
    return 0;
}

// The new DPI comes from wParam: a query answers with the old one on Wine.
// Everything is re-scaled first, then the window takes the rectangle the
// system suggests. A message whose rectangle cannot be read is not the
// system's: it changes nothing.
Result FrameWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const std::optional<RECT> suggested = ReadSuggestedRect(lParam);
    if (!suggested) return 0;
    const Dpi old = dpi_;
    dpi_ = Dpi(LOWORD(wParam));
    if (statusBar_) statusBar_->SetDpi(dpi_);
    if (toolBar_) toolBar_->FollowFrameDpi(dpi_);
    if (splitter_) splitter_->SetDpi(dpi_);
    OnDpiChange(old);
    SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();  // the size may not have changed, the bars' sizes have
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

// The scheme's colours changed: the common controls inside (the bars, the
// tree, the form's controls) hear of it only from their top-level window.
// The toolbar draws its pictures again itself, wherever it is.
Result FrameWindow::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    SendToDescendants(hwnd(), WM_SYSCOLORCHANGE, wParam, lParam);
    return 0;
}

// A new theme or high contrast switched on or off: the pictures follow the
// colours of the new scheme even where their size stays.
Result FrameWindow::OnThemeChanged(WPARAM, LPARAM) {
    if (toolBar_) toolBar_->RefreshImages();
    return std::nullopt;
}

Result FrameWindow::OnSettingChange(WPARAM wParam, LPARAM) {
    if (wParam == SPI_SETHIGHCONTRAST && toolBar_) toolBar_->RefreshImages();
    return std::nullopt;
}

// The frame keeps the focus itself when it is activated: no pane gets it until
// the user clicks into one.
Result FrameWindow::OnSetFocus(WPARAM, LPARAM) {
    return 0;
}

bool FrameWindow::TranslateAccelerators(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !accelerators_) return false;
    return TranslateAcceleratorW(hwnd(), accelerators_, &msg) != 0;
}

bool FrameWindow::PreTranslateMessage(MSG& msg) {
    return TranslateAccelerators(msg);
}

bool FrameWindow::RouteCommand(UINT id, UINT code) {
    Application* app = Application::Instance();
    if (code == 0) {
        // A menu item, accelerator or button may be out of date: a command that
        // is disabled now does nothing.
        CommandUi ui{id};
        RouteUpdate(ui);
        if (!ui.enabled.value_or(false)) return true;
    }
    return RouteCommandTo({this, activeView_, app}, id, code);
}

void FrameWindow::RouteUpdate(CommandUi& ui) {
    ResolveCommandUi({this, activeView_, Application::Instance()}, ui);
}

Result FrameWindow::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(lParam)) return std::nullopt;  // the window menu is the system's
    auto menu = reinterpret_cast<HMENU>(wParam);
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators and popups
        CommandUi ui{id};
        RouteUpdate(ui);
        EnableMenuItem(menu, static_cast<UINT>(i),
                       MF_BYPOSITION | (ui.enabled.value_or(false) ? MF_ENABLED : MF_GRAYED));
        if (ui.checked)
            CheckMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (*ui.checked ? MF_CHECKED : MF_UNCHECKED));
    }
    return 0;
}

Result FrameWindow::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        ShowPrompt(IDS_IDLEMESSAGE);  // the menu closed
    } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
        SetStatusPaneText("", 0);
    } else if (flags & MF_SYSMENU) {
        ShowPrompt(IDS_SCFIRST + ((item & 0x0FFF) >> 4));
    } else {
        ShowPrompt(item);
    }
    return 0;
}

Result FrameWindow::OnNotifyMessage(WPARAM, LPARAM lParam) {
    auto& hdr = *reinterpret_cast<NMHDR*>(lParam);
    if (hdr.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(hdr);
        tooltip_ = PromptText(static_cast<UINT>(hdr.idFrom), true);
        info.lpszText = tooltip_.data();
        return 0;
    }
    if (toolBar_ && hdr.hwndFrom == toolBar_->hwnd() && hdr.code == TBN_HOTITEMCHANGE) {
        const auto& hot = reinterpret_cast<NMTBHOTITEM&>(hdr);
        // Fly-by prompt while the mouse is over a button; idle text once it leaves.
        ShowPrompt((hot.dwFlags & HICF_LEAVING) ? IDS_IDLEMESSAGE : static_cast<UINT>(hot.idNew));
        return 0;
    }
    return std::nullopt;
}

void FrameWindow::OnViewToolBar() {
    if (toolBar_) toolBar_->Show(!toolBar_->IsShown());
}

void FrameWindow::OnViewStatusBar() {
    if (!statusBar_) return;
    ShowWindow(statusBar_->hwnd(), statusBar_->IsShown() ? SW_HIDE : SW_SHOWNA);
    RecalcLayout();
}

void FrameWindow::OnUpdateViewToolBar(CommandUi& ui) {
    ui.Enable(toolBar_ != nullptr);
    ui.SetCheck(toolBar_ && toolBar_->IsShown());
}

void FrameWindow::OnUpdateViewStatusBar(CommandUi& ui) {
    ui.Enable(statusBar_ != nullptr);
    ui.SetCheck(statusBar_ && statusBar_->IsShown());
}

void FrameWindow::OnUpdateKeyIndicator(CommandUi& ui) {
    const int key = ui.id == ID_INDICATOR_CAPS ? VK_CAPITAL : ui.id == ID_INDICATOR_NUM ? VK_NUMLOCK : VK_SCROLL;
    ui.Enable((GetKeyState(key) & 1) != 0);
}

void FrameWindow::OnNextPane() {
    if (splitter_) splitter_->ActivateNext(false);
}

void FrameWindow::OnPrevPane() {
    if (splitter_) splitter_->ActivateNext(true);
}

void FrameWindow::OnIdleUpdate() {
    if (toolBar_ && toolBar_->IsShown()) toolBar_->UpdateButtons();
    if (StatusBar* bar = statusBar_; bar && bar->IsShown()) {
        for (std::size_t pane = 1; pane < bar->paneCount(); ++pane) {
            CommandUi ui{bar->IndicatorId(pane)};
            RouteUpdate(ui);
            bar->ShowIndicator(pane, ui.enabled.value_or(false));
        }
    }
}

}  // namespace kolt::win
