// Fuzzes the scenario reader: the one-pass record scan against the plain
// word-by-word scans (with short reads and odd buffer sizes), and the whole
// load of the same bytes from a file, which must stay within its bounds.
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "scenario/record_scan.h"
#include "scenario/reference_readers.h"
#include "scenario/scenario_reader.h"

using namespace kolt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::EnterScratchFolder();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The first bytes also choose the band and how the file is handed out;
    // they are part of the scanned file all the same.
    const std::uint32_t start = size > 1 ? data[0] | (data[1] << 8) : 0;
    const std::uint32_t end =
        size > 3 ? start + (data[2] | (data[3] << 8)) * (size > 4 && data[4] > 200 ? 1000003u : 1u) : 0;
    const std::size_t maxRead = size > 5 ? 1 + data[5] % 13 : 4096;
    const std::size_t bufferSize = size > 6 ? 1 + data[6] % 97 : 64;

    fuzz::MemoryFile file(bytes, maxRead);
    ByteReader reader(file, "fuzz.sd3", bufferSize);
    const RecordScan scan = ScanRecords(reader, start, end);
    if (scan.windText != test::ReferenceWindText(bytes, start, end, kMaxWindEntries)) std::abort();
    if (scan.controlledFlights != test::ReferenceFlights(bytes)) std::abort();

    fuzz::WriteFile("port/F/scenario/f.sd3", bytes);
    const ProgramName previous{'p', 'r', 'e', 'v', 0, 0, 0, 0};
    const ScenarioInfo info = ReadScenario("port\\F\\scenario\\f.sd3", size % 2 == 1, previous);
    if (info.stageName.size() > 31 || info.scenarioArguments != "F f") std::abort();
    if (info.difficultyStars.size() > 200 || info.difficultyStars.size() % 2 != 0) std::abort();
    if (size >= 84 && std::string_view(info.programName.data(), 8) != bytes.substr(76, 8)) std::abort();
    if (size < 84 && size >= 64 && info.programName == previous) std::abort();
    return 0;
}
