// Fuzzes the stage ini reader against the plain whole-file reading.
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "scenario/reference_readers.h"
#include "scenario/stage_record.h"

using namespace kolt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::EnterScratchFolder();
    const std::string_view ini(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile("stage/Alpha/Night.ini", ini);
    const StageRecord record = ReadStageRecord("Alpha Night B", "Alpha s01");
    const test::ReferenceStage expected = test::ReferenceStageIni(ini);
    if (expected.longestExeValue > kMaxCommandValue) {
        // A command too long to run: the reading fails, with no command.
        if (record.succeeded || record.errorText.empty() || record.highScore != -1 || !record.commandLine.empty())
            std::abort();
        return 0;
    }
    if (!record.succeeded || !record.errorText.empty()) std::abort();
    if (record.highScore != expected.highScore) std::abort();
    if (record.commandLine != (expected.exeValue ? *expected.exeValue + " Alpha s01" : "")) std::abort();
    return 0;
}
