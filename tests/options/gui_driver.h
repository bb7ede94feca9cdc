// Helpers for driving a modal window from a second thread while the test's
// own thread sits in the window's message loop: find the window, read and
// press its controls, all with bounded waits.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "base/cp932.h"

namespace kolt::test {

struct WindowSearch {
    const std::function<bool(HWND)>* accept;
    HWND found;
};

inline BOOL CALLBACK AcceptWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (IsWindowVisible(window) && (*search->accept)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first visible top-level window of `thread` that `accept` takes,
// waiting at most `limit`; null when none came.
inline HWND WaitForThreadWindow(DWORD thread, const std::function<bool(HWND)>& accept,
                                std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        WindowSearch search{&accept, nullptr};
        EnumThreadWindows(thread, AcceptWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (std::chrono::steady_clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

inline bool HasClass(HWND window, const wchar_t* name) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return lstrcmpW(buffer, name) == 0;
}

// A window's text as CP932.
inline std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return Utf16ToCp932(std::u16string(text.begin(), text.end()));
}

inline std::string ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

inline std::wstring Wide(std::string_view cp932) {
    const std::u16string w = Cp932ToUtf16(cp932);
    return {w.begin(), w.end()};
}

// Presses a push button the way a click does: the dialog gets BN_CLICKED.
inline void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Waits until `condition` holds or `limit` passes; returns whether it held.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace kolt::test

namespace kolt::test {

// Runs `runModal` on this thread while a second thread waits for the first
// window `accept` takes and hands it to `drive`. Whatever `drive` leaves open
// is cancelled, so the modal loop always ends. Returns whether the window came.
inline bool DriveModal(const std::function<void()>& runModal, const std::function<bool(HWND)>& accept,
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

// A dialog of this program: class "#32770" with control `id`.
inline std::function<bool(HWND)> DialogWith(int id) {
    return [id](HWND window) { return HasClass(window, L"#32770") && GetDlgItem(window, id) != nullptr; };
}

// Selects `folder` (CP932) in a shell folder picker of this process and waits
// until its status line shows it; true when it did. The selection is sent
// again now and then, and the wait is long: on a loaded machine Wine's picker
// can be busy filling its tree for many seconds, and can drop a selection.
inline bool SelectInPicker(HWND picker, int statusId, const std::string& folder,
                           std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    const std::wstring wide = Wide(folder);
    int polls = 0;
    return WaitUntil(
        [&] {
            if (polls++ % 25 == 0) {
                SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
            }
            return ItemText(picker, statusId) == folder;
        },
        limit);
}

// Folders for the tests that drive the shell's folder picker, kept where
// nothing else changes. Wine's picker matches a path against its tree item by
// item, comparing the shell's raw item data, which holds each folder's
// modification time: once a parent folder changes (the system's temporary
// folder does all the time), a selection below it never takes again. So the
// folders live in one folder beside the test program, made at the first use
// and removed at exit, with a fresh subfolder for each test case.
class PickerFolders {
public:
    PickerFolders() : base_("case" + std::to_string(++Count())) { Suite().Make(base_); }

    // Creates folder `name` (CP932) of this test case.
    void Make(std::string_view name) const { Suite().Make(base_ + "\\" + std::string(name)); }
    // The CP932 absolute path of folder `name` of this test case.
    std::string Path(std::string_view name) const { return Suite().root + "\\" + base_ + "\\" + std::string(name); }

private:
    struct Root {
        Root() {
            // The test desktop's own drive T: keeps the picker's walk short
            // (a deep build folder under a busy /tmp makes Wine's picker slow
            // and unreliable); elsewhere the folders lie beside the program.
            std::wstring base = L"T:";
            if (GetDriveTypeW(L"T:\\") == DRIVE_NO_ROOT_DIR) {
                std::wstring self(MAX_PATH, L'\0');
                self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
                base = self.substr(0, self.find_last_of(L'\\'));
            }
            const std::wstring dir = base + L"\\picker-" + std::to_wstring(GetCurrentProcessId());
            CreateDirectoryW(dir.c_str(), nullptr);
            root = Utf16ToCp932(std::u16string(dir.begin(), dir.end()));
            wide = dir;
        }
        ~Root() {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(wide), ignored);
        }
        void Make(const std::string& relative) const {
            CreateDirectoryW(Wide(root + "\\" + relative).c_str(), nullptr);
        }
        std::string root;  // CP932
        std::wstring wide;
    };
    static Root& Suite() {
        static Root root;
        return root;
    }
    static int& Count() {
        static int count = 0;
        return count;
    }
    std::string base_;
};

}  // namespace kolt::test
