// The catalogue of the installed game's scenarios, read from the folder
// layout under the working directory (the game folder) every time it is
// needed; nothing is cached between scans.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolt {

// The relative path of one scenario file: "port\" + port + "\scenario\" +
// file name with extension, CP932, backslash-separated.
using ScenarioPath = std::string;

struct PortEntry {
    std::string portName;                    // the port folder's name as the search returned it
    std::vector<std::string> scenarioFiles;  // file names with extension, in search order; may be empty
};

using Catalogue = std::vector<PortEntry>;

// Scans "port\*" and each port's scenario folder ("*.sd3", or "*.sd2" when
// nothing at all matches "*.sd3"). nullopt means there is no port folder.
std::optional<Catalogue> ScanCatalogue();

ScenarioPath MakeScenarioPath(std::string_view portName, std::string_view fileName);

}  // namespace kolt
