#include "scenario/text_lines.h"

#include <cstring>

namespace kolt {

bool LineReader::NextLine() {
    if (started_ && !ended_) {
        // Skip the rest of the line a buffer at a time: an overlong line costs
        // time in proportion to its length and no memory.
        while (true) {
            const auto bytes = reader_.Available();
            if (bytes.empty()) break;
            const void* lf = std::memchr(bytes.data(), '\n', bytes.size());
            if (lf) {
                reader_.Skip(static_cast<const unsigned char*>(lf) - bytes.data() + 1);
                break;
            }
            reader_.Skip(bytes.size());
        }
    }
    started_ = true;
    ended_ = false;
    return !reader_.Available().empty();
}

int LineReader::Get() {
    if (ended_) return -1;
    auto bytes = reader_.Available();
    if (bytes.empty()) {
        ended_ = true;
        return -1;
    }
    const unsigned char c = bytes[0];
    reader_.Skip(1);
    if (c == '\n') {
        ended_ = true;
        return -1;
    }
    if (c == '\r') {
        bytes = reader_.Available();
        if (!bytes.empty() && bytes[0] == '\n') {
            reader_.Skip(1);
            ended_ = true;
            return -1;
        }
    }
    return c;
}

std::size_t LineReader::Take(std::string& out, std::size_t max) {
    std::size_t taken = 0;
    for (int c; taken < max && (c = Get()) >= 0; ++taken)
        out += static_cast<char>(c);
    return taken;
}

bool LineReader::AtLineEnd() {
    if (ended_) return true;
    const auto bytes = reader_.Available();
    if (bytes.empty()) return true;
    if (bytes[0] == '\n') return true;
    if (bytes[0] != '\r') return false;
    // A carriage return ends the line only when a line feed follows it.
    // Peek one byte further without consuming; the reader may have to refill.
    const std::uint64_t at = reader_.Tell();
    reader_.Skip(1);
    const auto next = reader_.Available();
    const bool end = !next.empty() && next[0] == '\n';
    reader_.Seek(at);
    return end;
}

}  // namespace kolt
