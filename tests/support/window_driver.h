// Helpers for driving windows in the Windows tests, in this process or in
// another: texts read the way a user sees them, buttons pressed the way a
// click does, bounded waits for a window or a condition, modal windows driven
// from a second thread, message boxes answered from a watcher thread, and the
// queue pumped the way the program's loop does.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kolt::test {

// A window's text through WM_GETTEXT, which also reaches other processes' controls.
std::wstring WindowText(HWND window);
// The text of control `id` of `dialog`.
std::wstring ItemText(HWND dialog, int id);
std::wstring ClassName(HWND window);
inline bool HasClass(HWND window, std::wstring_view name) {
    return ClassName(window) == name;
}

// What a screen reader hears of a control: the name and the value of its
// client object, asked through Active Accessibility the way one asks (the
// calling thread must be in a COM apartment). An absent text reads as empty.
struct Heard {
    bool answered = false;  // an object came at all
    std::wstring name;
    std::wstring value;
};
Heard Hear(HWND control);

// Presses a push button the way a click does: the dialog gets BN_CLICKED.
void PressButton(HWND dialog, int id);

// Waits until `condition` holds or `limit` passes; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(20));

// The first visible top-level window of `thread` that `accept` takes,
// waiting at most `limit`; null when none came.
HWND WaitForThreadWindow(DWORD thread, const std::function<bool(HWND)>& accept,
                         std::chrono::milliseconds limit = std::chrono::seconds(20));

// Runs `runModal` on this thread while a second thread waits for the first
// window `accept` takes and hands it to `drive`. Whatever `drive` leaves open
// is cancelled, so the modal loop always ends. Returns whether the window came.
bool DriveModal(const std::function<void()>& runModal, const std::function<bool(HWND)>& accept,
                const std::function<void(HWND)>& drive);

// A dialog of this program: class "#32770" with control `id`.
std::function<bool(HWND)> DialogWith(int id);

// Selects `folder` (CP932) in a shell folder picker of this process and waits
// until its status line shows it; true when it did. The selection is sent
// again now and then, and the wait is long: on a loaded machine Wine's picker
// can be busy filling its tree for many seconds, and can drop a selection.
bool SelectInPicker(HWND picker, int statusId, const std::string& folder,
                    std::chrono::milliseconds limit = std::chrono::seconds(60));

// Folders for the tests that drive the shell's folder picker, kept where
// nothing else changes. Wine's picker matches a path against its tree item by
// item, comparing the shell's raw item data, which holds each folder's
// modification time: once a parent folder changes (the system's temporary
// folder does all the time), a selection below it never takes again. So the
// folders live in one folder of their own (the test desktop's drive T:, or
// beside the test program), made at the first use and removed at exit, with a
// fresh subfolder for each test case.
class PickerFolders {
public:
    PickerFolders();
    // Creates folder `name` (CP932) of this test case.
    void Make(std::string_view name) const;
    // The CP932 absolute path of folder `name` of this test case.
    std::string Path(std::string_view name) const;

private:
    std::string base_;
};

struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
    bool errorIcon = false;
    bool exclamationIcon = false;
};

// Watches the windows of one thread (the caller's by default) for message
// boxes, records each and presses its OK button.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD threadId = GetCurrentThreadId());
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // The boxes seen so far, and forgets them.
    std::vector<SeenMessageBox> Take();

private:
    void Watch();
    DWORD threadId_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<SeenMessageBox> seen_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

// Runs everything waiting in this thread's queue, through the program's own
// pre-translation, then the idle update.
void Pump();

}  // namespace kolt::test
