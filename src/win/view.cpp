#include "win/view.h"

#include <commctrl.h>

#include <algorithm>

#include "win/frame_window.h"

namespace kolt::win {

const MessageMap& View::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&View::OnMouseActivate>(WM_MOUSEACTIVATE),
        OnMessage<&View::OnSetFocus>(WM_SETFOCUS),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

void View::BecomeActive() {
    if (FrameWindow* frame = FrameWindow::Of(hwnd())) frame->SetActiveView(this);
}

Result View::OnMouseActivate(WPARAM, LPARAM) {
    BecomeActive();
    return std::nullopt;  // the default activation goes on
}

Result View::OnSetFocus(WPARAM, LPARAM) {
    BecomeActive();
    return std::nullopt;
}

bool TreeView::CreateView(HWND parent, UINT id, const RECT& rect) {
    return CreateControl(WS_EX_CLIENTEDGE, WC_TREEVIEWW, WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void TreeView::OnDpiChanged(Dpi old, Dpi now) {
    font_.Apply(hwnd(), old, now);
}

const MessageMap& FormView::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&FormView::OnInitDialog>(WM_INITDIALOG),
        OnMessage<&FormView::OnSize>(WM_SIZE),
        OnMessage<&FormView::OnHScroll>(WM_HSCROLL),
        OnMessage<&FormView::OnVScroll>(WM_VSCROLL),
        OnMessage<&FormView::OnMouseWheel>(WM_MOUSEWHEEL),
        // Enter and Esc in a form close nothing.
        OnCommand<&FormView::OnKeyboardOk>(IDOK),
        OnCommand<&FormView::OnKeyboardOk>(IDCANCEL),
    };
    static constexpr MessageMap kMap{&View::Messages, kEntries};
    return kMap;
}

bool FormView::CreateView(HWND parent, UINT id, const RECT& rect) {
    HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent, &DialogProc,
                                   reinterpret_cast<LPARAM>(static_cast<Window*>(this)));
    if (!hwnd || hwnd != this->hwnd()) return false;
    RECT client{};
    GetClientRect(hwnd, &client);
    total_ = {client.right, client.bottom};
    // The dialog manager laid the template out for the DPI of the moment.
    const FrameWindow* frame = FrameWindow::Of(parent);
    dpi_ = frame ? frame->dpi() : Dpi(DpiOfWindow(parent));
    userScroll_ = {POINT{}, dpi_};
    // We re-scale the form when the DPI changes (OnDpiChanged); the system must not do it as well.
    TakeOverDialogScaling(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_ID, static_cast<LONG_PTR>(id));
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    UpdateScrollBars();
    return true;
}

bool FormView::PreTranslateMessage(MSG& msg) {
    // Tab, the arrow keys and mnemonics move between the form's controls.
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    // The frame's accelerators come first, or the dialog keys would eat them.
    if (FrameWindow* frame = FrameWindow::Of(hwnd()); frame && frame->TranslateAccelerators(msg)) return true;
    return IsDialogMessageW(hwnd(), &msg) != FALSE;
}

void FormView::OnDpiChanged(Dpi old, Dpi now) {
    if (old == now) return;
    if (placements_.empty()) {
        // The layout at creation: where each control is now, scrolled back.
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect{};
            GetWindowRect(child, &rect);
            MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
            OffsetRect(&rect, scroll_.x, scroll_.y);
            placements_.push_back({child, {rect, dpi_}});
        }
        createdTotal_ = {total_, dpi_};
    }
    font_.Apply(hwnd(), old, now, true);
    dpi_ = now;
    const POINT scroll = WantedScroll();  // the scroll bars take it in to the pane's size
    HDWP moves = BeginDeferWindowPos(static_cast<int>(placements_.size()));
    for (const Placement& p : placements_) {
        if (!moves) break;
        const RECT rect = p.rect.At(now);
        moves = DeferWindowPos(moves, p.control, nullptr, rect.left - scroll.x, rect.top - scroll.y,
                               rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves) EndDeferWindowPos(moves);
    total_ = createdTotal_.At(now);
    scroll_ = scroll;
    UpdateScrollBars();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

Result FormView::OnSize(WPARAM, LPARAM) {
    UpdateScrollBars();
    return std::nullopt;
}

void FormView::UpdateScrollBars() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    // A scroll bar takes room from the other direction; settle both.
    for (int pass = 0; pass < 2; ++pass) {
        GetClientRect(hwnd(), &client);
        // The position too: a change of scale moves it without scrolling.
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS};
        si.nMin = 0;
        si.nMax = total_.cx - 1;
        si.nPage = static_cast<UINT>(std::max<LONG>(client.right, 0));
        si.nPos = scroll_.x;
        SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
        si.nMax = total_.cy - 1;
        si.nPage = static_cast<UINT>(std::max<LONG>(client.bottom, 0));
        si.nPos = scroll_.y;
        SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    }
    GetClientRect(hwnd(), &client);
    const POINT wanted = WantedScroll();
    ScrollTo(std::clamp<int>(wanted.x, 0, std::max<int>(0, total_.cx - client.right)),
             std::clamp<int>(wanted.y, 0, std::max<int>(0, total_.cy - client.bottom)));
}

// Where the user scrolled to, at the DPI of then, for the DPI of now: a pane
// made smaller for a while, or another scale between, gives nothing away.
POINT FormView::WantedScroll() const {
    return userScroll_.At(dpi_);
}

void FormView::ScrollTo(int x, int y) {
    const int dx = scroll_.x - x;
    const int dy = scroll_.y - y;
    if (dx == 0 && dy == 0) return;
    scroll_ = {x, y};
    ScrollWindowEx(hwnd(), dx, dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    SCROLLINFO si{sizeof si, SIF_POS};
    si.nPos = x;
    SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
    si.nPos = y;
    SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
}

int FormView::ScrollStep(int bar, UINT request) const {
    SCROLLINFO si{sizeof si, SIF_ALL};
    GetScrollInfo(hwnd(), bar, &si);
    const int line = dpi_.Scale(16);
    const int maxPos = std::max(0, si.nMax - static_cast<int>(si.nPage) + 1);
    int pos = si.nPos;
    switch (request) {
        case SB_LINEUP:
            pos -= line;
            break;
        case SB_LINEDOWN:
            pos += line;
            break;
        case SB_PAGEUP:
            pos -= static_cast<int>(si.nPage);
            break;
        case SB_PAGEDOWN:
            pos += static_cast<int>(si.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = si.nTrackPos;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = maxPos;
            break;
        default:
            break;
    }
    return std::clamp(pos, 0, maxPos);
}

Result FormView::OnHScroll(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) return std::nullopt;  // a scroll bar control of the form, not the form's own
    UserScrollTo(ScrollStep(SB_HORZ, LOWORD(wParam)), scroll_.y);
    return 0;
}

Result FormView::OnVScroll(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) return std::nullopt;
    UserScrollTo(scroll_.x, ScrollStep(SB_VERT, LOWORD(wParam)));
    return 0;
}

Result FormView::OnMouseWheel(WPARAM wParam, LPARAM) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    UserScrollTo(scroll_.x, ScrollStep(SB_VERT, delta > 0 ? SB_LINEUP : SB_LINEDOWN));
    return 0;
}

void FormView::UserScrollTo(int x, int y) {
    ScrollTo(x, y);
    userScroll_ = {scroll_, dpi_};
}

}  // namespace kolt::win
