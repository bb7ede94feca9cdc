#include "gui_support.h"

#include <algorithm>
#include <utility>

#include "win/application.h"
#include "win/text.h"

namespace kolt::test {
namespace {
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 0x0440;

struct Search {
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM param) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd))
        reinterpret_cast<Search*>(param)->boxes.push_back(hwnd);
    return TRUE;
}
}  // namespace

std::wstring TextOf(HWND hwnd) {
    const auto length = static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    const auto copied =
        static_cast<std::size_t>(SendMessageW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied);
    return text;
}

std::string Cp932TextOf(HWND hwnd) {
    return Narrow(TextOf(hwnd));
}

MessageBoxWatcher::MessageBoxWatcher(DWORD threadId) : threadId_(threadId), thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

void MessageBoxWatcher::Watch() {
    while (!stop_) {
        Search search;
        EnumThreadWindows(threadId_, &CollectDialogs, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.boxes) {
            HWND textControl = GetDlgItem(box, kMessageBoxTextId);
            if (!textControl) continue;  // a dialog of the program, not a message box
            std::lock_guard guard(lock_);
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
            SeenMessageBox seen{TextOf(box), TextOf(textControl)};
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
