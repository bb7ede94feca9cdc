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
    // The DLL's own imports: from its folder and the system folder only,
    // where the system has those search flags (Windows 8, Windows 7 with
    // KB2533623, which brought AddDllDirectory with them). Elsewhere the
    // altered order still looks in the DLL's folder before the program's.
    static const bool searchFlags = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return LoadLibraryExW(
        path.c_str(), nullptr,
        searchFlags ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace kolt
