#include "win/dock_bar.h"

#include <windowsx.h>

#include <algorithm>

#include "base/owners_win.h"

namespace kolt::win {

DockSide DockSideAt(const RECT& dockArea, POINT screen, int margin) {
    RECT nearby = dockArea;
    InflateRect(&nearby, margin, margin);
    if (!PtInRect(&nearby, screen)) return DockSide::Floating;
    if (screen.y < dockArea.top + margin) return DockSide::Top;
    if (screen.y >= dockArea.bottom - margin) return DockSide::Bottom;
    if (screen.x < dockArea.left + margin) return DockSide::Left;
    if (screen.x >= dockArea.right - margin) return DockSide::Right;
    return DockSide::Floating;
}

// The small tool window a floating bar lives in. Closing it hides the bar;
// double-clicking its caption docks the bar where it was last docked;
// dragging it onto an edge of the frame docks it there.
class FloatingBarWindow : public Window {
public:
    explicit FloatingBarWindow(DockToolBar& bar) : bar_(bar) {}

    static const MessageMap& Messages() {
        static constexpr MessageEntry kEntries[] = {
            OnMessage<&FloatingBarWindow::OnSize>(WM_SIZE),
            OnMessage<&FloatingBarWindow::OnSizing>(WM_SIZING),
            OnMessage<&FloatingBarWindow::OnClose>(WM_CLOSE),
            OnMessage<&FloatingBarWindow::OnNcLButtonDblClk>(WM_NCLBUTTONDBLCLK),
            OnMessage<&FloatingBarWindow::OnEnterSizeMove>(WM_ENTERSIZEMOVE),
            OnMessage<&FloatingBarWindow::OnExitSizeMove>(WM_EXITSIZEMOVE),
            OnMessage<&FloatingBarWindow::OnMoving>(WM_MOVING),
            OnMessage<&FloatingBarWindow::OnDpiChanged>(WM_DPICHANGED),
            OnMessage<&FloatingBarWindow::OnSysColorChange>(WM_SYSCOLORCHANGE),
        };
        static constexpr MessageMap kMap{&Window::Messages, kEntries};
        return kMap;
    }
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create(HWND owner) {
        const wchar_t* cls = RegisterWindowClass(L"KoltFloatBar", CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        return Window::Create(WS_EX_TOOLWINDOW, cls, "",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, RECT{0, 0, 100, 40},
                              owner, 0);
    }

    // Fits the window around the bar laid out in `rows` rows, at `topLeft`.
    void FitTo(int rows, POINT topLeft) {
        bar_.LayOutInRows(rows);
        const SIZE content = bar_.ButtonsSize(rows);
        RECT rect{0, 0, content.cx, content.cy};
        AdjustWindowRectForDpi(rect, static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE)), false,
                               static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)), bar_.dpi().value());
        SetWindowPos(hwnd(), nullptr, topLeft.x, topLeft.y, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    Result OnSize(WPARAM, LPARAM lParam) {
        SetWindowPos(bar_.hwnd(), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }

    // Dynamic sizing: the width the user drags to decides the number of rows,
    // and the window snaps to the bar's size in that layout.
    Result OnSizing(WPARAM edge, LPARAM lParam) {
        auto& rect = *reinterpret_cast<RECT*>(lParam);
        RECT frame{0, 0, 0, 0};
        AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_STYLE)), false,
                               static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)), bar_.dpi().value());
        const int extraX = frame.right - frame.left;
        const int extraY = frame.bottom - frame.top;
        int rows = 1;
        const bool byHeight = edge == WMSZ_TOP || edge == WMSZ_BOTTOM;
        for (int r = 1; r <= std::max(1, bar_.buttonCount()); ++r) {
            const SIZE s = bar_.ButtonsSize(r);
            rows = r;
            if (byHeight ? s.cy + extraY >= rect.bottom - rect.top : s.cx + extraX <= rect.right - rect.left) break;
        }
        bar_.LayOutInRows(rows);
        const SIZE s = bar_.ButtonsSize(rows);
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
            rect.left = rect.right - (s.cx + extraX);
        else
            rect.right = rect.left + s.cx + extraX;
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
            rect.top = rect.bottom - (s.cy + extraY);
        else
            rect.bottom = rect.top + s.cy + extraY;
        return TRUE;
    }

    Result OnClose(WPARAM, LPARAM) {
        bar_.Show(false);
        return 0;
    }

    Result OnNcLButtonDblClk(WPARAM hit, LPARAM) {
        if (hit != HTCAPTION) return std::nullopt;
        bar_.DockAgain();
        return 0;
    }

    Result OnEnterSizeMove(WPARAM, LPARAM) {
        moved_ = false;
        return std::nullopt;
    }
    Result OnMoving(WPARAM, LPARAM) {
        moved_ = true;
        return std::nullopt;
    }
    Result OnExitSizeMove(WPARAM, LPARAM) {
        if (!moved_) return std::nullopt;
        POINT cursor{};
        GetCursorPos(&cursor);
        bar_.DockNear(cursor);
        return std::nullopt;
    }

    // A window of its own, the floating bar has its own DPI: on another
    // display it is laid out anew where the system suggests.
    Result OnDpiChanged(WPARAM wParam, LPARAM lParam) {
        const std::optional<RECT> suggested = ReadSuggestedRect(lParam);
        if (!suggested) return 0;  // not the system's
        bar_.SetDpi(Dpi(LOWORD(wParam)));
        FitTo(bar_.rows(), {suggested->left, suggested->top});
        return 0;
    }

    // The floating bar takes the scheme's colours from its own window.
    Result OnSysColorChange(WPARAM wParam, LPARAM lParam) {
        SendToDescendants(hwnd(), WM_SYSCOLORCHANGE, wParam, lParam);
        return 0;
    }

    DockToolBar& bar_;
    bool moved_ = false;
};

DockToolBar::DockToolBar() = default;

DockToolBar::~DockToolBar() {
    if (floatFrame_) {
        // The bar may live in the float window: let it go before that window does.
        if (hwnd() && GetParent(hwnd()) == floatFrame_->hwnd()) Destroy();
        floatFrame_.reset();
    }
}

const MessageMap& DockToolBar::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&DockToolBar::OnNcCalcSize>(WM_NCCALCSIZE),
        OnMessage<&DockToolBar::OnNcPaint>(WM_NCPAINT),
        OnMessage<&DockToolBar::OnNcHitTest>(WM_NCHITTEST),
        OnMessage<&DockToolBar::OnNcLButtonDown>(WM_NCLBUTTONDOWN),
        OnMessage<&DockToolBar::OnNcLButtonDblClk>(WM_NCLBUTTONDBLCLK),
        OnMessage<&DockToolBar::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&DockToolBar::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&DockToolBar::OnKeyDown>(WM_KEYDOWN),
        OnMessage<&DockToolBar::OnCaptureChanged>(WM_CAPTURECHANGED),
    };
    static constexpr MessageMap kMap{&ToolBar::Messages, kEntries};
    return kMap;
}

bool DockToolBar::Create(BarHost& host, UINT id) {
    // The bar places itself (Layout), wherever it is.
    return ToolBar::Create(host, id, CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN);
}

void DockToolBar::SetDpi(Dpi dpi) {
    if (dpi == this->dpi()) return;
    ToolBar::SetDpi(dpi);
    // The gripper's width changes with the DPI.
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void DockToolBar::FollowFrameDpi(Dpi dpi) {
    if (side_ != DockSide::Floating) SetDpi(dpi);
}

DockSide DockToolBar::SideAt(POINT screen) const {
    return DockSideAt(host().DockArea(), screen, host().HostDpi().Scale(kDockMargin));
}

int DockToolBar::DockedRows(bool verticalBar) const {
    return verticalBar ? std::max(1, buttonCount()) : 1;
}

SIZE DockToolBar::DockedSize(bool verticalBar) const {
    SIZE s = ButtonsSize(DockedRows(verticalBar));
    if (verticalBar)
        s.cy += gripperSpace();
    else
        s.cx += gripperSpace();
    return s;
}

RECT DockToolBar::Layout(const RECT& space) {
    if (side_ == DockSide::Floating || !IsShown()) return space;
    const SIZE s = DockedSize(vertical());
    RECT bar = space, left = space;
    switch (side_) {
        case DockSide::Top:
            bar.bottom = left.top = space.top + s.cy;
            break;
        case DockSide::Bottom:
            bar.top = left.bottom = space.bottom - s.cy;
            break;
        case DockSide::Left:
            bar.right = left.left = space.left + s.cx;
            break;
        case DockSide::Right:
            bar.left = left.right = space.right - s.cx;
            break;
        case DockSide::Floating:
            break;
    }
    // Moved and drawn again only when its place changed: every layout of the
    // frame comes here, most of them leave the bar where it is.
    RECT now{};
    GetWindowRect(hwnd(), &now);
    MapWindowPoints(nullptr, host().HostWindow(), reinterpret_cast<POINT*>(&now), 2);
    if (!EqualRect(&now, &bar)) {
        SetWindowPos(hwnd(), nullptr, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    }
    return left;
}

bool DockToolBar::IsShown() const {
    if (side_ == DockSide::Floating) return floatFrame_ && IsWindowVisible(floatFrame_->hwnd());
    return (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void DockToolBar::Show(bool on) {
    if (side_ == DockSide::Floating && floatFrame_) {
        ShowWindow(hwnd(), SW_SHOWNA);
        ShowWindow(floatFrame_->hwnd(), on ? SW_SHOWNA : SW_HIDE);
    } else {
        ShowWindow(hwnd(), on ? SW_SHOWNA : SW_HIDE);
    }
    host().LayOutBars();
}

void DockToolBar::Dock(DockSide side) {
    if (side == DockSide::Floating) return;
    const bool wasShown = IsShown();
    const bool wasFloating = side_ == DockSide::Floating;
    side_ = side;
    lastDocked_ = side;
    HWND frame = host().HostWindow();
    if (GetParent(hwnd()) != frame) SetParent(hwnd(), frame);
    if (floatFrame_) ShowWindow(floatFrame_->hwnd(), SW_HIDE);
    SetDpi(host().HostDpi());
    LayOutInRows(DockedRows(vertical()));
    // The gripper's edge changes with the orientation.
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(hwnd(), (wasShown || !wasFloating) ? SW_SHOWNA : SW_HIDE);
    host().LayOutBars();
}

bool DockToolBar::DockNear(POINT screen) {
    const DockSide side = SideAt(screen);
    if (side == DockSide::Floating) return false;
    Dock(side);
    return true;
}

void DockToolBar::Float(POINT screenTopLeft) {
    if (!floatFrame_) {
        floatFrame_ = std::make_unique<FloatingBarWindow>(*this);
        if (!floatFrame_->Create(host().HostWindow())) {
            floatFrame_.reset();
            return;  // stays docked
        }
    }
    side_ = DockSide::Floating;
    SetParent(hwnd(), floatFrame_->hwnd());
    SetDpi(Dpi(DpiOfWindow(floatFrame_->hwnd())));
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(hwnd(), SW_SHOWNA);
    floatFrame_->FitTo(1, screenTopLeft);
    ShowWindow(floatFrame_->hwnd(), SW_SHOWNA);
    host().LayOutBars();
}

RECT DockToolBar::GripperRect() const {
    RECT window{};
    GetWindowRect(hwnd(), &window);
    OffsetRect(&window, -window.left, -window.top);
    if (side_ == DockSide::Floating) return {};
    if (vertical()) return {window.left, window.top, window.right, window.top + gripper()};
    return {window.left, window.top, window.left + gripper(), window.bottom};
}

Result DockToolBar::OnNcCalcSize(WPARAM, LPARAM lParam) {
    auto& rect = *reinterpret_cast<RECT*>(lParam);  // the first rectangle in either form
    if (side_ != DockSide::Floating) {
        if (vertical())
            rect.top += gripperSpace();
        else
            rect.left += gripperSpace();
    }
    return 0;
}

Result DockToolBar::OnNcPaint(WPARAM, LPARAM) {
    if (side_ == DockSide::Floating) return 0;
    WindowDc dc(hwnd(), true);
    RECT window{};
    GetWindowRect(hwnd(), &window);
    OffsetRect(&window, -window.left, -window.top);
    FillRect(dc.get(), &window, GetSysColorBrush(COLOR_BTNFACE));
    RECT grip = GripperRect();
    // A raised line, the classic gripper.
    const int inset = dpi().Scale(2), across = dpi().Scale(5);
    if (vertical()) {
        RECT line{grip.left + inset, grip.top + inset, grip.right - inset, grip.top + across};
        DrawEdge(dc.get(), &line, BDR_RAISEDINNER, BF_RECT);
    } else {
        RECT line{grip.left + inset, grip.top + inset, grip.left + across, grip.bottom - inset};
        DrawEdge(dc.get(), &line, BDR_RAISEDINNER, BF_RECT);
    }
    return 0;
}

Result DockToolBar::OnNcHitTest(WPARAM, LPARAM lParam) {
    RECT window{};
    GetWindowRect(hwnd(), &window);
    POINT pt{GET_X_LPARAM(lParam) - window.left, GET_Y_LPARAM(lParam) - window.top};
    RECT grip = GripperRect();
    if (PtInRect(&grip, pt)) return HTCAPTION;
    return std::nullopt;
}

Result DockToolBar::OnNcLButtonDown(WPARAM hit, LPARAM lParam) {
    if (hit != HTCAPTION) return std::nullopt;
    dragging_ = true;
    SetCapture(hwnd());
    dragFrame_ = DragFrameAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    DrawDragFrame();
    return 0;
}

Result DockToolBar::OnNcLButtonDblClk(WPARAM hit, LPARAM lParam) {
    if (hit != HTCAPTION) return std::nullopt;
    Float({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

RECT DockToolBar::DragFrameAt(POINT screen) const {
    // The outline follows the cursor in the shape the bar would take there.
    const DockSide side = SideAt(screen);
    const SIZE s = DockedSize(side == DockSide::Left || side == DockSide::Right);
    const int offset = dpi().Scale(4);
    return {screen.x - offset, screen.y - offset, screen.x - offset + s.cx, screen.y - offset + s.cy};
}

void DockToolBar::DrawDragFrame() {
    WindowDc screen(nullptr);
    DrawFocusRect(screen.get(), &dragFrame_);
    frameDrawn_ = !frameDrawn_;
}

Result DockToolBar::OnMouseMove(WPARAM, LPARAM lParam) {
    if (!dragging_) return std::nullopt;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd(), &pt);
    if (frameDrawn_) DrawDragFrame();
    dragFrame_ = DragFrameAt(pt);
    DrawDragFrame();
    return 0;
}

Result DockToolBar::OnLButtonUp(WPARAM, LPARAM) {
    if (!dragging_) return std::nullopt;
    EndDrag(true);
    return 0;
}

Result DockToolBar::OnKeyDown(WPARAM key, LPARAM) {
    if (!dragging_) return std::nullopt;
    if (key == VK_ESCAPE) EndDrag(false);
    return 0;
}

Result DockToolBar::OnCaptureChanged(WPARAM, LPARAM) {
    if (dragging_) EndDrag(false);
    return std::nullopt;
}

void DockToolBar::EndDrag(bool apply) {
    if (!dragging_) return;
    dragging_ = false;
    if (frameDrawn_) DrawDragFrame();
    if (GetCapture() == hwnd()) ReleaseCapture();
    if (!apply) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const DockSide side = SideAt(cursor);
    if (side == DockSide::Floating)
        Float({dragFrame_.left, dragFrame_.top});
    else if (side != side_)
        Dock(side);
}

}  // namespace kolt::win
