#include "support/window_driver.h"

#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "base/owners_win.h"
#include "base/text_win.h"
#include "win/application.h"

namespace kolt::test {
namespace {
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x0440;

struct Search {
    const std::function<bool(HWND)>* accept;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsWindowVisible(window) && (*search->accept)(window)) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows(DWORD thread, const std::function<bool(HWND)>& accept) {
    Search search{&accept, {}};
    EnumThreadWindows(thread, Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

std::wstring WindowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

Heard Hear(HWND control) {
    Heard heard;
    IAccessible* raw = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&raw))) ||
        !raw)
        return heard;
    const ComInterface<IAccessible> object(raw);
    heard.answered = true;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    for (auto [read, text] :
         {std::pair{&IAccessible::get_accName, &heard.name}, std::pair{&IAccessible::get_accValue, &heard.value}}) {
        BSTR got = nullptr;
        if (SUCCEEDED((object.get()->*read)(self, &got)) && got) *text = std::wstring(got, SysStringLen(got));
        SysFreeString(got);
    }
    return heard;
}

std::wstring ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::wstring ClassName(HWND window) {
    wchar_t name[256];
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

HWND WaitForThreadWindow(DWORD thread, const std::function<bool(HWND)>& accept, std::chrono::milliseconds limit) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> windows = ThreadWindows(thread, accept);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        limit);
    return found;
}

bool DriveModal(const std::function<void()>& runModal, const std::function<bool(HWND)>& accept,
                const std::function<void(HWND)>& drive) {
    const DWORD self = GetCurrentThreadId();
    bool found = false;
    std::thread driver([&] {
        const HWND window = WaitForThreadWindow(self, accept);
        found = window != nullptr;
        if (!window) return;
        drive(window);
        if (IsWindow(window)) PressButton(window, IDCANCEL);
    });
    try {
        runModal();
    } catch (...) {
        driver.join();
        throw;
    }
    driver.join();
    return found;
}

std::function<bool(HWND)> DialogWith(int id) {
    return [id](HWND window) { return HasClass(window, L"#32770") && GetDlgItem(window, id) != nullptr; };
}

bool SelectInPicker(HWND picker, int statusId, const std::string& folder, std::chrono::milliseconds limit) {
    const std::wstring wide = Wide(folder);
    int polls = 0;
    return WaitUntil(
        [&] {
            if (polls++ % 25 == 0) {
                SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
            }
            return ItemText(picker, statusId) == wide;
        },
        limit);
}

namespace {
// The folder of all the picker folders of this run.
struct PickerRoot {
    PickerRoot() {
        // The test desktop's own drive T: keeps the picker's walk short (a
        // deep build folder under a busy /tmp makes Wine's picker slow and
        // unreliable); elsewhere the folders lie beside the program.
        std::wstring base = L"T:";
        if (GetDriveTypeW(L"T:\\") == DRIVE_NO_ROOT_DIR) {
            const std::wstring self = ModulePath();
            base = self.substr(0, self.find_last_of(L'\\'));
        }
        wide = base + L"\\picker-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(wide.c_str(), nullptr);
        root = Narrow(wide);
    }
    ~PickerRoot() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(wide), ignored);
    }
    void Make(const std::string& relative) const { CreateDirectoryW(Wide(root + "\\" + relative).c_str(), nullptr); }

    std::string root;  // CP932
    std::wstring wide;
};

PickerRoot& Picker() {
    static PickerRoot root;
    return root;
}
}  // namespace

PickerFolders::PickerFolders() {
    static int count = 0;
    base_ = "case" + std::to_string(++count);
    Picker().Make(base_);
}

void PickerFolders::Make(std::string_view name) const {
    Picker().Make(base_ + "\\" + std::string(name));
}

std::string PickerFolders::Path(std::string_view name) const {
    return Picker().root + "\\" + base_ + "\\" + std::string(name);
}

MessageBoxWatcher::MessageBoxWatcher(DWORD threadId) : threadId_(threadId), thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

void MessageBoxWatcher::Watch() {
    const std::function<bool(HWND)> isBox = [](HWND w) {
        // A message box, not a dialog of the program.
        return HasClass(w, L"#32770") && GetDlgItem(w, kMessageBoxTextId) != nullptr;
    };
    while (!stop_) {
        for (HWND box : ThreadWindows(threadId_, isBox)) {
            std::lock_guard guard(lock_);
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
            SeenMessageBox seen{WindowText(box), ItemText(box, kMessageBoxTextId)};
            const auto icon =
                reinterpret_cast<HICON>(SendMessageW(GetDlgItem(box, kMessageBoxIconId), STM_GETICON, 0, 0));
            seen.errorIcon = icon && icon == LoadIconW(nullptr, IDI_HAND);
            seen.exclamationIcon = icon && icon == LoadIconW(nullptr, IDI_EXCLAMATION);
            seen_.push_back(std::move(seen));
            answered_.push_back(box);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        Sleep(20);
    }
}

std::vector<SeenMessageBox> MessageBoxWatcher::Take() {
    std::lock_guard guard(lock_);
    return std::exchange(seen_, {});
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        win::Application* app = win::Application::Instance();
        if (app && app->PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (win::Application* app = win::Application::Instance()) app->OnIdle();
}

}  // namespace kolt::test
