// Display scale. Every pixel size written in this program is a size at 96 dpi
// (100 %), scaled at the point of use for the DPI of the window it is for.
// A top-level window keeps its DPI in a Dpi value, taken when it is created
// and replaced from the wParam of WM_DPICHANGED (Wine answers a query made
// then with the system DPI, not the new one).
//
// The functions that know a window's own DPI came with Windows 10; they are
// looked up at run time, and on an older system every window has the system
// DPI, so the program starts on Windows 7 as before.
#pragma once

#include <windows.h>

#include <optional>

#include "base/owners_win.h"
#include "win/dpi_scale.h"

namespace kolt::win {

// The DPI the whole desktop was set to when the program started.
UINT SystemDpi();
// The DPI of a window: its monitor's under per-monitor awareness, else the
// system DPI.
UINT DpiOfWindow(HWND hwnd);

// A system metric (SM_CXICON, SM_CXVSCROLL, ...) for a DPI.
int SystemMetricForDpi(int index, UINT dpi);
// AdjustWindowRectEx for a window of that DPI.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);
// Leaves the scaling of a template dialog to us when the DPI changes: a
// system that re-scales dialogs itself (Windows 10 1703 and later, under
// per-monitor v2) would otherwise scale the dialog and its controls twice.
// Nothing to do where the functions do not exist.
void TakeOverDialogScaling(HWND dialog);

// The rectangle a WM_DPICHANGED suggests, read without trusting the pointer:
// any process can send the message, with a number that means nothing here.
// Nothing when it cannot be read or is not a rectangle.
std::optional<RECT> ReadSuggestedRect(LPARAM lParam);

// A control's font at any DPI, made each time from the font the control had
// before the first change and the DPI of then, never from the last scaled
// copy: after any trip through other scales the control has the font that a
// single change would give it, and back at the first DPI its very own font.
class ControlFont {
public:
    // Gives `control`, and all its child windows when `children`, the font
    // for `now`; the first call takes the control's font as it is, at `old`.
    void Apply(HWND control, Dpi old, Dpi now, bool children = false);

private:
    bool taken_ = false;
    HFONT original_ = nullptr;  // not ours: the control's own (or none)
    DpiKept<LOGFONTW> face_;    // the original's description, at the DPI of then
    FontHandle scaled_;         // the copy in use, when it is not the original
};

}  // namespace kolt::win
