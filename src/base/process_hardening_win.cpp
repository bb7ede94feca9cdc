#include "base/process_hardening_win.h"

#include <windows.h>

#include "base/system_library_win.h"

namespace kolt {
namespace {

// System DLLs that other system DLLs load by bare name while the program
// runs, after the search was restricted: Wine's loader still looks for such
// loads of its own DLLs in the program's folder first. Each is taken from the
// system folder here, before anything asks for it, and kept: a later request
// by bare name finds the loaded module. Only those that are really loaded,
// and each only in a process that holds the DLL that asks for it
// (`askedBy`). Found with a loader trace (WINEDEBUG=+loaddll)
// with each system name that is not a known DLL planted beside the program,
// through start-up, a screen reader's query, the About box, the options
// dialog with its folder picker, a refresh and a game start. Not here:
// bcrypt.dll and crypt32.dll, which rsaenh.dll imports when the stack
// protector's start-up asks advapi32 for random bytes; advapi32 loads rsaenh
// by its full path, and its imports are looked for in the system folder only.
struct PinnedLibrary {
    const wchar_t* name;
    const wchar_t* askedBy;
};
constexpr PinnedLibrary kPinnedLibraries[] = {
    // Loaded by the common controls: the theme functions when the first
    // control is made (Wine's own start-up loads uxtheme.dll too, before any
    // code of ours, and lets it go again), AlphaBlend the first time they draw.
    {L"uxtheme.dll", L"comctl32.dll"},
    {L"msimg32.dll", L"comctl32.dll"},
};

void PinSystemLibraries() {
    for (const PinnedLibrary& library : kPinnedLibraries) {
        if (!GetModuleHandleW(library.askedBy)) continue;
        // Kept for the life of the process; a failure leaves the name to the
        // restricted search.
        LoadSystemLibrary(library.name);
    }
}

}  // namespace

void HardenProcess() {
    // Programs with a subsystem version of 6.0 or more get this by default;
    // said here so that it does not hang on a linker flag.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);

    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // kernel32 is always loaded, and it is loaded from the system folder.
    const auto setDefault =
        FindFunction<SetDefaultDllDirectoriesFn>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS)) {
        SetDllDirectoryW(L"");
    }
    PinSystemLibraries();
}

namespace {

[[gnu::constructor(101)]] void HardenAtStart() {
    HardenProcess();
}

}  // namespace
}  // namespace kolt
