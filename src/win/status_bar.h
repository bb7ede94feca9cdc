// The frame's status bar: pane 0 is the message pane and takes the width the
// indicators leave; each further pane shows the string resource numbered by
// its indicator id while its command-UI state is enabled (Caps Lock on, ...).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/owners_win.h"
#include "win/bar_host.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kolt::win {

class StatusBar : public Window {
public:
    bool Create(BarHost& host, UINT id);
    // Indicator ids, pane by pane; 0 is the message pane.
    bool SetIndicators(std::vector<UINT> ids);
    std::size_t paneCount() const { return indicators_.size(); }
    UINT IndicatorId(std::size_t pane) const { return pane < indicators_.size() ? indicators_[pane] : 0; }

    void SetPaneText(std::string_view cp932, std::size_t pane);
    // Shows an indicator pane's text or hides it.
    void ShowIndicator(std::size_t pane, bool on);

    // Whether the bar is switched on (the View menu), shown or not its frame.
    bool IsShown() const;
    // Switched on, the bar fits itself to the bottom of `space`, its parent's
    // client area, and gives back the rest; switched off, it takes nothing.
    RECT Layout(const RECT& space);

    // Re-scales the font and the indicator panes.
    void SetDpi(Dpi dpi);

private:
    void MeasureIndicators();
    // Fits the bar to the bottom of its parent's client area; returns its height.
    int Fit(const RECT& parentClient);

    static constexpr int kPanePadding = 12;  // beside an indicator's text, at 96 dpi
    Dpi dpi_;
    ControlFont font_;
    std::vector<UINT> indicators_;
    std::vector<std::wstring> indicatorTexts_;
    std::vector<int> widths_;
};

}  // namespace kolt::win
