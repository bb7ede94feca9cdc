// The program's two settings, kept in an INI file beside the program (its
// full path with the extension replaced by ".ini"), section "Option", keys
// "GamePriority" and "GameFolder". Read once at start-up, written once at exit
// into the file as it is then, as the platform's profile functions do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_system.h"

namespace kolt {

struct Settings {
    std::int32_t gamePriority = 32;  // a Win32 priority class value, kept as read
    std::string gameFolder;          // CP932, may be empty
};

// The settings file's path for a program path (both UTF-8): the text from the
// last "." of the file name on is replaced by ".ini"; a name without an
// extension gets ".ini" appended (a "." in a folder name is no extension).
std::string SettingsPathFor(std::string_view programPath);

class SettingsFile {
public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing, unreadable or absurdly large file gives the
    // defaults. Another process holding the file (an editor, a virus scanner,
    // a sync tool) is waited for, about a second.
    Settings Load();
    // Reads the file again as it is now (waiting as Load does) and writes
    // both keys into it in one atomic replacement, keeping every other byte
    // as it now stands: whatever another program wrote into it since Load is
    // kept, and a file deleted since is created anew. A file that already
    // holds both values as they would be written is not written at all. A
    // file that cannot be read now, or could not be read at Load, is left
    // alone (false), so that nothing of it is lost.
    bool Save(const Settings& settings);
    // Why the last Save returned false: the system's code of the failed write,
    // or of the failed read (at Load or at Save) that left the file alone.
    fs::SystemError lastError() const { return lastError_; }

    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool leaveAlone_ = false;  // the file existed at Load but could not be read
    fs::SystemError loadError_ = 0;
    fs::SystemError lastError_ = 0;
};

// Above this a settings file is not ours to parse (nor to rewrite).
constexpr std::size_t kMaxSettingsFileBytes = 4 * 1024 * 1024;

}  // namespace kolt
