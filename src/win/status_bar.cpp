#include "win/status_bar.h"

#include <commctrl.h>

#include "base/owners_win.h"
#include "win/screen_text.h"

namespace kolt::win {

bool StatusBar::Create(BarHost& host, UINT id) {
    dpi_ = host.HostDpi();
    return CreateControl(0, STATUSCLASSNAMEW, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, RECT{}, host.HostWindow(), id);
}

bool StatusBar::IsShown() const {
    return (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT StatusBar::Layout(const RECT& space) {
    if (!IsShown()) return space;
    RECT left = space;
    left.bottom -= Fit(space);
    return left;
}

bool StatusBar::SetIndicators(std::vector<UINT> ids) {
    if (ids.empty()) return false;
    indicators_ = std::move(ids);
    indicatorTexts_.clear();
    for (UINT id : indicators_)
        indicatorTexts_.push_back(id ? LoadStringWide(id).value_or(std::wstring()) : std::wstring());
    MeasureIndicators();
    RECT client{};
    GetClientRect(GetParent(hwnd()), &client);
    Fit(client);
    return true;
}

void StatusBar::MeasureIndicators() {
    widths_.clear();
    WindowDc dc(hwnd());
    const SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    for (const std::wstring& text : indicatorTexts_) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        widths_.push_back(size.cx + dpi_.Scale(kPanePadding));
    }
}

void StatusBar::SetDpi(Dpi dpi) {
    if (dpi == dpi_) return;
    font_.Apply(hwnd(), dpi_, dpi);
    dpi_ = dpi;
    MeasureIndicators();
    RECT client{};
    GetClientRect(GetParent(hwnd()), &client);
    Fit(client);
}

int StatusBar::Fit(const RECT& parentClient) {
    // The control fits itself to the bottom of its parent, at its font's height.
    SendMessageW(hwnd(), WM_SIZE, 0, 0);
    RECT own{};
    GetWindowRect(hwnd(), &own);
    const int height = own.bottom - own.top;
    const int width = parentClient.right - parentClient.left;
    // Right edges of the parts: the indicators keep their widths from the right.
    const int grip = dpi_.Metric(SM_CXVSCROLL);
    std::vector<int> edges(indicators_.size());
    int right = width - grip;
    for (std::size_t i = indicators_.size(); i-- > 1;) {
        edges[i] = right;
        right -= widths_[i];
    }
    if (!edges.empty()) {
        edges[0] = right > 0 ? right : 0;
        edges.back() = -1;
    }
    SendMessageW(hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    return height;
}

void StatusBar::SetPaneText(std::string_view cp932, std::size_t pane) {
    const std::wstring text = Wide(cp932);
    SendMessageW(hwnd(), SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(text.c_str()));
    UpdateWindow(hwnd());
}

void StatusBar::ShowIndicator(std::size_t pane, bool on) {
    if (pane == 0 || pane >= indicators_.size()) return;
    const std::wstring& want = on ? indicatorTexts_[pane] : std::wstring();
    const LRESULT info = SendMessageW(hwnd(), SB_GETTEXTLENGTHW, pane, 0);
    std::wstring current(LOWORD(info) + 1u, L'\0');
    SendMessageW(hwnd(), SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(current.data()));
    current.resize(LOWORD(info));
    // Setting the same text again would only make the bar flicker at every idle.
    if (current != want) SendMessageW(hwnd(), SB_SETTEXTW, pane, reinterpret_cast<LPARAM>(want.c_str()));
}

}  // namespace kolt::win
