#include "base/replace_steps.h"

namespace kolt::fs {
namespace {

using Name = ReplacePlatform::Name;
using namespace win32;

// Whether another program holds the file for a moment (an editor, a virus
// scanner, a sync tool), so that trying again can help. A rename or removal
// can also be refused with "access denied" while a file is scanned or being
// deleted, and ReplaceFileW says so with "the replaced file could not be removed".
bool Held(SystemError error, bool renaming) {
    return error == kSharingViolation || error == kLockViolation ||
           (renaming && (error == kAccessDenied || error == kUnableToRemoveReplaced));
}

template <class Step>
SystemError RetryWhileHeld(ReplacePlatform& platform, bool renaming, Step step) {
    for (int attempt = 1;; ++attempt) {
        const SystemError error = step();
        if (error == 0 || !Held(error, renaming) || attempt == kHeldAttempts) return error;
        platform.Pause(kHeldPauseMs);
    }
}

void RemoveIfThere(ReplacePlatform& platform, Name name) {
    if (platform.Exists(name)) RetryWhileHeld(platform, true, [&] { return platform.Remove(name); });
}

// A file with more than one name: a rename would give this name a new file
// and leave the others on the old one, so the file itself is rewritten.
SystemError RewriteInPlace(ReplacePlatform& platform, const ReplacePlatform::SettingsInfo& info,
                           std::string_view contents) {
    SystemError error = RetryWhileHeld(platform, false, [&] { return platform.OpenSettings(); });
    if (error != 0) return error;
    // 1. Room for the new contents first: a full disk fails here, before a
    //    byte of the old contents is overwritten.
    if (contents.size() > info.size) error = platform.ResizeSettings(contents.size());
    // 2. The new contents over the old, the end where they end, all on the disk.
    if (error == 0) error = platform.WriteSettings(contents);
    if (error == 0) error = platform.ResizeSettings(contents.size());
    if (error == 0) error = platform.FlushSettings();
    platform.CloseSettings();
    if (error == 0) platform.SetSettingsAttributes(AttributesAfterWrite(info.attributes));
    return error;
}

}  // namespace

std::uint32_t AttributesAfterWrite(std::uint32_t before) {
    return (before & (kHidden | kSystem | kNotContentIndexed)) | kArchive;
}

SystemError ReplaceContents(ReplacePlatform& platform, std::string_view contents) {
    const ReplacePlatform::SettingsInfo info = platform.Inspect();

    // 1. A read-only file or a folder: waiting would not change that.
    if (info.exists && (info.attributes & (kReadOnly | kDirectory)) != 0) return kAccessDenied;
    if (info.exists && info.links > 1) return RewriteInPlace(platform, info, contents);

    // 2. The new contents, whole and on the disk, under the temporary name.
    SystemError error = platform.WriteTemporary(contents);
    if (error != 0) {
        RemoveIfThere(platform, Name::Temporary);
        return error;
    }

    // 3. Into place. ReplaceFileW keeps what the old file had (its security,
    //    its creation time). After "the replacement could not be moved"
    //    (1176: every name as it was; 1177: the old file under the backup
    //    name, the settings name free) or a replace the file system cannot do
    //    (a share, for one), a plain rename puts the new contents in place.
    //    Held to the end: every name as it was.
    if (info.exists) {
        error = RetryWhileHeld(platform, true, [&] { return platform.Replace(); });
        if (error != 0 && !Held(error, true))
            error = RetryWhileHeld(platform, true, [&] { return platform.MoveToSettings(Name::Temporary); });
    } else {
        error = RetryWhileHeld(platform, true, [&] { return platform.MoveToSettings(Name::Temporary); });
    }

    // 4. A settings name left free brings the old contents back from the backup.
    if (error != 0 && info.exists && !platform.Exists(Name::Settings) && platform.Exists(Name::Backup))
        RetryWhileHeld(platform, true, [&] { return platform.MoveToSettings(Name::Backup); });

    // 5. Our files go only once the settings file holds whole contents (or,
    //    for a file that did not exist, is as it was: missing); otherwise each
    //    copy stays under the name it has.
    if (error == 0 || platform.Exists(Name::Settings) || !info.exists) {
        RemoveIfThere(platform, Name::Temporary);
        RemoveIfThere(platform, Name::Backup);
    }
    if (error == 0) platform.SetSettingsAttributes(AttributesAfterWrite(info.attributes));
    return error;
}

}  // namespace kolt::fs
