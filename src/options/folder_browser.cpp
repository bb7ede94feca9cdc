#include "options/folder_browser.h"

#include <cwchar>
#include <utility>

#include "base/text_win.h"
#include "win/window.h"

namespace kolt {

// Windows lets the callback have the last word on OK: it validates the
// selection first and then notifies. Some pickers (Wine's) validate after the
// notification and would undo the callback's choice, so the choice is made
// once more after the picker has finished with the change. What is posted is
// not the choice but a request to check again: by the time it arrives the
// user may have moved on, and the OK state must be that of the folder
// selected then. It carries nothing, so it means no harm from anyone else.
// It goes to a message-only window of ours, which the picker's modal loop
// dispatches to like any window of the thread: the picker itself, the
// shell's window, is never subclassed.
class CFolderBrowser::Recheck : public win::Window {
public:
    explicit Recheck(std::function<void()> check) : check_(std::move(check)) {}

    static const win::MessageMap& Messages() {
        static constexpr win::MessageEntry kEntries[] = {
            win::OnMessage<&Recheck::OnRecheck>(kRecheckOk),
        };
        static constexpr win::MessageMap kMap{&win::Window::Messages, kEntries};
        return kMap;
    }
    const win::MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create() {
        return Window::Create(0, RegisterWindowClass(L"KoltRecheck", 0, nullptr, nullptr), "", 0, RECT{}, HWND_MESSAGE,
                              0);
    }
    void Post() const { PostMessageW(hwnd(), kRecheckOk, 0, 0); }

private:
    static constexpr UINT kRecheckOk = WM_APP + 0x465;
    win::Result OnRecheck(WPARAM, LPARAM) {
        check_();
        return 0;
    }
    std::function<void()> check_;
};

CFolderBrowser::CFolderBrowser() = default;
CFolderBrowser::CFolderBrowser(std::string startPath) : path(std::move(startPath)) {}
CFolderBrowser::~CFolderBrowser() = default;

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
    recheck_ = std::make_unique<Recheck>([this] {
        if (picker_) Guarded(picker_, [&] { return ApplyOkState(picker_); });
    });
    if (!recheck_->Create()) recheck_.reset();  // then the callback's word is the last one we have
    const ItemIdList chosen(SHBrowseForFolderW(&info));
    recheck_.reset();
    picker_ = nullptr;
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
    return self->Guarded(picker, [&] { return self->OnNotification(picker, notification, param); });
}

void CFolderBrowser::RecheckLater() {
    if (recheck_) recheck_->Post();
}

int CFolderBrowser::Guarded(HWND picker, const std::function<int()>& work) {
    // Nothing may unwind through the shell: keep the failure, close the
    // picker as cancelled, and let Browse rethrow it.
    try {
        return work();
    } catch (...) {
        if (!failure_) failure_ = std::current_exception();
        PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
}

int CFolderBrowser::ApplyOkState(HWND picker) {
    // A folder code page 932 cannot name could be neither stored nor entered.
    const int decision = selection_ ? CheckFolder(*selection_) : 1;
    if (decision == 1 || decision == 2) SendMessageW(picker, BFFM_ENABLEOK, decision == 2, decision == 2);
    return decision;
}

int CFolderBrowser::OnNotification(HWND picker, UINT notification, LPARAM param) {
    picker_ = picker;
    switch (notification) {
        case BFFM_INITIALIZED:
            if (const ItemIdList start = PathToItemIdList(path)) {
                SendMessageW(picker, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(start.get()));
            }
            return 0;

        case BFFM_SELCHANGED: {
            wchar_t buffer[MAX_PATH] = {};
            selection_ = std::string();
            if (param != 0 && SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), buffer)) {
                SendMessageW(picker, BFFM_SETSTATUSTEXTW, 1, reinterpret_cast<LPARAM>(buffer));
                selection_ = NarrowExact(buffer);
            }
            const int decision = ApplyOkState(picker);
            if (decision == 1 || decision == 2) RecheckLater();
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
