#include "base/settings_file.h"

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
    const fs::ReadResult r = fs::ReadWholeFile(path_, kMaxSettingsFileBytes, original_);
    leaveAlone_ = r == fs::ReadResult::Unreadable || r == fs::ReadResult::TooLarge;
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
    if (leaveAlone_) return false;
    IniDocument doc(original_);
    doc.SetString(kSection, kPriorityKey, std::to_string(settings.gamePriority));
    doc.SetString(kSection, kFolderKey, settings.gameFolder);
    if (!fs::ReplaceFileAtomically(path_, doc.bytes())) return false;
    original_ = doc.bytes();
    return true;
}

}  // namespace kolt
