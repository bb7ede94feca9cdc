// Accessible names for controls whose label a screen reader would not find by
// itself. The system names an edit box after the static text that comes just
// before it in the control order, which in a form laid out in rows need not
// be the label on the box's own row. A control named here answers
// WM_GETOBJECT with the system's own accessible object for it, wrapped so
// that only its name differs: role, value, state, location and navigation
// stay the system's.
#pragma once

#include <windows.h>

namespace kolt::win {

// The static control that labels `control` in its dialog: the nearest sibling
// to its left on its row (the sibling's vertical middle within the control's
// height), if that sibling is a static control; null when the nearest one is
// some other control or there is none.
HWND LabelOnRow(HWND control);

// From now on a screen reader hears `control` named by the text, at the time
// it asks, of its LabelOnRow, or by no name at all when it has none. The
// label is decided at the first request and kept; nothing is looked at,
// loaded or created until somebody asks. False when the control cannot be
// subclassed.
bool NameAfterLabelOnRow(HWND control);

}  // namespace kolt::win
