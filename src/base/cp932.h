// Code page 932 (Shift JIS) byte strings are the program's one text form: file
// contents, names, paths and command lines all stay in these bytes. This header
// holds the multibyte-aware primitives every reader needs and the two explicit
// conversions to UTF-16 and UTF-8 used at the edges (screen, file system,
// console). Nothing here depends on the user's locale or ANSI code page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kolt {

// True for a byte that starts a double-byte character in code page 932.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Position of the first character `sep` (a single-byte character) at or after
// `from`, skipping the second byte of every double-byte character; npos if
// none. `from` must be at a character boundary.
std::size_t FindChar(std::string_view s, char sep, std::size_t from = 0);

// Position of the last character `sep`, multibyte-aware; npos if none.
std::size_t FindLastChar(std::string_view s, char sep);

// Byte-wise comparison in which only the single-byte ASCII letters A-Z/a-z are
// compared without regard to case; both bytes of a double-byte character are
// compared exactly. Returns <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

// `s` cut at a character boundary to at most `maxBytes` bytes, with "..."
// after it when anything was cut.
std::string ShortenText(std::string_view s, std::size_t maxBytes);

// CP932 -> UTF-16. A byte sequence that is not valid CP932 becomes U+FFFD.
std::u16string Cp932ToUtf16(std::string_view s);
// UTF-16 -> CP932. Characters without a CP932 form become '?'. Sets *lossless
// to false when that happened.
std::string Utf16ToCp932(std::u16string_view s, bool* lossless = nullptr);

// CP932 -> UTF-8 (undecodable bytes become U+FFFD).
std::string Cp932ToUtf8(std::string_view s);
// UTF-8 -> CP932; nullopt when `s` is not valid UTF-8 or has a character that
// CP932 cannot hold.
std::optional<std::string> Utf8ToCp932(std::string_view s);

std::string Utf16ToUtf8(std::u16string_view s);
// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s, bool* valid = nullptr);

}  // namespace kolt
