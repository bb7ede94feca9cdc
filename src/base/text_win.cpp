#include "base/text_win.h"

#include <windows.h>

#include <vector>

#include "base/cp932.h"

namespace kolt {

std::wstring Wide(std::string_view cp932) {
    return std::wstring(AsWide(Cp932ToUtf16(cp932)));
}

std::string Narrow(std::wstring_view wide) {
    return Utf16ToCp932(AsUtf16(wide));
}

std::optional<std::string> NarrowExact(std::wstring_view wide) {
    bool lossless = true;
    std::string s = Utf16ToCp932(AsUtf16(wide), &lossless);
    if (!lossless) return std::nullopt;
    return s;
}

std::wstring WideFromUtf8(std::string_view utf8) {
    return std::wstring(AsWide(Utf8ToUtf16(utf8)));
}

std::string Utf8FromWide(std::wstring_view wide) {
    return Utf16ToUtf8(AsUtf16(wide));
}

std::wstring SystemErrorText(unsigned long error) {
    wchar_t* description = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&description), 0, nullptr);
    std::wstring text = length ? std::wstring(description, length) : L"(" + std::to_wstring(error) + L")";
    LocalFree(description);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        // Long paths are at most 32767 characters; a bigger buffer cannot help.
        if (buffer.size() >= 32768 * 2) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace kolt
