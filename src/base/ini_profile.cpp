#include "base/ini_profile.h"

#include "base/cp932.h"

namespace kolt {
namespace {

// The document is edited in its own code units (bytes, or UTF-16 units held
// in a std::u16string) so that untouched lines keep their exact bytes.
template <class C>
struct Line {
    std::size_t begin;  // first unit of the line
    std::size_t end;    // one past its content (before the line break)
    std::size_t next;   // one past its line break
};

template <class C>
std::vector<Line<C>> SplitLines(const std::basic_string<C>& s, std::size_t start) {
    std::vector<Line<C>> lines;
    std::size_t i = start;
    while (i < s.size()) {
        std::size_t j = i;
        while (j < s.size() && s[j] != C('\r') && s[j] != C('\n'))
            ++j;
        std::size_t next = j;
        if (next < s.size()) {
            next += (s[next] == C('\r') && next + 1 < s.size() && s[next + 1] == C('\n')) ? 2 : 1;
        }
        lines.push_back({i, j, next});
        i = next;
    }
    return lines;
}

template <class C>
bool IsBlank(C c) {
    return c == C(' ') || c == C('\t') || c == C('\v');
}

template <class C>
std::basic_string_view<C> Trim(std::basic_string_view<C> v) {
    while (!v.empty() && IsBlank(v.front()))
        v.remove_prefix(1);
    while (!v.empty() && IsBlank(v.back()))
        v.remove_suffix(1);
    return v;
}

template <class C>
bool NameEquals(std::basic_string_view<C> a, std::basic_string_view<C> b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        C x = a[i], y = b[i];
        if (x >= C('a') && x <= C('z')) x = C(x - 32);
        if (y >= C('a') && y <= C('z')) y = C(y - 32);
        if (x != y) return false;
    }
    return true;
}

enum class Kind { Blank, Comment, Section, Key, Other };

template <class C>
struct Parsed {
    Kind kind = Kind::Other;
    std::basic_string_view<C> name;   // section name or key
    std::basic_string_view<C> value;  // key value, trimmed
};

template <class C>
Parsed<C> Classify(const std::basic_string<C>& s, const Line<C>& line) {
    const auto text = Trim(std::basic_string_view<C>(s).substr(line.begin, line.end - line.begin));
    Parsed<C> p;
    if (text.empty()) {
        p.kind = Kind::Blank;
        return p;
    }
    if (text.front() == C('[')) {
        auto rest = text.substr(1);
        const auto close = rest.find(C(']'));
        p.kind = Kind::Section;
        p.name = Trim(close == rest.npos ? rest : rest.substr(0, close));
        return p;
    }
    if (text.front() == C(';')) {
        p.kind = Kind::Comment;
        return p;
    }
    const auto eq = text.find(C('='));
    if (eq == text.npos) return p;
    p.kind = Kind::Key;
    p.name = Trim(text.substr(0, eq));
    p.value = Trim(text.substr(eq + 1));
    return p;
}

// Where a section and a key stand in the document.
template <class C>
struct Location {
    bool sectionFound = false;
    std::size_t lastKeyLine = 0;  // index of the last key line of the section (or the header)
    std::optional<std::size_t> keyLine;
};

template <class C>
Location<C> Find(const std::basic_string<C>& s, const std::vector<Line<C>>& lines, std::basic_string_view<C> section,
                 std::basic_string_view<C> key) {
    Location<C> loc;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed<C> p = Classify(s, lines[i]);
        if (p.kind == Kind::Section) {
            if (loc.sectionFound) break;  // only the first section of the name counts
            if (NameEquals(p.name, section)) {
                loc.sectionFound = true;
                loc.lastKeyLine = i;
            }
        } else if (loc.sectionFound && p.kind == Kind::Key) {
            loc.lastKeyLine = i;
            if (!loc.keyLine && NameEquals(p.name, key)) loc.keyLine = i;
        }
    }
    return loc;
}

std::u16string ToUnits(std::string_view cp932, char16_t) {
    return Cp932ToUtf16(cp932);
}
std::string ToUnits(std::string_view cp932, char) {
    return std::string(cp932);
}

template <class C>
std::optional<std::string> Get(const std::basic_string<C>& s, std::size_t start, std::string_view section,
                               std::string_view key) {
    const auto sec = ToUnits(section, C());
    const auto k = ToUnits(key, C());
    const auto lines = SplitLines(s, start);
    const Location<C> loc = Find<C>(s, lines, sec, k);
    if (!loc.keyLine) return std::nullopt;
    auto value = Classify(s, lines[*loc.keyLine]).value;
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == C('"') || value.front() == C('\'')))
        value = value.substr(1, value.size() - 2);
    if constexpr (sizeof(C) == 1)
        return std::string(value);
    else
        return Utf16ToCp932(value);
}

template <class C>
void Set(std::basic_string<C>& s, std::size_t start, std::string_view section, std::string_view key,
         std::string_view value) {
    const auto sec = ToUnits(section, C());
    const auto k = ToUnits(key, C());
    const auto v = ToUnits(value, C());
    const std::basic_string<C> crlf{C('\r'), C('\n')};
    const auto lines = SplitLines(s, start);
    const Location<C> loc = Find<C>(s, lines, sec, k);
    if (loc.keyLine) {
        const Line<C>& line = lines[*loc.keyLine];
        const std::basic_string<C> spelled(Classify(s, line).name);
        s.replace(line.begin, line.next - line.begin, spelled + C('=') + v + crlf);
        return;
    }
    if (loc.sectionFound) {
        const Line<C>& after = lines[loc.lastKeyLine];
        std::basic_string<C> insert = k + C('=') + v + crlf;
        if (after.next == after.end) insert = crlf + insert;  // that line ends the file without a break
        s.insert(after.next, insert);
        return;
    }
    std::basic_string<C> tail;
    if (s.size() > start && s.back() != C('\n') && s.back() != C('\r')) tail = crlf;
    tail += C('[');
    tail += sec;
    tail += C(']');
    tail += crlf + k + C('=') + v + crlf;
    s += tail;
}

bool HasUtf16Bom(const std::string& b) {
    return b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xFE;
}

std::u16string AsUnits(const std::string& bytes) {
    std::u16string u;
    u.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        u += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return u;
}

std::string AsBytes(const std::u16string& units, const std::string& original) {
    std::string b;
    b.reserve(units.size() * 2 + 1);
    for (char16_t c : units) {
        b += static_cast<char>(c & 0xFF);
        b += static_cast<char>(c >> 8);
    }
    if (original.size() % 2) b += original.back();  // an odd trailing byte is kept as it was
    return b;
}

}  // namespace

IniDocument::IniDocument(std::string bytes) : bytes_(std::move(bytes)), utf16_(HasUtf16Bom(bytes_)) {}

std::optional<std::string> IniDocument::GetString(std::string_view section, std::string_view key) const {
    if (utf16_) return Get(AsUnits(bytes_), 1, section, key);
    return Get(bytes_, 0, section, key);
}

std::int32_t IniDocument::GetInt(std::string_view section, std::string_view key, std::int32_t fallback) const {
    const auto value = GetString(section, key);
    if (!value || value->empty()) return fallback;
    return ParseProfileInt(*value);
}

void IniDocument::SetString(std::string_view section, std::string_view key, std::string_view value) {
    if (utf16_) {
        std::u16string units = AsUnits(bytes_);
        Set(units, 1, section, key, value);
        bytes_ = AsBytes(units, bytes_);
    } else {
        Set(bytes_, 0, section, key, value);
    }
}

std::int32_t ParseProfileInt(std::string_view v) {
    std::size_t i = 0;
    while (i < v.size() &&
           (v[i] == ' ' || v[i] == '\t' || v[i] == '\v' || v[i] == '\r' || v[i] == '\n' || v[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    std::uint32_t n = 0;  // wraps modulo 2^32 as the platform's reader does
    if (i + 1 < v.size() && v[i] == '0' && (v[i + 1] == 'x' || v[i + 1] == 'X')) {
        for (i += 2; i < v.size(); ++i) {
            const char c = v[i];
            unsigned d;
            if (c >= '0' && c <= '9')
                d = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = static_cast<unsigned>(c - 'A' + 10);
            else
                break;
            n = n * 16u + d;
        }
    } else {
        for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
            n = n * 10u + static_cast<unsigned>(v[i] - '0');
    }
    if (negative) n = 0u - n;
    return static_cast<std::int32_t>(n);
}

}  // namespace kolt
