// CP932 <-> UTF-16 through glibc's iconv tables (the "CP932" converter, which
// maps 0x5C to the backslash and 0x7E to the tilde as Windows does).
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "base/cp932.h"

namespace kolt {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns false at an invalid or unmappable
    // sequence (in/out then point at it), true at the end of the input.
    bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char buf[256];
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            char* src = const_cast<char*>(in);
            const std::size_t r = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            in = src;
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::u16string Cp932ToUtf16(std::string_view s) {
    thread_local Converter conv("UTF-16LE", "CP932");
    std::string bytes;
    const char* in = s.data();
    std::size_t left = s.size();
    std::u16string out;
    while (true) {
        bytes.clear();
        const bool done = conv.Run(in, left, bytes);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (done) break;
        out += u'\uFFFD';  // one undecodable byte; decoding resumes after it
        ++in;
        --left;
    }
    return out;
}

std::string Utf16ToCp932(std::u16string_view s, bool* lossless) {
    thread_local Converter conv("CP932", "UTF-16LE");
    std::string bytes;
    bytes.reserve(s.size() * 2);
    for (char16_t c : s) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    std::string out;
    bool ok = true;
    while (!conv.Run(in, left, out)) {
        ok = false;
        out += '?';
        // skip one UTF-16 unit, or a whole surrogate pair
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                                (left > 1 ? static_cast<unsigned char>(in[1]) << 8 : 0));
        std::size_t skip = (unit >= 0xD800 && unit <= 0xDBFF && left >= 4) ? 4 : 2;
        if (skip > left) skip = left;
        in += skip;
        left -= skip;
    }
    if (lossless) *lossless = ok;
    return out;
}

}  // namespace kolt
