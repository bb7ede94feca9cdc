// Accessible names for controls whose label a screen reader would not find by
// itself. The system names an edit box after the static text that comes just
// before it in the control order, which in a form laid out in rows need not
// be the label on the box's own row. A control named here answers
// WM_GETOBJECT with the system's own accessible object for it, wrapped so
// that only its name differs: role, value, state, location and navigation
// stay the system's.
#pragma once

#include <windows.h>

#include "win/window.h"

namespace kolt::win {

// A control that a screen reader hears named by the text, at the time it
// asks, of the static control that labels it on its row: the nearest sibling
// to its left on its row (the sibling's vertical middle within the control's
// height), if that sibling is a static control; by no name at all when the
// nearest one is some other control or there is none. The label is decided
// at the first request and kept; nothing is looked at, loaded or created
// until somebody asks. The object is the control's subclass (Window::Subclass)
// and must live as long as the control is to keep its name.
class NamedByRowLabel : public Window {
public:
    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    // False when the control cannot be subclassed.
    bool Attach(HWND control) { return Subclass(control); }

private:
    Result OnGetObject(WPARAM, LPARAM);

    bool decided_ = false;
    HWND label_ = nullptr;  // once decided; null for none
};

}  // namespace kolt::win
