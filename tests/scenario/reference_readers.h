// Deliberately plain versions of the readers, written straight from the file
// rules over a whole file held in memory: the randomised tests and the fuzzers
// hold the streaming readers to them.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kolt::test {

inline std::vector<std::string> ReferenceLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        const bool last = lf == std::string_view::npos;
        if (last) lf = text.size();
        std::size_t end = lf;
        if (!last && end > start && text[end - 1] == '\r') --end;
        lines.emplace_back(text.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

class ReferenceWords {
public:
    explicit ReferenceWords(std::string_view file, std::size_t pos) : file_(file), pos_(pos) {}
    // Only whole words count; a partial last word is the end.
    bool Next(std::uint32_t& w) {
        if (pos_ > file_.size() || file_.size() - pos_ < 4) return false;
        w = 0;
        for (int i = 3; i >= 0; --i)
            w = (w << 8) | static_cast<unsigned char>(file_[pos_ + i]);
        pos_ += 4;
        return true;
    }
    void Skip(std::size_t n) { pos_ += n; }

private:
    std::string_view file_;
    std::size_t pos_;
};

inline std::string ReferenceWindText(std::string_view file, std::uint32_t start, std::uint32_t end,
                                     std::uint32_t maxEntries) {
    ReferenceWords words(file, 64);
    std::string text;
    std::uint32_t n = 0;
    std::uint32_t w = 0;
    while (words.Next(w)) {
        if (w != 8 || n == maxEntries) continue;
        std::uint32_t t = 0, d = 0, s = 0;
        if (!words.Next(t)) break;
        if (t < start || t >= end) continue;
        if (!words.Next(d) || !words.Next(s)) break;
        if (n > 0 && n % 3 == 0) text += "\r\n";
        const auto ti = static_cast<std::int32_t>(t);
        std::ostringstream entry;
        entry << std::internal << std::setfill('0') << std::setw(2) << ti / 100 << ':' << std::setw(2) << ti % 100
              << ' ' << std::setw(3) << static_cast<std::int32_t>(d) << "\x81\x8B" << std::setw(2)
              << static_cast<std::int32_t>(s) << "kt \x81\xA8 ";
        text += entry.str();
        ++n;
    }
    if (!text.empty()) text.resize(text.size() - 3);
    return text;
}

inline std::int32_t ReferenceFlights(std::string_view file) {
    ReferenceWords words(file, 224);
    std::uint32_t a = 0, b = 0, w = 0;
    while (words.Next(w)) {
        if (w == 5) {
            ++a;
            words.Skip(104);
        } else if (w == 6) {
            ++a;
            ++b;
            words.Skip(176);
        } else if (w == 7) {
            words.Skip(4);
        }
    }
    return static_cast<std::int32_t>(a + b);
}

inline std::optional<bool> ReferenceLevel(std::string_view configIni) {
    std::optional<bool> level;
    for (const std::string& line : ReferenceLines(configIni))
        if (line.rfind("level=", 0) == 0) level = line.size() > 6 && line[6] == '1';
    return level;
}

struct ReferenceStage {
    std::int64_t highScore = 0;
    std::optional<std::string> exeValue;  // of the last "exe=" line, however long
};

inline ReferenceStage ReferenceStageIni(std::string_view ini) {
    ReferenceStage stage;
    for (const std::string& line : ReferenceLines(ini)) {
        if (line.rfind("highscore=", 0) == 0) {
            std::size_t i = 10;
            while (i < line.size() && (line[i] == ' ' || (line[i] >= '\t' && line[i] <= '\r')))
                ++i;
            bool negative = false;
            if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
            std::int64_t v = 0;
            for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
                v = std::min<std::int64_t>(v * 10 + (line[i] - '0'), std::int64_t{1} << 32);
            v = negative ? -v : v;
            stage.highScore = std::max<std::int64_t>(INT32_MIN, std::min<std::int64_t>(INT32_MAX, v));
        } else if (line.rfind("exe=", 0) == 0) {
            stage.exeValue = line.substr(4);
        }
    }
    return stage;
}

}  // namespace kolt::test
