// The order in which the About box looks for a text in a version record, kept
// apart from the Win32 version functions so that it can be read and tested on
// any platform: first the record's own first translation, then a fixed list of
// 540 (language, code page) pairs, code pages in the outer loop. A record whose
// string table does not match its translation list is still read that way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kolt::version {

struct Translation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
    friend constexpr bool operator==(const Translation&, const Translation&) = default;
};

inline constexpr std::array<std::uint16_t, 12> kFallbackCodePages = {
    0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256,
};

// 0x0401 to 0x0421, then the sublanguage variants.
inline constexpr std::array<std::uint16_t, 45> kFallbackLanguages = [] {
    std::array<std::uint16_t, 45> languages{};
    std::size_t n = 0;
    for (std::uint16_t id = 0x0401; id <= 0x0421; ++id)
        languages[n++] = id;
    for (std::uint16_t id :
         {0x0804, 0x0807, 0x0809, 0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C, 0x100C}) {
        languages[n++] = id;
    }
    return languages;
}();

inline constexpr std::size_t kFallbackCount = kFallbackCodePages.size() * kFallbackLanguages.size();

// The i-th pair of the fallback order, 0 <= i < kFallbackCount.
constexpr Translation FallbackTranslation(std::size_t i) {
    return {kFallbackLanguages[i % kFallbackLanguages.size()], kFallbackCodePages[i / kFallbackLanguages.size()]};
}

// "\StringFileInfo\" + language and code page as four lower-case hex digits
// each + "\" + name: the path of a text value for one translation.
inline std::string StringValuePath(Translation t, std::string_view name) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string path = "\\StringFileInfo\\";
    for (std::uint16_t part : {t.language, t.codePage}) {
        for (int shift = 12; shift >= 0; shift -= 4)
            path += kHex[(part >> shift) & 0xF];
    }
    path += '\\';
    path += name;
    return path;
}

}  // namespace kolt::version
