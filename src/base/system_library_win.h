// DLLs that are not among the system's KnownDLLs are loaded by their full path
// in the system folder: a bare name would be searched in the program's folder
// and the working directory first (a downloads folder, the game folder), where
// anybody may have left a DLL of that name.
#pragma once

#include <windows.h>

namespace kolt {

// The system folder's `name` (for instance L"version.dll"), its own imports
// looked for beside it first; null when it cannot be loaded (GetLastError
// says why). The caller owns the reference (FreeLibrary), or keeps it for
// the life of the process.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Function `name` of a loaded `module` as the pointer type `Fn`; null when the
// module or the function is not there (a system older than the function).
// The one cast from GetProcAddress's generic pointer.
template <class Fn>
Fn FindFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace kolt
