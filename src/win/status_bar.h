// The frame's status bar: pane 0 is the message pane and takes the width the
// indicators leave; each further pane shows the string resource numbered by
// its indicator id while its command-UI state is enabled (Caps Lock on, ...).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/owners_win.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kolt::win {

class FrameWindow;

class StatusBar : public Window {
public:
    bool Create(FrameWindow& frame, UINT id);
    // Indicator ids, pane by pane; 0 is the message pane.
    bool SetIndicators(std::vector<UINT> ids);
    std::size_t paneCount() const { return indicators_.size(); }
    UINT IndicatorId(std::size_t pane) const { return pane < indicators_.size() ? indicators_[pane] : 0; }

    void SetPaneText(std::size_t pane, std::string_view cp932);
    // Shows an indicator pane's text or hides it.
    void ShowIndicator(std::size_t pane, bool on);

    // Fits the bar to the bottom of its parent's client area; returns its height.
    int Layout(const RECT& parentClient);

    // Re-scales the font and the indicator panes.
    void SetDpi(Dpi dpi);

private:
    void MeasureIndicators();

    static constexpr int kPanePadding = 12;  // beside an indicator's text, at 96 dpi
    Dpi dpi_;
    ControlFont font_;
    std::vector<UINT> indicators_;
    std::vector<std::wstring> indicatorTexts_;
    std::vector<int> widths_;
};

}  // namespace kolt::win
