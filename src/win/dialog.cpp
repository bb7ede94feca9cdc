#include "win/dialog.h"

namespace kolt::win {

const MessageMap& Dialog::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&Dialog::OnInitDialogMessage>(WM_INITDIALOG),
        OnCommand<&Dialog::OnOKCommand>(IDOK),
        OnCommand<&Dialog::OnCancelCommand>(IDCANCEL),
    };
    static constexpr MessageMap kMap{&Window::Messages, kEntries};
    return kMap;
}

INT_PTR Dialog::DoModal(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &DialogProc,
                           reinterpret_cast<LPARAM>(static_cast<Window*>(this)));
}

void Dialog::EndDialog(INT_PTR result) {
    ::EndDialog(hwnd(), result);
}

}  // namespace kolt::win
