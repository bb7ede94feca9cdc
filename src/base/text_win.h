// The edge between the program's CP932 text and the wide Win32 functions.
// Text for the screen may lose a character CP932 has no form for ('?' takes
// its place); a name that would be stored or entered must not, so it is
// refused instead (NarrowExact).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kolt {

// CP932 -> UTF-16; a byte sequence that is not CP932 becomes U+FFFD.
std::wstring Wide(std::string_view cp932);
// UTF-16 -> CP932 for display: characters without a CP932 form become '?'.
std::string Narrow(std::wstring_view wide);
// UTF-16 -> CP932 for a path or name that will be kept or used again;
// nullopt when some character has no CP932 form.
std::optional<std::string> NarrowExact(std::wstring_view wide);

// UTF-8 <-> UTF-16, for the text that is UTF-8 inside: the file layer's paths
// and the console's. Invalid sequences become U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// The same UTF-16 units as the portable code's char16_t and as Win32's
// wchar_t (both 16 bits on Windows): a view, no copy.
inline std::u16string_view AsUtf16(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}
inline std::wstring_view AsWide(std::u16string_view utf16) {
    return {reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size()};
}

// The system's description of error code `error`, without the line break it
// ends with; "(code)" when the system has none.
std::wstring SystemErrorText(unsigned long error);

// The full path of this program's file, however long; empty if it cannot be had.
std::wstring ModulePath();

}  // namespace kolt
