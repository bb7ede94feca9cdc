#include "base/settings_file.h"

#include <chrono>
#include <thread>

#include "base/file_system.h"
#include "base/ini_profile.h"

namespace kolt {
namespace {
constexpr char kSection[] = "Option";
constexpr char kPriorityKey[] = "GamePriority";
constexpr char kFolderKey[] = "GameFolder";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
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
    fs::ReadResult r = fs::ReadResult::Busy;
    for (int attempt = 0; r == fs::ReadResult::Busy && attempt < 10; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        r = fs::ReadWholeFile(path_, kMaxSettingsFileBytes, original_, &loadError_);
    }
    leaveAlone_ = r != fs::ReadResult::Ok && r != fs::ReadResult::Missing;
    if (r != fs::ReadResult::Ok) {
        original_.clear();
        return settings;
    }
    const IniDocument doc(original_);
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
    IniDocument doc(original_);
    doc.SetString(kSection, kPriorityKey, std::to_string(settings.gamePriority));
    doc.SetString(kSection, kFolderKey, settings.gameFolder);
    if (!fs::ReplaceFileAtomically(path_, doc.bytes(), lastError_)) return false;
    original_ = doc.bytes();
    return true;
}

}  // namespace kolt
