// The two things the readers need of the file system, behind one header with
// no platform types: opening a file for shared reading, and the wildcard
// directory search. Paths are CP932 with backslash separators, as the game
// names them, relative to the working directory (the game folder) or absolute.
//
// file_system_win.cpp maps them onto the wide Win32 calls; file_system_posix.cpp
// onto POSIX, where names on disk are UTF-8, "\" becomes "/", and a wildcard
// search matches without regard to case and reports "." and ".." as Windows does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kolt::fs {

enum class ErrorKind {
    None,
    FileNotFound,
    PathNotFound,
    AccessDenied,
    SharingViolation,
    TooManyOpenFiles,
    ReadFault,  // the system reported an error while reading
    Other,
};

// A failure to open or read a file, with enough to describe it to a user.
struct FileError {
    ErrorKind kind = ErrorKind::None;
    std::string path;  // the file as it was opened, CP932
};

// A file opened read-only, other processes still free to read and write it.
// Reads are plain system reads; callers buffer (see ByteReader).
class InputFile {
public:
    virtual ~InputFile() = default;
    // Bytes read (0 at the end of the file), or -1 on a read error.
    virtual std::int64_t Read(void* buffer, std::size_t size) = 0;
    // The system's code for the last read error (see SystemError below).
    virtual std::uint32_t ReadError() const { return 0; }
    // Moves to an absolute offset; a position past the end is allowed.
    virtual bool Seek(std::uint64_t offset) = 0;
};

// Opens `path` for shared reading. On failure returns null and fills `error`.
std::unique_ptr<InputFile> OpenForReading(std::string_view path, FileError& error);

struct DirEntry {
    std::string name;  // CP932, as the search returned it
    bool isDirectory = false;
    bool isDots = false;  // "." or ".."
};

// A wildcard directory search on a pattern such as "port\*" or
// "port\Alpha\scenario\*.sd3": '*' matches any run of characters, '?' one
// character, letter case is not significant.
class DirSearch {
public:
    virtual ~DirSearch() = default;
    // Moves to the next match; false when there is none left.
    virtual bool Next(DirEntry& entry) = 0;
};

// Begins a search; returns null when nothing matches (also when the folder is
// missing or unreadable), as the platform's search does.
std::unique_ptr<DirSearch> BeginSearch(std::string_view pattern);

// Files of the program's own (its settings) are named by native paths in
// UTF-8, which holds any name the system can, unlike CP932.

// The system's own code for why an operation on such a file failed
// (GetLastError on Windows, errno on POSIX), so that its description can be
// shown; 0 for none.
using SystemError = std::uint32_t;
// Whether `error` means another process holds the file for a moment (a
// sharing violation or a locked range), so that trying again can help.
bool IsBusy(SystemError error);
// The code that says a file is too large to be handled.
SystemError TooLargeError();

enum class ReadResult { Ok, Missing, Busy, Unreadable, TooLarge };
// Reads a whole file of at most `maxBytes` bytes; on failure `error` (when
// given) tells why.
ReadResult ReadWholeFile(const std::string& utf8Path, std::size_t maxBytes, std::string& contents,
                         SystemError* error = nullptr);
// Opens a regular file of the program's own for shared reading; on failure
// returns null and says whether the file is missing, busy or unreadable.
std::unique_ptr<InputFile> OpenOwnFile(const std::string& utf8Path, ReadResult& failure, SystemError& error);
// Replaces a file's contents all at once: writes a temporary file beside it,
// flushes it to the disk, then renames it over the old file, so that a crash
// or a full disk leaves the old file whole. Whatever fails, the file ends
// with its old or its new contents, whole, and nothing of ours is left beside
// it; only where neither copy can be put back under the file's name (Windows:
// the replace moved the old file aside and no rename is allowed any more) do
// both stay, beside it, under the names "<file>.<process id>.tmp" (the new
// contents) and ".bak" (the old).
// What the user set on the file stays: a symbolic link keeps leading to the
// file, which is the one replaced, with its attributes (Windows: hidden,
// system and not-indexed; archive is set, as the file has changed) or
// permissions (POSIX). A read-only file is refused at once. Another process
// holding the file is waited for, about a second. On failure `error` tells why.
// A file with more than one hard link is rewritten in place instead, so that
// every name still shows the same file. That write is not atomic: the file is
// first extended to its new size, so a full disk fails before a byte of it is
// overwritten, and it is flushed before the call returns, but a crash or a
// write error in between can leave a mix of old and new bytes. That is the
// price of keeping the other names.
bool ReplaceFileAtomically(const std::string& utf8Path, std::string_view contents, SystemError& error);

}  // namespace kolt::fs
