#include "base/settings_file.h"

#include <chrono>
#include <thread>

#include "base/file_system.h"
#include "base/ini_profile.h"
#include "base/replace_steps.h"

namespace kolt {
namespace {
constexpr char kSection[] = "Option";
constexpr char kPriorityKey[] = "GamePriority";
constexpr char kFolderKey[] = "GameFolder";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The whole file, another program that holds it (an editor, a virus scanner,
// a sync tool) waited for about a second, as the write waits for it.
fs::ReadResult ReadWhenFree(const std::string& path, std::string& contents, fs::SystemError& error) {
    fs::ReadResult r = fs::ReadResult::Busy;
    for (int attempt = 0; r == fs::ReadResult::Busy && attempt < fs::kHeldAttempts; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(fs::kHeldPauseMs));
        r = fs::ReadWholeFile(path, kMaxSettingsFileBytes, contents, &error);
    }
    return r;
}
}  // namespace

std::string SettingsPathFor(std::string_view programPath) {
    std::size_t nameStart = programPath.size();
    while (nameStart > 0 && !IsSeparator(programPath[nameStart - 1]))
        --nameStart;
    const std::size_t dot = programPath.rfind('.');
    std::string path(programPath);
    if (dot != std::string_view::npos && dot >= nameStart) path.resize(dot);
    return path + ".ini";
}

Settings SettingsFile::Load() {
    Settings settings;
    std::string bytes;
    const fs::ReadResult r = ReadWhenFree(path_, bytes, loadError_);
    leaveAlone_ = r != fs::ReadResult::Ok && r != fs::ReadResult::Missing;
    if (r != fs::ReadResult::Ok) return settings;
    const IniDocument doc(std::move(bytes));
    settings.gamePriority = doc.GetInt(kSection, kPriorityKey, settings.gamePriority);
    settings.gameFolder = doc.GetString(kSection, kFolderKey).value_or(std::string());
    return settings;
}

bool SettingsFile::Save(const Settings& settings) {
    lastError_ = 0;
    if (leaveAlone_) {
        lastError_ = loadError_;
        return false;
    }
    // The file as it is now, not as it was at Load: a run lasts as long as
    // the player plays, and the file may have been edited meanwhile.
    std::string now;
    const fs::ReadResult r = ReadWhenFree(path_, now, lastError_);
    if (r != fs::ReadResult::Ok && r != fs::ReadResult::Missing) return false;  // held, too large, not a file
    lastError_ = 0;
    IniDocument doc(now);
    doc.SetString(kSection, kPriorityKey, std::to_string(settings.gamePriority));
    doc.SetString(kSection, kFolderKey, settings.gameFolder);
    // Nothing to change: the file keeps its identity and its time, and
    // nobody watching it is told of a change.
    if (r == fs::ReadResult::Ok && doc.bytes() == now) return true;
    return fs::ReplaceFileAtomically(path_, doc.bytes(), lastError_);
}

}  // namespace kolt
