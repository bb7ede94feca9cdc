// The reading half of a scenario load: a scenario path and the level flag in,
// every value the property form shows out. No window is involved; the form
// copies the results into its boxes and keeps commandLine and programName.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/catalogue_scan.h"
#include "scenario/program_name.h"

namespace kolt {

// The scenario's game program, bytes 76 to 83 of the file: a file name
// without ".exe", NUL-padded, not necessarily NUL-terminated.

// The values of one load, named and typed as the form and the launcher use
// them. Texts are CP932.
struct ScenarioInfo {
    ScenarioPath path;              // as received
    std::string portName;           // from the path
    std::string scenarioArguments;  // port name, a space, the file's title without ".sd?"
    std::string stageName;          // offset 0, at most 31 bytes
    std::uint16_t startTime = 0;    // offset 32, hhmm
    std::int32_t bandHours = 0;     // offset 36
    std::string timeBandText;       // "hh:mm - hh:00"
    std::int32_t bandMinutes = 0;
    std::uint32_t clearScore = 0;  // offset 40, or 44 in expert mode; 0 when the file cannot be opened
    ProgramName programName{};     // offset 76; the previous one when the reading does not get there
    std::string windText;
    std::int32_t controlledFlights = 0;
    std::int32_t highScore = -1;
    std::string commandLine;
    std::string difficultyStars;  // a row of "★"
    std::string modeText;         // "Expert Mode" or "Normal Mode"
    bool succeeded = false;       // false after a file error in the scenario file or the stage ini
    std::string statusText;       // what status pane 0 shows after the load: empty or the stage ini error
};

// The platform's title of a file: its name without the folder, as the
// platform shows it to a user (without the extension where the user has
// extensions hidden); nullopt when the platform cannot say. CP932 in and out.
using FileTitleFunction = std::optional<std::string> (*)(std::string_view path);

// The file's name without its folder: the title where extensions are shown.
std::optional<std::string> BareFileName(std::string_view path);

// Reads the scenario file at `path` (relative to the game folder, the working
// directory) and its stage record. A file error is not raised: it makes
// `succeeded` false and the values gathered before it stand. The title in
// the scenario's arguments comes from `fileTitle` (the bare file name where
// it cannot say).
ScenarioInfo ReadScenario(const ScenarioPath& path, bool expertMode, const ProgramName& previousProgramName,
                          FileTitleFunction fileTitle = &BareFileName);

// The expected difficulty: ceil(D) stars for D = flights x 10 / band minutes
// x wind factor (1.3 when the wind text is longer than 30 bytes), none when D
// is not above 0 (NaN included), exactly 100 when D is above 100.
std::string DifficultyStars(std::int32_t controlledFlights, std::int32_t bandMinutes, std::size_t windTextBytes);

// The decimal forms the form's boxes use: no grouping, no leading zeros, a
// minus sign only for a negative signed value.
std::string DecimalText(std::int32_t value);
std::string DecimalText(std::uint32_t value);

}  // namespace kolt
