// The image's load configuration. Its one setting of ours is
// DependentLoadFlags: the loader of Windows 10 1607 and later resolves the
// DLLs that the program's imports import (the common controls' and the
// shell's dependents), before any code of the program runs, from the system
// folder only, not from the program's folder first. No SEH handler table: the
// images are NO_SEH. GNU ld links the structure but leaves the header's
// directory entry empty; tools/pe-load-config.py points it here after the link.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace {

// The 32-bit layout up to the SEH handler count, as Windows 10's SDK has it
// (mingw-w64's header still calls DependentLoadFlags Reserved1).
struct LoadConfig32 {
    std::uint32_t size;
    std::uint32_t timeDateStamp;
    std::uint16_t majorVersion, minorVersion;
    std::uint32_t globalFlagsClear, globalFlagsSet;
    std::uint32_t criticalSectionDefaultTimeout;
    std::uint32_t deCommitFreeBlockThreshold, deCommitTotalFreeThreshold;
    std::uint32_t lockPrefixTable;
    std::uint32_t maximumAllocationSize, virtualMemoryThreshold;
    std::uint32_t processHeapFlags, processAffinityMask;
    std::uint16_t csdVersion;
    std::uint16_t dependentLoadFlags;
    std::uint32_t editList;
    std::uint32_t securityCookie;
    std::uint32_t seHandlerTable, seHandlerCount;
};
static_assert(sizeof(LoadConfig32) == 0x48);
static_assert(offsetof(LoadConfig32, dependentLoadFlags) == 0x36);
static_assert(offsetof(LoadConfig32, seHandlerCount) == 0x44);

}  // namespace

// The name the linkers and the loader's tools know it by; referenced by
// nothing, kept because it is linked in as an object.
extern "C" [[gnu::used]] const LoadConfig32 _load_config_used = {
    .size = sizeof(LoadConfig32),
    .dependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32,
};
