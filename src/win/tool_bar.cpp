#include "win/tool_bar.h"

#include <algorithm>

namespace kolt::win {
namespace {
int CountButtons(const std::vector<TBBUTTON>& items) {
    return static_cast<int>(
        std::count_if(items.begin(), items.end(), [](const TBBUTTON& b) { return !(b.fsStyle & BTNS_SEP); }));
}
}  // namespace

const MessageMap& ToolBar::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&ToolBar::OnSysColorChange>(WM_SYSCOLORCHANGE),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

bool ToolBar::Create(BarHost& host, UINT id, DWORD extraStyle) {
    host_ = &host;
    dpi_ = host.HostDpi();
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | extraStyle;
    if (!CreateControl(0, TOOLBARCLASSNAMEW, style, RECT{}, host.HostWindow(), id)) return false;
    SendMessageW(hwnd(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Notifications go to the frame even while the bar lives in another window.
    SendMessageW(hwnd(), TB_SETPARENT, reinterpret_cast<WPARAM>(host.HostWindow()), 0);
    return true;
}

bool ToolBar::LoadToolBar(UINT resourceId, std::vector<ImageStrip> larger) {
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
    const WORD width = words[1], count = words[3];
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
    images_.Define({width, resourceId}, images, std::move(larger));
    if (!ApplyImages(false)) return false;
    if (!SendMessageW(hwnd(), TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()))) return false;
    MeasureLayouts();
    return true;
}

bool ToolBar::ApplyImages(bool redraw) {
    if (!images_.ApplyTo(hwnd(), dpi_, redraw)) return false;
    // The padding is the DPI's even when the pictures stay (175 % shows those
    // of 150 %): kept from the scale before, it would outlive a change back.
    // The button grows with its padding; the control centres the image in
    // it (TB_SETPADDING would move the image off centre on Wine).
    const SIZE image = images_.imageSize();
    const SIZE padding{dpi_.Scale(kPadding.cx), dpi_.Scale(kPadding.cy)};
    SendMessageW(hwnd(), TB_SETBUTTONSIZE, 0, MAKELPARAM(image.cx + padding.cx, image.cy + padding.cy));
    InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
}

void ToolBar::RefreshImages() {
    ApplyImages(true);
    MeasureLayouts();
}

Result ToolBar::OnSysColorChange(WPARAM, LPARAM) {
    RefreshImages();
    return std::nullopt;  // the control takes its new colours as well
}

void ToolBar::SetDpi(Dpi dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    ApplyImages(false);
    const std::vector<TBBUTTON> items = Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!(items[i].fsStyle & BTNS_SEP)) continue;
        TBBUTTONINFOW info{sizeof info, TBIF_BYINDEX | TBIF_SIZE};
        info.cx = static_cast<WORD>(dpi_.Scale(kSeparator));
        SendMessageW(hwnd(), TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
    }
    MeasureLayouts();
}

std::vector<TBBUTTON> ToolBar::Items() const {
    const auto count = static_cast<int>(SendMessageW(hwnd(), TB_BUTTONCOUNT, 0, 0));
    std::vector<TBBUTTON> items(static_cast<std::size_t>(std::max(0, count)));
    for (std::size_t i = 0; i < items.size(); ++i)
        SendMessageW(hwnd(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&items[i]));
    return items;
}

std::vector<UINT> ToolBar::ButtonIds() const {
    std::vector<UINT> ids;
    for (const TBBUTTON& b : Items())
        if (!(b.fsStyle & BTNS_SEP)) ids.push_back(static_cast<UINT>(b.idCommand));
    return ids;
}

void ToolBar::UpdateButtons() {
    for (UINT id : ButtonIds()) {
        CommandUi ui{id};
        host_->UpdateCommandUi(ui);
        const bool enabled = ui.enabled.value_or(false);
        if ((SendMessageW(hwnd(), TB_ISBUTTONENABLED, id, 0) != 0) != enabled)
            SendMessageW(hwnd(), TB_ENABLEBUTTON, id, MAKELPARAM(enabled, 0));
        if (ui.checked) SendMessageW(hwnd(), TB_CHECKBUTTON, id, MAKELPARAM(*ui.checked, 0));
    }
}

void ToolBar::LayOutInRows(int rows) {
    rows_ = std::max(1, rows);
    BreakLinesFor(rows_);
}

void ToolBar::BreakLinesFor(int rows) {
    // The rows are ours to choose: a line break (TBSTATE_WRAP) after every
    // so many buttons, a separator on a line of its own in a single column.
    const std::vector<TBBUTTON> items = Items();
    const int real = CountButtons(items);
    const int perRow = std::max(1, (real + std::max(1, rows) - 1) / std::max(1, rows));
    int seen = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        BYTE state = items[i].fsState & ~TBSTATE_WRAP;
        const bool separator = items[i].fsStyle & BTNS_SEP;
        if (!separator) ++seen;
        const bool last = seen == real;
        if ((separator && perRow == 1) || (!separator && !last && seen % perRow == 0)) state |= TBSTATE_WRAP;
        // The control redraws itself at every change of state, even to the
        // same state: measuring every layout would redraw the bar each time.
        if (state == items[i].fsState) continue;
        TBBUTTONINFOW info{sizeof info, TBIF_BYINDEX | TBIF_STATE};
        info.fsState = state;
        SendMessageW(hwnd(), TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(hwnd(), TB_AUTOSIZE, 0, 0);
}

// Only the control knows where its buttons go; it is asked once for every
// number of rows, so that measuring a layout (while a drag outline follows
// the cursor, say) never changes the one on screen.
void ToolBar::MeasureLayouts() {
    layoutSizes_.clear();
    const std::vector<TBBUTTON> items = Items();
    const int buttons = CountButtons(items);
    for (int rows = 1; rows <= buttons; ++rows) {
        BreakLinesFor(rows);
        SIZE size{};
        for (std::size_t i = 0; i < items.size(); ++i) {
            RECT item{};
            if (SendMessageW(hwnd(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) {
                size.cx = std::max(size.cx, item.right);
                size.cy = std::max(size.cy, item.bottom);
            }
        }
        layoutSizes_.push_back(size);
    }
    BreakLinesFor(rows_);
}

SIZE ToolBar::ButtonsSize(int rows) const {
    if (layoutSizes_.empty()) return {};
    return layoutSizes_[static_cast<std::size_t>(std::clamp(rows, 1, static_cast<int>(layoutSizes_.size())) - 1)];
}

}  // namespace kolt::win
