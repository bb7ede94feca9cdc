#include "game_fixture.h"

#include <cstring>

namespace kolt::test {
namespace {
void PutU32(std::string& out, std::size_t at, std::uint32_t v) {
    if (out.size() < at + 4) out.resize(at + 4, '\0');
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void AppendU32(std::string& out, std::uint32_t v) {
    PutU32(out, out.size(), v);
}
}  // namespace

std::string ScenarioBytes(const ScenarioLayout& layout) {
    std::string out(224, '\0');
    std::memcpy(out.data(), layout.stageName.data(), std::min<std::size_t>(layout.stageName.size(), 31));
    PutU32(out, 32, layout.startTime);
    PutU32(out, 36, static_cast<std::uint32_t>(layout.bandHours));
    PutU32(out, 40, layout.normalScore);
    PutU32(out, 44, layout.expertScore);
    std::memcpy(out.data() + 76, layout.programName.data(), std::min<std::size_t>(layout.programName.size(), 8));
    // Wind entries between the program name and the flight records.
    std::size_t at = 96;
    for (const WindEntry& w : layout.winds) {
        PutU32(out, at, 8);
        PutU32(out, at + 4, w.time);
        PutU32(out, at + 8, static_cast<std::uint32_t>(w.direction));
        PutU32(out, at + 12, static_cast<std::uint32_t>(w.speed));
        at += 16;
    }
    for (int i = 0; i < layout.singleFlights; ++i) {
        AppendU32(out, 5);
        out.append(104, '\0');
    }
    for (int i = 0; i < layout.doubleFlights; ++i) {
        AppendU32(out, 6);
        out.append(176, '\0');
    }
    return out;
}

void WriteGame(const TempDir& dir, const std::string& root, int level, const std::string& s01Program) {
    const std::string base = root.empty() ? std::string() : root + "\\";
    ScenarioLayout day{
        "Alpha Day",
        930,
        2,
        1500,
        2500,
        s01Program,
        {{900, 270, 10}, {1000, 280, 12}, {1030, 290, 15}, {1045, 300, 8}, {1050, 310, 9}, {1100, 320, 9}},
        2,
        1};
    ScenarioLayout night{"Alpha Night", 2200, 3, 800, 1600, "qmz48", {{2300, 90, 5}}, 1, 0};
    ScenarioLayout haneda{Sj("羽田 朝"), 700, 1, 4294967295u, 10, "qmz48", {}, 0, 0};
    dir.WriteFile(base + "port\\Alpha\\scenario\\s01.sd3", ScenarioBytes(day));
    dir.WriteFile(base + "port\\Alpha\\scenario\\s02.sd3", ScenarioBytes(night));
    dir.WriteFile(base + Sj("port\\羽田\\scenario\\h01.sd3"), ScenarioBytes(haneda));
    dir.WriteFile(base + "stage\\Alpha\\Day.ini", "highscore=1200\r\nexe=velq.exe\r\n");
    dir.WriteFile(base + "stage\\Alpha\\Night.ini", "highscore=-3\r\n");
    dir.WriteFile(base + "config.ini", "[game]\r\nlevel=" + std::to_string(level) + "\r\n");
}

std::string Expected::S01Wind() {
    // Entries at 10:00, 10:30, 10:45 and 10:50 lie in [09:30, 11:00); 09:00 and
    // 11:00 do not. Three to a line.
    return Sj("10:00 280°12kt → 10:30 290°15kt → 10:45 300°08kt → \r\n10:50 310°09kt ");
}

}  // namespace kolt::test
