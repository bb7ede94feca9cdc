#include "base/process_hardening_win.h"

#include <windows.h>

namespace kolt {

void HardenProcess() {
    // Programs with a subsystem version of 6.0 or more get this by default;
    // said here so that it does not hang on a linker flag.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);

    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // kernel32 is always loaded, and it is loaded from the system folder.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                         reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS)) return;
    SetDllDirectoryW(L"");
}

namespace {

[[gnu::constructor(101)]] void HardenAtStart() {
    HardenProcess();
}

}  // namespace
}  // namespace kolt
