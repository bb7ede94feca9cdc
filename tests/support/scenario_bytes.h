// Builds scenario files byte by byte: little-endian words at given offsets,
// records appended in file order. The one writer of the format for the tests,
// the game fixture and the benchmark; it needs nothing but the standard
// library, so the benchmark builds without the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolt::test {

class ScenarioBytes {
public:
    // Header only, all zero: 224 bytes, where the flight scan begins.
    ScenarioBytes() : bytes_(224, '\0') {}

    ScenarioBytes& Put(std::size_t offset, std::string_view data) {
        if (bytes_.size() < offset + data.size()) bytes_.resize(offset + data.size(), '\0');
        bytes_.replace(offset, data.size(), data);
        return *this;
    }
    ScenarioBytes& Put32(std::size_t offset, std::uint32_t w) { return Put(offset, Word(w)); }
    ScenarioBytes& Resize(std::size_t size) {
        bytes_.resize(size, '\0');
        return *this;
    }

    ScenarioBytes& Stage(std::string_view name) { return Put(0, std::string(32, '\0')).Put(0, name.substr(0, 32)); }
    ScenarioBytes& Band(std::uint32_t startWord, std::int32_t hours) {
        return Put32(32, startWord).Put32(36, static_cast<std::uint32_t>(hours));
    }
    ScenarioBytes& Scores(std::uint32_t normal, std::uint32_t expert) { return Put32(40, normal).Put32(44, expert); }
    ScenarioBytes& Program(std::string_view name) { return Put(76, std::string(8, '\0')).Put(76, name.substr(0, 8)); }
    // A wind entry written at `offset` (marker 8, time, direction, speed).
    ScenarioBytes& WindAt(std::size_t offset, std::uint32_t time, std::int32_t dir, std::int32_t speed) {
        return Put32(offset, 8)
            .Put32(offset + 4, time)
            .Put32(offset + 8, static_cast<std::uint32_t>(dir))
            .Put32(offset + 12, static_cast<std::uint32_t>(speed));
    }

    // Appended at the end of the file.
    ScenarioBytes& Append32(std::uint32_t w) { return Put32(bytes_.size(), w); }
    ScenarioBytes& AppendWind(std::uint32_t time, std::int32_t dir, std::int32_t speed) {
        return WindAt(bytes_.size(), time, dir, speed);
    }
    // A flight record: its marker and its body of `fill` bytes (104 after a 5,
    // 176 after a 6, 4 after a 7).
    ScenarioBytes& AppendRecord(std::uint32_t marker, char fill = '\x11') {
        const std::size_t body = marker == 5 ? 104 : marker == 6 ? 176 : marker == 7 ? 4 : 0;
        Append32(marker);
        return Put(bytes_.size(), std::string(body, fill));
    }

    const std::string& bytes() const { return bytes_; }

    static std::string Word(std::uint32_t w) {
        const char b[4] = {static_cast<char>(w), static_cast<char>(w >> 8), static_cast<char>(w >> 16),
                           static_cast<char>(w >> 24)};
        return std::string(b, 4);
    }

private:
    std::string bytes_;
};

}  // namespace kolt::test
