// What the Windows settings write decides, apart from the Win32 calls that
// carry it out: which copy goes where after each documented answer of
// ReplaceFileW, what is waited for, and when a file of ours may be removed.
// file_system_win.cpp runs ReplaceContents over the real calls; tests run it
// over a scripted file system. The system's error codes are Win32's, written
// here as numbers so that this file needs no Windows header.
//
// Three names take part, all in the settings file's folder (one volume, so
// that every step is a rename): the settings file, a temporary file holding
// the new contents and a backup name that ReplaceFileW moves the old file to.
// Whatever fails, each copy is under one of these names, and a temporary or
// backup file is removed only once the settings file holds whole contents.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/file_system.h"

namespace kolt::fs {

namespace win32 {
inline constexpr SystemError kInvalidFunction = 1;
inline constexpr SystemError kAccessDenied = 5;
inline constexpr SystemError kSharingViolation = 32;
inline constexpr SystemError kLockViolation = 33;
inline constexpr SystemError kNotSupported = 50;
inline constexpr SystemError kInvalidParameter = 87;
inline constexpr SystemError kDiskFull = 112;
inline constexpr SystemError kUnableToRemoveReplaced = 1175;
inline constexpr SystemError kUnableToMoveReplacement = 1176;
inline constexpr SystemError kUnableToMoveReplacement2 = 1177;

inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kOffline = 0x1000;
inline constexpr std::uint32_t kNotContentIndexed = 0x2000;
}  // namespace win32

// A try again: at most this many attempts, this far apart (about a second).
inline constexpr int kHeldAttempts = 10;
inline constexpr std::uint32_t kHeldPauseMs = 100;

// The calls the write needs. Each returns 0 on success or the system's code.
class ReplacePlatform {
public:
    enum class Name { Settings, Temporary, Backup };
    struct SettingsInfo {
        bool exists = false;
        std::uint32_t attributes = 0;
        std::uint32_t links = 1;  // names of the file
        std::uint64_t size = 0;
    };

    virtual ~ReplacePlatform() = default;
    // The settings file as it is now (a symbolic link followed).
    virtual SettingsInfo Inspect() = 0;
    // Creates the temporary file afresh, writes `contents`, flushes it to the disk, closes it.
    virtual SystemError WriteTemporary(std::string_view contents) = 0;
    // ReplaceFileW(settings, temporary, backup).
    virtual SystemError Replace() = 0;
    // MoveFileExW(from, settings, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
    virtual SystemError MoveToSettings(Name from) = 0;
    virtual bool Exists(Name name) = 0;
    virtual SystemError Remove(Name name) = 0;
    virtual SystemError SetSettingsAttributes(std::uint32_t attributes) = 0;
    // The settings file itself, for the rewrite in place: opened for writing
    // (others may read), its end moved to `size`, written from its start,
    // flushed, closed.
    virtual SystemError OpenSettings() = 0;
    virtual SystemError ResizeSettings(std::uint64_t size) = 0;
    virtual SystemError WriteSettings(std::string_view contents) = 0;
    virtual SystemError FlushSettings() = 0;
    virtual void CloseSettings() = 0;
    virtual void Pause(std::uint32_t ms) = 0;
};

// The attributes the settings file gets after a write: the user's hidden,
// system and not-indexed kept, archive set (the file has changed, whatever
// the old one said), never offline (the contents are here).
std::uint32_t AttributesAfterWrite(std::uint32_t before);

// Puts `contents` in the settings file; 0, or the code that says why not.
// See ReplaceFileAtomically (file_system.h) for what is promised.
SystemError ReplaceContents(ReplacePlatform& platform, std::string_view contents);

}  // namespace kolt::fs
