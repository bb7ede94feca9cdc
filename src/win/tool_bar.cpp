#include "win/tool_bar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/owners_win.h"
#include "win/frame_window.h"

namespace kolt::win {

// The small tool window a floating bar lives in. Closing it hides the bar;
// double-clicking its caption docks the bar where it was last docked;
// dragging it onto an edge of the frame docks it there.
class DockToolBar::FloatFrame : public Window {
public:
    explicit FloatFrame(DockToolBar& bar) : bar_(bar) {}

    static const MessageMap& Messages() {
        static constexpr MessageEntry kEntries[] = {
            OnMessage<&FloatFrame::OnSize>(WM_SIZE),
            OnMessage<&FloatFrame::OnSizing>(WM_SIZING),
            OnMessage<&FloatFrame::OnClose>(WM_CLOSE),
            OnMessage<&FloatFrame::OnNcLButtonDblClk>(WM_NCLBUTTONDBLCLK),
            OnMessage<&FloatFrame::OnEnterSizeMove>(WM_ENTERSIZEMOVE),
            OnMessage<&FloatFrame::OnExitSizeMove>(WM_EXITSIZEMOVE),
            OnMessage<&FloatFrame::OnMoving>(WM_MOVING),
            OnMessage<&FloatFrame::OnDpiChanged>(WM_DPICHANGED),
            OnMessage<&FloatFrame::OnSysColorChange>(WM_SYSCOLORCHANGE),
        };
        static constexpr MessageMap kMap{&Window::Messages, kEntries};
        return kMap;
    }
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create(HWND owner) {
        const wchar_t* cls = RegisterClass(L"KoltFloatBar", CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        return Window::Create(WS_EX_TOOLWINDOW, cls, "",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, RECT{0, 0, 100, 40},
                              owner, 0);
    }

    // Fits the window around the bar laid out in `rows` rows, at `topLeft`.
    void FitTo(int rows, POINT topLeft) {
        bar_.LayOutButtons(rows);
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
        const int buttons = static_cast<int>(bar_.ButtonIds().size());
        int rows = 1;
        const bool byHeight = edge == WMSZ_TOP || edge == WMSZ_BOTTOM;
        for (int r = 1; r <= std::max(1, buttons); ++r) {
            const SIZE s = bar_.ButtonsSize(r);
            rows = r;
            if (byHeight ? s.cy + extraY >= rect.bottom - rect.top : s.cx + extraX <= rect.right - rect.left) break;
        }
        bar_.LayOutButtons(rows);
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
        bar_.Dock(bar_.lastDocked_);
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
        if (!moved_ || !bar_.frame_) return std::nullopt;
        POINT cursor{};
        GetCursorPos(&cursor);
        const DockSide side = bar_.frame_->DockSideAt(cursor);
        if (side != DockSide::Floating) bar_.Dock(side);
        return std::nullopt;
    }

    // A window of its own, the floating bar has its own DPI: on another
    // display it is laid out anew where the system suggests.
    Result OnDpiChanged(WPARAM wParam, LPARAM lParam) {
        const std::optional<RECT> suggested = ReadSuggestedRect(lParam);
        if (!suggested) return 0;  // not the system's
        bar_.SetDpi(Dpi(LOWORD(wParam)));
        FitTo(bar_.rows_, {suggested->left, suggested->top});
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
        OnMessage<&DockToolBar::OnSysColorChange>(WM_SYSCOLORCHANGE),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

bool DockToolBar::Create(FrameWindow& frame, UINT id) {
    frame_ = &frame;
    dpi_ = frame.dpi();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                        CCS_NORESIZE | CCS_NOPARENTALIGN;
    if (!CreateControl(0, TOOLBARCLASSNAMEW, style, RECT{}, frame.hwnd(), id)) return false;
    SendMessageW(hwnd(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Notifications go to the frame even while the bar floats in its own window.
    SendMessageW(hwnd(), TB_SETPARENT, reinterpret_cast<WPARAM>(frame.hwnd()), 0);
    return true;
}

bool DockToolBar::LoadToolBar(UINT resourceId, std::vector<ImageStrip> larger) {
    // RT_TOOLBAR: version 1, image width, image height, item count, then one
    // command id per item (0 for a separator). The type has no name in the
    // system's headers (it is the classic frame's own resource type), so it
    // is looked up by its number, 241, as res/main.rc writes it.
    constexpr UINT kToolBarResourceType = 241;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(kToolBarResourceType));
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    const auto* words = data ? static_cast<const WORD*>(LockResource(data)) : nullptr;
    const DWORD bytes = info ? SizeofResource(module, info) : 0;
    if (!words || bytes < 8 || words[0] != 1) return false;
    const WORD width = words[1], height = words[2], count = words[3];
    if (bytes < 8u + 2u * count) return false;

    int images = 0;
    std::vector<TBBUTTON> buttons;
    for (WORD i = 0; i < count; ++i) {
        TBBUTTON b{};
        b.idCommand = words[4 + i];
        if (b.idCommand == 0) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = dpi_.Scale(kSeparator);  // a separator's width
        } else {
            b.iBitmap = images++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    resourceId_ = resourceId;
    baseImage_ = {width, height};
    imageCount_ = images;
    strips_ = std::move(larger);
    if (!LoadImages()) return false;
    if (!SendMessageW(hwnd(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()))) return false;
    MeasureLayouts();
    return true;
}

namespace {

// The toolbar pictures in the colours of the scheme of the moment, as the
// system maps a toolbar bitmap: black to the button text, dark grey to the
// shadow, light grey to the face, white to the highlight. Every strip is a
// 16-colour bitmap (res/icons/make_images.py), so the mapping is one of its
// colour table. The light grey, which no picture uses, is the mask, taken
// before the mapping: the face can be any colour, black under high contrast.
ImageListHandle MappedImages(UINT bitmapId, int width, int count) {
    BitmapHandle strip(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!strip || !GetObjectW(strip.get(), sizeof info, &info) || info.bmBitsPixel > 8 || info.bmWidth < width * count)
        return {};
    const MemoryDc source(CreateCompatibleDC(nullptr));
    const MemoryDc target(CreateCompatibleDC(nullptr));
    BitmapHandle mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
    if (!source || !target || !mask) return {};
    constexpr COLORREF kFace = RGB(192, 192, 192);
    {
        const SelectedObject from(source.get(), strip.get());
        const SelectedObject to(target.get(), mask.get());
        // Colour to monochrome: the background colour becomes 1, transparent.
        SetBkColor(source.get(), kFace);
        BitBlt(target.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);

        RGBQUAD table[256]{};
        const UINT entries = GetDIBColorTable(source.get(), 0, 256, table);
        for (UINT i = 0; i < entries; ++i) {
            const COLORREF colour = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
            // The masked pixels black, as an image list draws them.
            COLORREF mapped = colour == kFace                ? RGB(0, 0, 0)
                              : colour == RGB(0, 0, 0)       ? GetSysColor(COLOR_BTNTEXT)
                              : colour == RGB(128, 128, 128) ? GetSysColor(COLOR_BTNSHADOW)
                              : colour == RGB(255, 255, 255) ? GetSysColor(COLOR_BTNHIGHLIGHT)
                                                             : colour;
            table[i] = {GetBValue(mapped), GetGValue(mapped), GetRValue(mapped), 0};
        }
        if (entries == 0 || SetDIBColorTable(source.get(), 0, entries, table) != entries) return {};
    }
    ImageListHandle list(ImageList_Create(width, info.bmHeight, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!list || ImageList_Add(list.get(), strip.get(), mask.get()) < 0) return {};
    return list;
}

}  // namespace

bool DockToolBar::LoadImages(bool rebuild) {
    // The largest strip that is not larger than the DPI asks for.
    const int wanted = dpi_.Scale(baseImage_.cx);
    UINT bitmapId = resourceId_;
    int width = baseImage_.cx;
    for (const ImageStrip& strip : strips_) {
        if (strip.width <= wanted && strip.width > width) {
            width = strip.width;
            bitmapId = strip.bitmapId;
        }
    }
    if (!images_ || bitmapId != stripShown_ || rebuild) {
        ImageListHandle list = MappedImages(bitmapId, width, imageCount_);
        int height = 0;
        if (!list || !ImageList_GetIconSize(list.get(), &width, &height)) return false;
        SendMessageW(hwnd(), TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
        SendMessageW(hwnd(), TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
        images_ = std::move(list);  // the bar no longer uses the old list
        stripShown_ = bitmapId;
    }
    // The padding is the DPI's even when the pictures stay (175 % shows those
    // of 150 %): kept from the scale before, it would outlive a change back.
    // The button grows with its padding; the control centres the image in
    // it (TB_SETPADDING would move the image off centre on Wine).
    int height = 0;
    ImageList_GetIconSize(images_.get(), &width, &height);
    const SIZE padding{dpi_.Scale(kPadding.cx), dpi_.Scale(kPadding.cy)};
    SendMessageW(hwnd(), TB_SETBUTTONSIZE, 0, MAKELPARAM(width + padding.cx, height + padding.cy));
    InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
}

void DockToolBar::RefreshImages() {
    LoadImages(true);
    MeasureLayouts();
}

Result DockToolBar::OnSysColorChange(WPARAM, LPARAM) {
    RefreshImages();
    return std::nullopt;  // the control takes its new colours as well
}

void DockToolBar::SetDpi(Dpi dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    LoadImages();
    const auto count = static_cast<int>(SendMessageW(hwnd(), TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessageW(hwnd(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (!(b.fsStyle & BTNS_SEP)) continue;
        TBBUTTONINFOW info{sizeof info, TBIF_BYINDEX | TBIF_SIZE};
        info.cx = static_cast<WORD>(dpi_.Scale(kSeparator));
        SendMessageW(hwnd(), TB_SETBUTTONINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    MeasureLayouts();
    // The gripper's width changes with the DPI.
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

std::vector<UINT> DockToolBar::ButtonIds() const {
    std::vector<UINT> ids;
    const auto count = static_cast<int>(SendMessageW(hwnd(), TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessageW(hwnd(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (!(b.fsStyle & BTNS_SEP)) ids.push_back(static_cast<UINT>(b.idCommand));
    }
    return ids;
}

void DockToolBar::UpdateButtons() {
    for (UINT id : ButtonIds()) {
        CommandUi ui{id};
        frame_->RouteUpdate(ui);
        const bool enabled = ui.enabled.value_or(false);
        if ((SendMessageW(hwnd(), TB_ISBUTTONENABLED, id, 0) != 0) != enabled)
            SendMessageW(hwnd(), TB_ENABLEBUTTON, id, MAKELPARAM(enabled, 0));
        if (ui.checked) SendMessageW(hwnd(), TB_CHECKBUTTON, id, MAKELPARAM(*ui.checked, 0));
    }
}

void DockToolBar::LayOutButtons(int rows) {
    rows_ = std::max(1, rows);
    WrapButtons(rows_);
}

void DockToolBar::WrapButtons(int rows) {
    // The rows are ours to choose: a line break (TBSTATE_WRAP) after every
    // so many buttons, a separator on a line of its own in a single column.
    const auto count = static_cast<int>(SendMessageW(hwnd(), TB_BUTTONCOUNT, 0, 0));
    std::vector<TBBUTTON> buttons(static_cast<std::size_t>(count));
    int real = 0;
    for (int i = 0; i < count; ++i) {
        SendMessageW(hwnd(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&buttons[i]));
        if (!(buttons[i].fsStyle & BTNS_SEP)) ++real;
    }
    const int perRow = std::max(1, (real + std::max(1, rows) - 1) / std::max(1, rows));
    int seen = 0;
    for (int i = 0; i < count; ++i) {
        BYTE state = buttons[i].fsState & ~TBSTATE_WRAP;
        const bool separator = buttons[i].fsStyle & BTNS_SEP;
        if (!separator) ++seen;
        const bool last = seen == real;
        if ((separator && perRow == 1) || (!separator && !last && seen % perRow == 0)) state |= TBSTATE_WRAP;
        TBBUTTONINFOW info{sizeof info, TBIF_BYINDEX | TBIF_STATE};
        info.fsState = state;
        SendMessageW(hwnd(), TB_SETBUTTONINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(hwnd(), TB_AUTOSIZE, 0, 0);
}

// Only the control knows where its buttons go; it is asked once for every
// number of rows, so that measuring a layout (while a drag outline follows
// the cursor, say) never changes the one on screen.
void DockToolBar::MeasureLayouts() {
    layoutSizes_.clear();
    const auto count = static_cast<int>(SendMessageW(hwnd(), TB_BUTTONCOUNT, 0, 0));
    const auto buttons = static_cast<int>(ButtonIds().size());
    for (int rows = 1; rows <= buttons; ++rows) {
        WrapButtons(rows);
        SIZE size{};
        for (int i = 0; i < count; ++i) {
            RECT item{};
            if (SendMessageW(hwnd(), TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) {
                size.cx = std::max(size.cx, item.right);
                size.cy = std::max(size.cy, item.bottom);
            }
        }
        layoutSizes_.push_back(size);
    }
    WrapButtons(rows_);
}

SIZE DockToolBar::ButtonsSize(int rows) const {
    if (layoutSizes_.empty()) return {};
    // More rows than buttons lay out as one button a row.
    return layoutSizes_[static_cast<std::size_t>(std::clamp(rows, 1, static_cast<int>(layoutSizes_.size())) - 1)];
}

int DockToolBar::DockedRows(bool verticalBar) const {
    return verticalBar ? std::max(1, static_cast<int>(layoutSizes_.size())) : 1;
}

SIZE DockToolBar::DockedSize(bool verticalBar) const {
    SIZE s = ButtonsSize(DockedRows(verticalBar));
    if (verticalBar)
        s.cy += gripperSpace();
    else
        s.cx += gripperSpace();
    return s;
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
    frame_->RecalcLayout();
}

void DockToolBar::Dock(DockSide side) {
    if (side == DockSide::Floating) return;
    const bool wasShown = IsShown();
    const bool wasFloating = side_ == DockSide::Floating;
    side_ = side;
    lastDocked_ = side;
    if (GetParent(hwnd()) != frame_->hwnd()) SetParent(hwnd(), frame_->hwnd());
    if (floatFrame_) ShowWindow(floatFrame_->hwnd(), SW_HIDE);
    SetDpi(frame_->dpi());
    LayOutButtons(DockedRows(vertical()));
    // The gripper's edge changes with the orientation.
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(hwnd(), (wasShown || !wasFloating) ? SW_SHOWNA : SW_HIDE);
    frame_->RecalcLayout();
}

void DockToolBar::Float(POINT screenTopLeft) {
    if (!floatFrame_) {
        floatFrame_ = std::make_unique<FloatFrame>(*this);
        if (!floatFrame_->Create(frame_->hwnd())) {
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
    frame_->RecalcLayout();
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
    const int inset = dpi_.Scale(2), across = dpi_.Scale(5);
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
    const DockSide side = frame_->DockSideAt(screen);
    const SIZE s = DockedSize(side == DockSide::Left || side == DockSide::Right);
    const int offset = dpi_.Scale(4);
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
    const DockSide side = frame_->DockSideAt(cursor);
    if (side == DockSide::Floating)
        Float({dragFrame_.left, dragFrame_.top});
    else if (side != side_)
        Dock(side);
}

}  // namespace kolt::win
