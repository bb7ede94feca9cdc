#include "options/folder_browser.h"

#include <cwchar>
#include <utility>

#include "base/text_win.h"

namespace kolt {
namespace {

// Windows lets the callback have the last word on OK: it validates the
// selection first and then notifies. Some pickers (Wine's) validate after the
// notification and would undo the callback's choice, so the choice is also
// posted, to be applied once the picker has finished with the change.
void EnableOk(HWND picker, bool enable) {
    SendMessageW(picker, BFFM_ENABLEOK, enable, enable);
    PostMessageW(picker, BFFM_ENABLEOK, enable, enable);
}

}  // namespace

ItemIdList CFolderBrowser::PathToItemIdList(std::optional<std::string_view> folder) {
    if (!folder || folder->empty()) return nullptr;
    IShellFolder* desktopRaw = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktopRaw)) || desktopRaw == nullptr) return nullptr;
    const ComInterface<IShellFolder> desktop(desktopRaw);

    std::wstring name = Wide(*folder);
    ITEMIDLIST* item = nullptr;
    const HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item, nullptr);
    ItemIdList result(item);  // owned even when the parse failed after allocating it
    if (FAILED(parsed)) result.reset();
    return result;
}

bool CFolderBrowser::Browse(UINT flags, std::string_view title, HWND owner, std::optional<std::string_view> rootPath) {
    const ItemIdList root = PathToItemIdList(rootPath);
    const std::wstring titleText = Wide(title);
    wchar_t displayName[MAX_PATH] = {};

    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = titleText.c_str();
    info.ulFlags = flags | BIF_STATUSTEXT;
    info.lpfn = &CFolderBrowser::FolderPickerCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    failure_ = nullptr;
    const ItemIdList chosen(SHBrowseForFolderW(&info));
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    if (!chosen) return false;

    wchar_t buffer[MAX_PATH] = {};
    std::optional<std::string> folder = std::string();
    if (SHGetPathFromIDListW(chosen.get(), buffer)) folder = NarrowExact(buffer);
    // A folder whose name code page 932 cannot spell would be stored as a
    // different, wrong path: treat it as no choice.
    if (!folder) return false;
    path = std::move(*folder);
    return true;
}

int CALLBACK CFolderBrowser::FolderPickerCallback(HWND picker, UINT notification, LPARAM param, LPARAM data) {
    auto* self = reinterpret_cast<CFolderBrowser*>(data);
    if (self == nullptr) return 0;
    // Nothing may unwind through the shell: keep the failure, close the
    // picker as cancelled, and let Browse rethrow it.
    try {
        return self->OnNotification(picker, notification, param);
    } catch (...) {
        if (!self->failure_) self->failure_ = std::current_exception();
        PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
}

int CFolderBrowser::OnNotification(HWND picker, UINT notification, LPARAM param) {
    switch (notification) {
        case BFFM_INITIALIZED:
            if (const ItemIdList start = PathToItemIdList(path)) {
                SendMessageW(picker, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(start.get()));
            }
            return 0;

        case BFFM_SELCHANGED: {
            wchar_t buffer[MAX_PATH] = {};
            std::optional<std::string> folder = std::string();
            if (param != 0 && SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), buffer)) {
                SendMessageW(picker, BFFM_SETSTATUSTEXTW, 1, reinterpret_cast<LPARAM>(buffer));
                folder = NarrowExact(buffer);
            }
            if (!folder) {
                EnableOk(picker, false);
                return 0;
            }
            switch (CheckFolder(*folder)) {
                case 1:
                    EnableOk(picker, false);
                    break;
                case 2:
                    EnableOk(picker, true);
                    break;
                default:
                    break;
            }
            return 0;
        }

        case BFFM_VALIDATEFAILEDW: {
            const auto* name = reinterpret_cast<const wchar_t*>(param);
            return OnValidateFailed(Narrow(name ? name : L""));
        }

        case BFFM_VALIDATEFAILEDA:
            // Only the ANSI picker sends this; its text is already multibyte.
            return OnValidateFailed(param ? reinterpret_cast<const char*>(param) : "");

        default:
            return 0;
    }
}

int CFolderBrowser::OnValidateFailed(std::string_view) {
    return 0;
}

int CFolderBrowser::CheckFolder(std::string_view) {
    return 0;
}

}  // namespace kolt
