// What a bar sees of the frame it belongs to: the frame's window and DPI, the
// command route for the bar's buttons, the space where a bar can dock, and a
// request to lay the frame out again. The frame implements it; a bar knows
// no more of the frame than this.
#pragma once

#include <windows.h>

#include "win/dpi.h"
#include "win/message_map.h"

namespace kolt::win {

class BarHost {
public:
    virtual HWND HostWindow() const = 0;
    virtual Dpi HostDpi() const = 0;
    // The state the command route gives command `ui.id` now.
    virtual void UpdateCommandUi(CommandUi& ui) = 0;
    // The frame's client area less its status bar, in screen coordinates.
    virtual RECT DockArea() const = 0;
    // A bar changed its size, its edge or whether it shows.
    virtual void LayOutBars() = 0;

protected:
    ~BarHost() = default;
};

}  // namespace kolt::win
