#include "game_fixture.h"

#include "support/scenario_bytes.h"

namespace kolt::test {

std::string ScenarioFile(const ScenarioLayout& layout) {
    ScenarioBytes out;
    out.Put(0, std::string_view(layout.stageName).substr(0, 31))
        .Band(layout.startTime, layout.bandHours)
        .Scores(layout.normalScore, layout.expertScore)
        .Program(layout.programName);
    // Wind entries between the program name and the flight records.
    std::size_t at = 96;
    for (const WindEntry& w : layout.winds) {
        out.WindAt(at, w.time, w.direction, w.speed);
        at += 16;
    }
    for (int i = 0; i < layout.singleFlights; ++i)
        out.AppendRecord(5, '\0');
    for (int i = 0; i < layout.doubleFlights; ++i)
        out.AppendRecord(6, '\0');
    return out.bytes();
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
    dir.WriteFile(base + "port\\Alpha\\scenario\\s01.sd3", ScenarioFile(day));
    dir.WriteFile(base + "port\\Alpha\\scenario\\s02.sd3", ScenarioFile(night));
    dir.WriteFile(base + Sj("port\\羽田\\scenario\\h01.sd3"), ScenarioFile(haneda));
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
