#include "base/file_title_win.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>

#include "base/system_library_win.h"
#include "base/text_win.h"

namespace kolt {

std::optional<std::string> PlatformFileTitle(std::string_view path) {
    // Not imported: the program needs the DLL for this one call, and only
    // once a scenario is selected.
    static const auto getFileTitle =
        FindFunction<decltype(&GetFileTitleW)>(LoadSystemLibrary(L"comdlg32.dll"), "GetFileTitleW");
    if (!getFileTitle) return std::nullopt;
    const std::wstring file = Wide(path);
    std::wstring title(MAX_PATH, L'\0');
    // 0: done; more: the buffer's length it needs, in characters.
    short result = getFileTitle(file.c_str(), title.data(), static_cast<WORD>(title.size()));
    if (result > 0) {
        title.assign(static_cast<std::size_t>(result), L'\0');
        result = getFileTitle(file.c_str(), title.data(), static_cast<WORD>(title.size()));
    }
    if (result != 0) return std::nullopt;
    title.resize(std::wcslen(title.c_str()));
    return Narrow(title);
}

}  // namespace kolt
