#include "catalogue/catalogue_scan.h"

#include "base/file_system.h"

namespace kolt {

std::optional<Catalogue> ScanCatalogue() {
    auto ports = fs::BeginSearch("port\\*");
    if (!ports) return std::nullopt;  // no port folder (an empty one still yields "." and "..")

    Catalogue catalogue;
    fs::DirEntry port;
    while (ports->Next(port)) {
        if (!port.isDirectory || port.isDots) continue;

        // The "sd2" pattern is the "sd3" one with only its extension changed.
        std::string pattern = "port\\" + port.name + "\\scenario\\*.sd3";
        auto files = fs::BeginSearch(pattern);
        if (!files) {
            pattern.back() = '2';
            files = fs::BeginSearch(pattern);
        }
        if (!files) continue;  // no scenario folder, or nothing in it: the port is left out

        PortEntry entry{port.name, {}};
        fs::DirEntry file;
        while (files->Next(file))
            if (!file.isDirectory) entry.scenarioFiles.push_back(file.name);
        catalogue.push_back(std::move(entry));
    }
    return catalogue;
}

ScenarioPath MakeScenarioPath(std::string_view portName, std::string_view fileName) {
    ScenarioPath path = "port\\";
    path += portName;
    path += "\\scenario\\";
    path += fileName;
    return path;
}

}  // namespace kolt
