// The stage record: the player's high score and the command that starts the
// game, from the stage's text file under the game's "stage" folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kolt {

struct StageRecord {
    std::int32_t highScore = -1;  // -1 after a failed reading; 0 when the file holds no "highscore=" line
    std::string commandLine;      // last "exe=" value, a space, the scenario arguments; empty without one
    bool succeeded = false;
    std::string errorText;  // CP932 text for status pane 0 (a file error, a command too long), or empty
};

// The longest "exe=" value taken: a command line must stay within the 32767
// characters that process creation accepts. A longer value gives no command
// at all, and a text for the status pane; a bare "exe=" is not the same: it
// gives a blank and the scenario arguments.
inline constexpr std::size_t kMaxCommandValue = 32 * 1024;

// "stage\" + the stage name with a trailing space-and-one-byte suffix dropped
// and every space made a folder separator + ".ini".
std::string StageIniPath(std::string_view stageName);

// Reads the stage ini of `stageName`; `scenarioArguments` (port, space,
// scenario name) completes the command line.
StageRecord ReadStageRecord(std::string_view stageName, std::string_view scenarioArguments);

}  // namespace kolt
