// Text on the screen: window texts, string resources and message boxes, in
// the program's CP932 on one side and the wide Win32 functions on the other.
// Every text that goes to or comes from a window passes through here, so the
// program shows the same characters under any system code page. (The plain
// conversions, with no window involved, are base/text_win.h.)
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/text_win.h"

namespace kolt::win {

std::string GetWindowTextCp932(HWND hwnd);
void SetWindowTextCp932(HWND hwnd, std::string_view text);

// String resource `id` of this module; nullopt when there is none.
std::optional<std::string> LoadStringCp932(UINT id);
std::optional<std::wstring> LoadStringWide(UINT id);

// A message box captioned with the application title (string IDS_APP_TITLE);
// returns the button id.
int ShowMessage(HWND owner, std::wstring_view text, UINT flags);
int ShowMessage(HWND owner, std::string_view cp932, UINT flags);

}  // namespace kolt::win
