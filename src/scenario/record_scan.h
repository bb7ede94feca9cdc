// The two scans of a scenario file's records: the wind over the time band
// (every 32-bit word from offset 64 on) and the controlled flights (from
// offset 224 on). Neither parses records: each steps word by word and takes
// any word equal to a marker for a marker, exactly as the game's data is
// meant to be read. Both scans walk the same grid of 4-byte-aligned words, so
// one sequential pass through the reader's buffer drives both.
#pragma once

#include <cstdint>
#include <string>

#include "base/byte_reader.h"

namespace kolt {

inline constexpr std::uint64_t kWindScanStart = 64;
inline constexpr std::uint64_t kFlightScanStart = 224;
// The wind text lists at most this many entries (1000 lines). A real band
// holds a few dozen; the limit keeps a corrupt or hostile file from growing
// the text without bound.
inline constexpr std::uint32_t kMaxWindEntries = 3000;

struct RecordScan {
    std::string windText;                // CP932, three entries to a line, ends in "kt "
    std::int32_t controlledFlights = 0;  // marker-5 records + 2 x marker-6 records
};

// Scans the file behind `reader` for the wind entries whose time t lies in
// [bandStart, bandEnd) (unsigned comparison) and for the flight records.
// A final partial word, and a wind entry cut off by the end of the file, end
// the scan and are not counted. The reader's position is restored.
RecordScan ScanRecords(ByteReader& reader, std::uint32_t bandStart, std::uint32_t bandEnd);

}  // namespace kolt
