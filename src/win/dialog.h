// Modal dialogs built from a dialog template of the program's resources.
// A dialog class overrides OnInitDialog to fill its controls, lists its
// control commands in its own message table, and may override OnOK/OnCancel
// (IDOK and IDCANCEL end the dialog with that id by default).
#pragma once

#include <windows.h>

#include "win/window.h"

namespace kolt::win {

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}

    // Runs the dialog; returns the id it was ended with (IDOK, IDCANCEL, ...)
    // or -1 when it could not be created.
    INT_PTR DoModal(HWND owner);

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

protected:
    // Called once the controls exist. Return true to let the system give the
    // focus to the first tab stop, false when the dialog set the focus itself.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    void EndDialog(INT_PTR result);

private:
    Result OnInitDialogMessage(WPARAM, LPARAM) { return OnInitDialog() ? TRUE : FALSE; }
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    UINT templateId_;
};

}  // namespace kolt::win
