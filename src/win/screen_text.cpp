#include "win/screen_text.h"

#include "win/framework_ids.h"

namespace kolt::win {

std::string GetWindowTextCp932(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    // The length is an upper bound (it may count a DBCS conversion); the copy
    // tells the real one.
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Narrow(text);
}

void SetWindowTextCp932(HWND hwnd, std::string_view text) {
    SetWindowTextW(hwnd, Wide(text).c_str());
}

std::optional<std::wstring> LoadStringWide(UINT id) {
    // With a zero buffer size LoadStringW hands out a pointer to the resource
    // itself, so no length has to be guessed.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return std::nullopt;
    return std::wstring(text, static_cast<std::size_t>(length));
}

std::optional<std::string> LoadStringCp932(UINT id) {
    auto wide = LoadStringWide(id);
    if (!wide) return std::nullopt;
    return Narrow(*wide);
}

int ShowMessage(HWND owner, std::wstring_view text, UINT flags) {
    const std::wstring caption = LoadStringWide(IDS_APP_TITLE).value_or(std::wstring());
    return MessageBoxW(owner, std::wstring(text).c_str(), caption.c_str(), flags);
}

int ShowMessage(HWND owner, std::string_view cp932, UINT flags) {
    return ShowMessage(owner, Wide(cp932), flags);
}

}  // namespace kolt::win
