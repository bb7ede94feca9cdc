// Helpers for driving windows in the tests: message boxes answered from a
// watcher thread (a modal box would otherwise hold the test), texts read the
// way a user sees them, and the queue pumped the way the program's loop does.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kolt::test {

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

std::wstring TextOf(HWND hwnd);
// CP932 bytes of what a window shows.
std::string Cp932TextOf(HWND hwnd);
// Runs everything waiting in this thread's queue, through the program's own
// pre-translation, then the idle update.
void Pump();

}  // namespace kolt::test
