// Portable half of the CP932 helpers: the multibyte-aware scans and the
// UTF-8 <-> UTF-16 conversions. The CP932 <-> UTF-16 tables come from the
// platform (cp932_win.cpp, cp932_posix.cpp).
#include "base/cp932.h"

namespace kolt {

std::size_t FindChar(std::string_view s, char sep, std::size_t from) {
    for (std::size_t i = from; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(c)) {
            ++i;  // the next byte belongs to this character, whatever its value
            continue;
        }
        if (s[i] == sep) return i;
    }
    return std::string_view::npos;
}

std::size_t FindLastChar(std::string_view s, char sep) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = FindChar(s, sep); i != std::string_view::npos; i = FindChar(s, sep, i + 1))
        found = i;
    return found;
}

std::string ShortenText(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return std::string(s);
    std::size_t keep = 0;
    while (keep < maxBytes) {
        const std::size_t next = keep + (IsLeadByte(static_cast<unsigned char>(s[keep])) ? 2 : 1);
        if (next > maxBytes) break;
        keep = next;
    }
    return std::string(s.substr(0, keep)) + "...";
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    bool trail = false;  // the byte at i is the second byte of a double-byte character
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (!trail) {
            if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
            if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
        }
        if (ca != cb) return ca < cb ? -1 : 1;
        trail = !trail && IsLeadByte(ca);
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate has no UTF-8 form
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view s, bool* valid) {
    std::u16string out;
    out.reserve(s.size());
    bool ok = true;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int len = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b0 < 0x80) {
            len = 1;
            c = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            len = 2;
            c = b0 & 0x1F;
            min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3;
            c = b0 & 0x0F;
            min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4;
            c = b0 & 0x07;
            min = 0x10000;
        }
        bool good = len > 0 && i + len <= s.size();
        for (int k = 1; good && k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80)
                good = false;
            else
                c = (c << 6) | (b & 0x3F);
        }
        if (good && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) good = false;
        if (!good) {
            ok = false;
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += static_cast<std::size_t>(len);
    }
    if (valid) *valid = ok;
    return out;
}

std::string Cp932ToUtf8(std::string_view s) {
    return Utf16ToUtf8(Cp932ToUtf16(s));
}

std::optional<std::string> Utf8ToCp932(std::string_view s) {
    bool valid = false;
    const std::u16string wide = Utf8ToUtf16(s, &valid);
    if (!valid) return std::nullopt;
    bool lossless = false;
    std::string out = Utf16ToCp932(wide, &lossless);
    if (!lossless) return std::nullopt;
    return out;
}

}  // namespace kolt
