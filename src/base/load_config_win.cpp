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

// The layout up to the SEH handler count, as Windows 10's SDK has it (mingw-w64's
// header still calls DependentLoadFlags Reserved1): pointer-sized fields, and
// in the 64-bit layout (the build that runs the tests under the 64-bit Wine)
// the affinity mask before the heap flags. x86-64 images keep their unwinding
// data elsewhere and leave both SEH fields zero.
using Word = std::uintptr_t;
struct LoadConfig {
    std::uint32_t size;
    std::uint32_t timeDateStamp;
    std::uint16_t majorVersion, minorVersion;
    std::uint32_t globalFlagsClear, globalFlagsSet;
    std::uint32_t criticalSectionDefaultTimeout;
    Word deCommitFreeBlockThreshold, deCommitTotalFreeThreshold;
    Word lockPrefixTable;
    Word maximumAllocationSize, virtualMemoryThreshold;
#ifdef _WIN64
    Word processAffinityMask;
    std::uint32_t processHeapFlags;
#else
    std::uint32_t processHeapFlags;
    Word processAffinityMask;
#endif
    std::uint16_t csdVersion;
    std::uint16_t dependentLoadFlags;
    Word editList;
    Word securityCookie;
    Word seHandlerTable, seHandlerCount;
};
#ifdef _WIN64
static_assert(sizeof(LoadConfig) == 0x70);
static_assert(offsetof(LoadConfig, dependentLoadFlags) == 0x4E);
static_assert(offsetof(LoadConfig, seHandlerCount) == 0x68);
#else
static_assert(sizeof(LoadConfig) == 0x48);
static_assert(offsetof(LoadConfig, dependentLoadFlags) == 0x36);
static_assert(offsetof(LoadConfig, seHandlerCount) == 0x44);
#endif

}  // namespace

// The name the linkers and the loader's tools know it by; referenced by
// nothing, kept because it is linked in as an object.
extern "C" [[gnu::used]] const LoadConfig _load_config_used = {
    .size = sizeof(LoadConfig),
    .dependentLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32,
};
