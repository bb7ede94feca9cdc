#include "options/folder_browser.h"

#include <cwchar>
#include <utility>

#include "base/cp932.h"

namespace kolt {
namespace {

std::wstring Widen(std::string_view cp932) {
    const std::u16string w = Cp932ToUtf16(cp932);
    return {w.begin(), w.end()};
}

// nullopt when the text has a character that code page 932 cannot hold: such
// a folder has no name the program could store or enter.
std::optional<std::string> Narrow(const wchar_t* text) {
    bool lossless = true;
    std::string s = Utf16ToCp932(std::u16string_view(reinterpret_cast<const char16_t*>(text), wcslen(text)), &lossless);
    if (!lossless) return std::nullopt;
    return s;
}

struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};

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
    const std::unique_ptr<IShellFolder, ReleaseInterface> desktop(desktopRaw);

    std::wstring name = Widen(*folder);
    ITEMIDLIST* item = nullptr;
    const HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &item, nullptr);
    ItemIdList result(item);  // owned even when the parse failed after allocating it
    if (FAILED(parsed)) result.reset();
    return result;
}

bool CFolderBrowser::Browse(UINT flags, std::string_view title, HWND owner, std::optional<std::string_view> rootPath) {
    const ItemIdList root = PathToItemIdList(rootPath);
    const std::wstring titleText = Widen(title);
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
    if (SHGetPathFromIDListW(chosen.get(), buffer)) folder = Narrow(buffer);
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
                folder = Narrow(buffer);
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
            const std::u16string_view wide = name ? std::u16string_view(reinterpret_cast<const char16_t*>(name)) : u"";
            return OnValidateFailed(Utf16ToCp932(wide));
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
