// A small game folder for the window tests: two ports, three scenarios, their
// stage inis (one missing on purpose) and config.ini, written byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kolt::test {

struct WindEntry {
    std::uint32_t time;
    std::int32_t direction;
    std::int32_t speed;
};

struct ScenarioLayout {
    std::string stageName;  // CP932
    std::uint32_t startTime = 0;
    std::int32_t bandHours = 0;
    std::uint32_t normalScore = 0;
    std::uint32_t expertScore = 0;
    std::string programName;  // at most 8 bytes
    std::vector<WindEntry> winds;
    int singleFlights = 0;  // marker-5 records
    int doubleFlights = 0;  // marker-6 records
};

// The file's bytes: the header, the winds from offset 96, then the flights.
std::string ScenarioFile(const ScenarioLayout& layout);

// Writes under `root` (CP932, relative to the TempDir, e.g. "game"):
//   port\Alpha\scenario\s01.sd3  stage "Alpha Day": 09:30 + 2 h, scores 1500/2500,
//                                four wind entries in the band, 4 flights;
//                                stage\Alpha\Day.ini: highscore=1200, exe=velq.exe
//   port\Alpha\scenario\s02.sd3  stage "Alpha Night": 22:00 + 3 h, scores 800/1600,
//                                one wind entry, 1 flight; stage\Alpha\Night.ini:
//                                highscore=-3 and no exe line
//   port\羽田\scenario\h01.sd3   stage "羽田 朝", clear score 4294967295, no stage ini
//   config.ini                   level=<level>
void WriteGame(const TempDir& dir, const std::string& root, int level, const std::string& s01Program = "qmz48");

// Expected box texts of the scenarios above, CP932.
struct Expected {
    static std::string S01Wind();
};

}  // namespace kolt::test
