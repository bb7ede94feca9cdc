// Typed handles on a dialog's controls, bound by id once, so that handlers
// never look controls up themselves. They do not own their windows: the
// dialog destroys its controls.
#pragma once

#include <windows.h>

#include <optional>
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
};

// A drop-down list whose entries each carry a value of the caller's.
class ComboBox : public Control {
public:
    void Clear() const { SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0); }
    void Add(const wchar_t* text, LPARAM value) const {
        const LRESULT index = SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (index >= 0) SendMessageW(hwnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), value);
    }
    // Selects the first entry that carries `value`; none when no entry does.
    void SelectValue(LPARAM value) const {
        const LRESULT count = SendMessageW(hwnd(), CB_GETCOUNT, 0, 0);
        WPARAM selection = static_cast<WPARAM>(-1);
        for (LRESULT i = 0; i < count && selection == static_cast<WPARAM>(-1); ++i)
            if (SendMessageW(hwnd(), CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == value)
                selection = static_cast<WPARAM>(i);
        SendMessageW(hwnd(), CB_SETCURSEL, selection, 0);
    }
    // The value of the selected entry; nothing while none is selected.
    std::optional<LPARAM> SelectedValue() const {
        const LRESULT index = SendMessageW(hwnd(), CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return std::nullopt;
        return SendMessageW(hwnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    }
};

}  // namespace kolt::win
