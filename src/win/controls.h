// Typed handles on a dialog's controls, bound by id once, so that handlers
// never look controls up themselves. They do not own their windows: the
// dialog destroys its controls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/screen_text.h"

namespace kolt::win {

class Control {
public:
    bool Bind(HWND dialog, UINT id) {
        hwnd_ = GetDlgItem(dialog, static_cast<int>(id));
        return hwnd_ != nullptr;
    }
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

class Edit : public Control {
public:
    void SetText(std::string_view cp932) const { SetWindowTextCp932(hwnd(), cp932); }
    std::string Text() const { return GetWindowTextCp932(hwnd()); }
};

class Button : public Control {};

}  // namespace kolt::win
