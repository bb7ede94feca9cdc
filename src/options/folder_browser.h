// CFolderBrowser runs the shell's folder picker over an owner window: it
// preselects a starting folder, shows the selected path in the picker's status
// line, lets a derived class allow or refuse OK per folder, and hands the
// chosen folder back as a CP932 path. It knows nothing of the game. The
// picker is the shell's window: nothing of it is hooked.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/owners_win.h"

namespace kolt {

class CFolderBrowser {
public:
    CFolderBrowser();
    explicit CFolderBrowser(std::string startPath);
    virtual ~CFolderBrowser();
    CFolderBrowser(const CFolderBrowser&) = delete;
    CFolderBrowser& operator=(const CFolderBrowser&) = delete;

    // Before Browse: the folder to preselect. After a Browse that returned
    // true: the chosen folder (empty for an item without a file-system path).
    std::string path;

    // Runs the picker modally. BIF_STATUSTEXT is always added to `flags`.
    // `owner` null gives an unowned picker; no `rootPath` gives the desktop.
    // Returns false, with `path` unchanged, when the user cancelled.
    bool Browse(UINT flags, std::string_view title, HWND owner = nullptr,
                std::optional<std::string_view> rootPath = std::nullopt);

    // The shell's item for a CP932 path; null for none, an empty path or one
    // the shell cannot parse.
    static ItemIdList PathToItemIdList(std::optional<std::string_view> folder);

    static int CALLBACK FolderPickerCallback(HWND picker, UINT notification, LPARAM param, LPARAM data);

protected:
    // A typed name the picker could not validate: nonzero keeps the picker
    // open, 0 lets it close.
    virtual int OnValidateFailed(std::string_view name);
    // The file-system path of a new selection (empty when it has none):
    // 0 leaves OK as the picker set it, 1 disables OK, 2 enables it.
    virtual int CheckFolder(std::string_view folder);

private:
    int OnNotification(HWND picker, UINT notification, LPARAM param);
    // Enables or disables OK as CheckFolder decides for the current selection;
    // returns the decision.
    int ApplyOkState(HWND picker);
    int Guarded(HWND picker, const std::function<int()>& work);
    // Checks the OK state once more after the picker has finished with a change.
    void RecheckLater();

    class Recheck;
    std::unique_ptr<Recheck> recheck_;  // while the picker runs
    HWND picker_ = nullptr;             // likewise

    std::exception_ptr failure_;  // thrown inside the callback, rethrown by Browse
    // The picker's current selection as of its last change: its file-system
    // path (empty without one), or nullopt when code page 932 cannot name it.
    std::optional<std::string> selection_;
};

}  // namespace kolt
