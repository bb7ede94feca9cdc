#include "base/system_library_win.h"

#include <string>

namespace kolt {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    UINT n = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (n >= path.size()) {  // the size it needs, with the terminator
        path.resize(n);
        n = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    }
    if (n == 0 || n >= path.size()) return nullptr;
    path.resize(n);
    path += L'\\';
    path += name;
    // The altered search order looks for the DLL's own imports in its folder
    // first, not in the program's.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace kolt
