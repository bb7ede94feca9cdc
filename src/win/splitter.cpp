#include "win/splitter.h"

#include <windowsx.h>

#include <algorithm>

#include "base/owners_win.h"
#include "win/frame_window.h"

namespace kolt::win {

const MessageMap& StaticSplitter::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&StaticSplitter::OnSize>(WM_SIZE),
        OnMessage<&StaticSplitter::OnPaint>(WM_PAINT),
        OnMessage<&StaticSplitter::OnSetCursor>(WM_SETCURSOR),
        OnMessage<&StaticSplitter::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&StaticSplitter::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&StaticSplitter::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&StaticSplitter::OnCaptureChanged>(WM_CAPTURECHANGED),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

bool StaticSplitter::CreateStatic(FrameWindow& frame, UINT id) {
    const wchar_t* cls = RegisterWindowClass(L"KoltSplitter", 0, LoadCursorW(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT rect{};
    GetClientRect(frame.hwnd(), &rect);
    dpi_ = frame.dpi();
    return Create(0, cls, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, frame.hwnd(), id);
}

bool StaticSplitter::CreateView(int row, int column, std::unique_ptr<View> view, SIZE initial) {
    if (row != 0 || column < 0 || column > 1 || !view) return false;
    RECT rect{0, 0, initial.cx, initial.cy};
    if (column == 1) OffsetRect(&rect, firstWidth_ + barWidth(), 0);
    if (!view->CreateView(hwnd(), IDW_PANE_FIRST + static_cast<UINT>(column), rect)) return false;
    if (column == 0) {
        firstWidth_ = initial.cx;
        setWidth_ = {initial.cx, dpi_};
    }
    panes_[static_cast<std::size_t>(column)] = std::move(view);
    return true;
}

View* StaticSplitter::GetPane(int row, int column) const {
    if (row != 0 || column < 0 || column > 1) return nullptr;
    return panes_[static_cast<std::size_t>(column)].get();
}

void StaticSplitter::ActivateNext(bool previous) {
    // With two panes the next and the previous pane are the same: the other one.
    HWND focus = GetFocus();
    int current = -1;
    for (int i = 0; i < 2; ++i) {
        View* pane = panes_[static_cast<std::size_t>(i)].get();
        if (pane && pane->hwnd() && (focus == pane->hwnd() || IsChild(pane->hwnd(), focus))) current = i;
    }
    int next = current < 0 ? (previous ? 1 : 0) : 1 - current;
    if (View* pane = panes_[static_cast<std::size_t>(next)].get()) {
        SetFocus(pane->hwnd());
        if (FrameWindow* frame = FrameWindow::Of(hwnd())) frame->SetActiveView(pane);
    }
}

void StaticSplitter::SetColumnWidth(int width) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    setWidth_ = {std::clamp(width, 0, std::max<int>(0, client.right - barWidth())), dpi_};
    RecalcLayout();
}

void StaticSplitter::SetDpi(Dpi dpi) {
    if (dpi == dpi_) return;
    const Dpi old = dpi_;
    dpi_ = dpi;
    for (auto& pane : panes_)
        if (pane) pane->OnDpiChanged(old, dpi);
    RecalcLayout();
}

RECT StaticSplitter::BarRect() const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    return {firstWidth_, 0, firstWidth_ + barWidth(), client.bottom};
}

namespace {
// Moves `window` to `rect` (its parent's client coordinates) unless it is
// there already: a move to the same place still costs the window system a
// round trip and the window a redraw.
void PlaceWindow(HWND window, const RECT& rect) {
    RECT now{};
    GetWindowRect(window, &now);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&now), 2);
    if (EqualRect(&now, &rect)) return;
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

void StaticSplitter::RecalcLayout() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    // From the width the user set, never from the last one laid out: a
    // narrower window or another scale between gives nothing away.
    const int wanted = setWidth_.At(dpi_);
    firstWidth_ = std::clamp(wanted, 0, std::max<int>(0, client.right - barWidth()));
    if (View* left = panes_[0].get()) PlaceWindow(left->hwnd(), {0, 0, firstWidth_, client.bottom});
    if (View* right = panes_[1].get()) {
        const int x = firstWidth_ + barWidth();
        PlaceWindow(right->hwnd(), {x, 0, x + std::max<int>(0, client.right - x), client.bottom});
    }
    // The bar is drawn again only where it moved or changed its size.
    const RECT bar = BarRect();
    if (!EqualRect(&bar, &barLaidOut_)) {
        InvalidateRect(hwnd(), &bar, TRUE);
        barLaidOut_ = bar;
    }
}

RECT StaticSplitter::Layout(const RECT& space) {
    SetWindowPos(hwnd(), nullptr, space.left, space.top, std::max<LONG>(0, space.right - space.left),
                 std::max<LONG>(0, space.bottom - space.top), SWP_NOZORDER | SWP_NOACTIVATE);
    return {space.left, space.bottom, space.right, space.bottom};
}

Result StaticSplitter::OnSize(WPARAM, LPARAM) {
    RecalcLayout();
    return 0;
}

Result StaticSplitter::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(hwnd());
    RECT bar = BarRect();
    FillRect(dc.get(), &bar, GetSysColorBrush(COLOR_BTNFACE));
    return 0;
}

Result StaticSplitter::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) == hwnd() && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    return std::nullopt;
}

Result StaticSplitter::OnLButtonDown(WPARAM, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT bar = BarRect();
    if (!PtInRect(&bar, pt)) return 0;
    dragging_ = true;
    dragOffset_ = pt.x - firstWidth_;
    SetCapture(hwnd());
    return 0;
}

Result StaticSplitter::OnMouseMove(WPARAM, LPARAM lParam) {
    if (dragging_) SetColumnWidth(GET_X_LPARAM(lParam) - dragOffset_);
    return 0;
}

Result StaticSplitter::OnLButtonUp(WPARAM, LPARAM) {
    if (dragging_) ReleaseCapture();
    return 0;
}

Result StaticSplitter::OnCaptureChanged(WPARAM, LPARAM) {
    dragging_ = false;
    return 0;
}

}  // namespace kolt::win
