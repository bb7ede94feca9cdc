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
    // The last "exe=" line too long to run gives no command and a text saying so.
    const bool tooLong = expected.exeValue && expected.exeValue->size() > kMaxCommandValue;
    if (!record.succeeded || record.errorText.empty() != !tooLong) std::abort();
    if (record.highScore != expected.highScore) std::abort();
    const std::string command = expected.exeValue && !tooLong ? *expected.exeValue + " Alpha s01" : "";
    if (record.commandLine != command) std::abort();
    return 0;
}
