// CP932 <-> UTF-16 through the system's own code page 932 tables, named
// explicitly so the result does not depend on the user's ANSI code page.
#include <windows.h>

#include "base/cp932.h"

namespace kolt {
namespace {
constexpr UINT kCp932 = 932;

bool DecodeStrict(std::string_view s, std::u16string& out) {
    if (s.empty()) return true;
    const int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return false;
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), w.data(), n);
    out.append(w.begin(), w.end());
    return true;
}
}  // namespace

std::u16string Cp932ToUtf16(std::string_view s) {
    std::u16string out;
    if (DecodeStrict(s, out)) return out;
    // Some byte is not CP932: decode character by character so that only the
    // bad bytes become U+FFFD, as the POSIX build does.
    out.clear();
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
        if (!DecodeStrict(s.substr(i, len), out)) {
            out += u'\uFFFD';
            len = 1;
        }
        i += len;
    }
    return out;
}

std::string Utf16ToCp932(std::u16string_view s, bool* lossless) {
    if (lossless) *lossless = true;
    if (s.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(s.data());
    const int len = static_cast<int>(s.size());
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, w, len, nullptr, 0, "?", &usedDefault);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, w, len, out.data(), n, "?", &usedDefault);
    if (lossless) *lossless = usedDefault == FALSE;
    return out;
}

}  // namespace kolt
