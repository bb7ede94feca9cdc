// Fuzzes the config.ini reader against the plain whole-file reading.
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "scenario/level_file.h"
#include "scenario/reference_readers.h"

using namespace kolt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::EnterScratchFolder();
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile("config.ini", content);
    for (const bool initial : {false, true}) {
        bool expert = initial;
        if (!ReadLevelFile(expert)) std::abort();
        if (expert != test::ReferenceLevel(content).value_or(initial)) std::abort();
    }
    return 0;
}
