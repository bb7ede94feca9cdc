#include "scenario/record_scan.h"

#include <gtest/gtest.h>

#include <random>

#include "reference_readers.h"
#include "support/scenario_bytes.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

// A file whose words are mostly markers, times in and around a band and
// small values, so that records, entries and partial entries meet often.
std::string RandomScenario(std::mt19937& rng, std::size_t words) {
    test::ScenarioBytes bytes;
    bytes.Resize(0);
    std::uniform_int_distribution<int> pick(0, 9);
    for (std::size_t i = 0; i < words; ++i) {
        std::uint32_t w;
        switch (pick(rng)) {
            case 0:
            case 1:
                w = 8;
                break;
            case 2:
                w = 5;
                break;
            case 3:
                w = 6;
                break;
            case 4:
                w = 7;
                break;
            case 5:
            case 6:
                w = 800 + rng() % 600;
                break;
            case 7:
                w = rng();
                break;
            default:
                w = rng() % 16;
                break;
        }
        bytes.Append32(w);
    }
    bytes.Resize(bytes.bytes().size() - rng() % 4);  // often a partial last word
    return bytes.bytes();
}

TEST(RecordScan, AgreesWithThePlainScansWhateverTheBufferSize) {
    std::mt19937 rng(20240611);
    test::TempDir dir;
    test::ScopedWorkingDir cwd(dir.path());
    for (int round = 0; round < 120; ++round) {
        const std::size_t words = round < 40 ? rng() % 80 : rng() % 6000;
        const std::string bytes = RandomScenario(rng, words);
        dir.WriteFile("s.sd3", bytes);
        const std::uint32_t start = 800 + rng() % 300;
        const std::uint32_t end = round % 10 == 0 ? 0xFFFFFF00u : start + rng() % 500;
        const std::string wind = test::ReferenceWindText(bytes, start, end, kMaxWindEntries);
        const std::int32_t flights = test::ReferenceFlights(bytes);
        for (std::size_t bufferSize : {1u, 3u, 7u, 64u, 1000u, 65536u}) {
            const auto file = OpenOrThrow("s.sd3");
            ByteReader reader(*file, "s.sd3", bufferSize);
            reader.Seek(44);
            const RecordScan scan = ScanRecords(reader, start, end);
            ASSERT_EQ(scan.windText, wind) << "round " << round << ", buffer " << bufferSize;
            ASSERT_EQ(scan.controlledFlights, flights) << "round " << round << ", buffer " << bufferSize;
            EXPECT_EQ(reader.Tell(), 44u);  // the position is restored
        }
    }
}

}  // namespace
}  // namespace kolt
