#include "scenario/scenario_reader.h"

#include <cstdio>

#include "base/byte_reader.h"
#include "base/cp932.h"
#include "scenario/record_scan.h"
#include "scenario/stage_record.h"

namespace kolt {
namespace {

constexpr std::size_t kStageNameBytes = 31;  // byte 31 of the name field is never read
constexpr std::uint64_t kBandOffset = 32;
constexpr std::uint64_t kProgramNameOffset = 76;

// Steps 5 to 13 of a load: everything that comes from the scenario file.
// A FileException leaves `info` with what was gathered before it.
void ReadScenarioFile(ScenarioInfo& info, bool expertMode, FileTitleFunction fileTitle) {
    const auto file = OpenOrThrow(info.path);
    ByteReader reader(*file, info.path);

    char name[kStageNameBytes];
    const std::string_view read(name, reader.Read(name, sizeof name));
    info.stageName = std::string(read.substr(0, read.find('\0')));

    // The title as the platform shows it, with or without its extension;
    // then only a lower-case ".sd?" is taken off, so s01.sd3 and s01.sd2
    // both give "s01" while S01.SD3, where extensions are shown, stays as it is.
    std::string title = fileTitle ? fileTitle(info.path).value_or(std::string()) : std::string();
    if (title.empty()) title = *BareFileName(info.path);
    if (title.size() >= 4 && title.compare(title.size() - 4, 3, ".sd") == 0) title.resize(title.size() - 4);
    info.scenarioArguments += ' ';
    info.scenarioArguments += title;

    reader.Seek(kBandOffset);
    std::uint32_t word = 0;
    reader.ReadU32(word);
    info.startTime = static_cast<std::uint16_t>(word);  // the high half of the word is not part of it
    word = 0;
    reader.ReadU32(word);
    info.bandHours = static_cast<std::int32_t>(word);

    // 32-bit arithmetic that wraps as the game's does; the end hour is not
    // reduced modulo 24 (22:00 - 25:00 is a band that runs past midnight).
    const std::int32_t startHour = info.startTime / 100;
    const std::int32_t startMinute = info.startTime % 100;
    const auto endHour =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(startHour) + static_cast<std::uint32_t>(info.bandHours));
    char band[64];
    const int n = std::snprintf(band, sizeof band, "%02d:%02d - %02d:00", startHour, startMinute, endHour);
    info.timeBandText.assign(band, static_cast<std::size_t>(n));
    info.bandMinutes = static_cast<std::int32_t>(static_cast<std::uint32_t>(info.bandHours) * 60u -
                                                 static_cast<std::uint32_t>(startMinute));

    if (expertMode) reader.Skip(4);
    word = 0;
    reader.ReadU32(word);
    info.clearScore = word;

    // Once the reading gets here the name is this scenario's, also when the
    // file ends inside the field: missing bytes are NUL, never left over from
    // the previous scenario.
    reader.Seek(kProgramNameOffset);
    ProgramName program{};
    reader.Read(program.data(), program.size());
    info.programName = program;

    // The band end is the end hour in hhmm form; the start's minutes do not enter it.
    const std::uint32_t bandEnd = static_cast<std::uint32_t>(endHour) * 100u;
    RecordScan scan = ScanRecords(reader, info.startTime, bandEnd);
    info.windText = std::move(scan.windText);
    info.controlledFlights = scan.controlledFlights;
}

}  // namespace

std::optional<std::string> BareFileName(std::string_view path) {
    const std::size_t slash = FindLastChar(path, '\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

ScenarioInfo ReadScenario(const ScenarioPath& path, bool expertMode, const ProgramName& previousProgramName,
                          FileTitleFunction fileTitle) {
    ScenarioInfo info;
    info.path = path;
    info.programName = previousProgramName;

    // The port name follows "port\" (not examined) up to the next separator;
    // a 0x5C that is the second byte of a double-byte character is none.
    const std::string_view rest = path.size() > 5 ? std::string_view(path).substr(5) : std::string_view();
    info.portName = std::string(rest.substr(0, FindChar(rest, '\\')));
    info.scenarioArguments = info.portName;

    info.succeeded = true;
    try {
        ReadScenarioFile(info, expertMode, fileTitle);
    } catch (const FileException&) {
        // An unreadable scenario file is not reported; the form shows what
        // could be read and the stage record is still looked up.
        info.succeeded = false;
    }

    StageRecord record = ReadStageRecord(info.stageName, info.scenarioArguments);
    info.highScore = record.highScore;
    info.commandLine = std::move(record.commandLine);
    info.statusText = std::move(record.errorText);
    if (!record.succeeded) info.succeeded = false;

    info.difficultyStars = DifficultyStars(info.controlledFlights, info.bandMinutes, info.windText.size());
    info.modeText = expertMode ? "Expert Mode" : "Normal Mode";
    return info;
}

std::string DecimalText(std::int32_t value) {
    return std::to_string(value);
}
std::string DecimalText(std::uint32_t value) {
    return std::to_string(value);
}

}  // namespace kolt
