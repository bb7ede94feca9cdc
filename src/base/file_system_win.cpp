// Win32 twin of the file layer: wide calls, with CP932 <-> UTF-16 conversion
// named explicitly so nothing depends on the user's ANSI code page.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "base/cp932.h"
#include "base/file_system.h"
#include "base/owners_win.h"
#include "base/text_win.h"

namespace kolt::fs {
namespace {

ErrorKind KindOf(DWORD err) {
    switch (err) {
        case ERROR_FILE_NOT_FOUND:
            return ErrorKind::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return ErrorKind::PathNotFound;
        case ERROR_ACCESS_DENIED:
            return ErrorKind::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return ErrorKind::SharingViolation;
        case ERROR_TOO_MANY_OPEN_FILES:
            return ErrorKind::TooManyOpenFiles;
        case ERROR_READ_FAULT:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
            return ErrorKind::ReadFault;
        default:
            return ErrorKind::Other;
    }
}

class Win32File final : public InputFile {
public:
    explicit Win32File(KernelHandle h) : handle_(std::move(h)) {}

    std::int64_t Read(void* buffer, std::size_t size) override {
        DWORD got = 0;
        const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        if (!ReadFile(handle_.get(), buffer, want, &got, nullptr)) {
            readError_ = GetLastError();
            return -1;
        }
        return got;
    }
    std::uint32_t ReadError() const override { return readError_; }
    bool Seek(std::uint64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) != 0;
    }

private:
    KernelHandle handle_;
    DWORD readError_ = 0;
};

class Win32Search final : public DirSearch {
public:
    Win32Search(FindHandle h, const WIN32_FIND_DATAW& first) : handle_(std::move(h)), data_(first) {}

    bool Next(DirEntry& entry) override {
        if (!pending_ && !FindNextFileW(handle_.get(), &data_)) return false;
        pending_ = false;
        const std::wstring_view name = data_.cFileName;
        entry.name = Narrow(name);
        entry.isDirectory = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isDots = name == L"." || name == L"..";
        return true;
    }

private:
    FindHandle handle_;
    WIN32_FIND_DATAW data_;
    bool pending_ = true;  // the first match came with FindFirstFileExW
};

}  // namespace

std::unique_ptr<InputFile> OpenForReading(std::string_view path, FileError& error) {
    error = FileError{ErrorKind::None, std::string(path)};
    KernelHandle h(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h) {
        error.kind = KindOf(GetLastError());
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(h));
}

std::unique_ptr<DirSearch> BeginSearch(std::string_view pattern) {
    WIN32_FIND_DATAW data{};
    FindHandle h(FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH));
    if (!h) return nullptr;
    return std::make_unique<Win32Search>(std::move(h), data);
}

}  // namespace kolt::fs

namespace kolt::fs {
namespace {
std::wstring WideFromUtf8(const std::string& utf8) {
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}
}  // namespace

bool IsBusy(SystemError error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

SystemError TooLargeError() {
    return ERROR_FILE_TOO_LARGE;
}

std::unique_ptr<InputFile> OpenOwnFile(const std::string& utf8Path, ReadResult& failure, SystemError& error) {
    error = 0;
    KernelHandle h(CreateFileW(WideFromUtf8(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        error = GetLastError();
        failure = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                  : IsBusy(error)                                                ? ReadResult::Busy
                                                                                 : ReadResult::Unreadable;
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(h));
}

namespace {

// Runs `step` until it succeeds or fails for another reason than another
// process holding the file (an editor, a virus scanner, a sync tool), for
// about a second at most. `alsoDenied`: a file being deleted or scanned can
// refuse a move with "access denied" for a moment as well.
template <class Step>
bool RetryWhileHeld(Step step, DWORD& error, bool alsoDenied) {
    for (int attempt = 0;; ++attempt) {
        if (step()) return true;
        error = GetLastError();
        const bool held = IsBusy(error) || (alsoDenied && error == ERROR_ACCESS_DENIED);
        if (!held || attempt == 9) return false;
        Sleep(100);
    }
}

bool WriteAll(HANDLE h, std::string_view contents, DWORD& error) {
    for (std::size_t done = 0; done < contents.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, contents.data() + done, chunk, &written, nullptr) || written == 0) {
            error = GetLastError();
            return false;
        }
        done += written;
    }
    if (!FlushFileBuffers(h)) {
        error = GetLastError();
        return false;
    }
    return true;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return full;
}

// The path of the file an open handle leads to, symbolic links resolved;
// empty when the system cannot tell.
std::wstring FinalPath(HANDLE h) {
    const DWORD size = GetFinalPathNameByHandleW(h, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (size == 0) return {};
    std::wstring path(size, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(h, path.data(), size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= size) return {};
    path.resize(length);
    return path;
}

// A file with more than one name: a replacement would give this name a new
// file and leave the others on the old one, so the file itself is rewritten.
bool RewriteInPlace(const std::wstring& path, std::string_view contents, DWORD& error) {
    KernelHandle h;
    const bool opened = RetryWhileHeld(
        [&] {
            h.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            return static_cast<bool>(h);
        },
        error, false);
    if (!opened || !WriteAll(h.get(), contents, error)) return false;
    if (!SetEndOfFile(h.get()) || !FlushFileBuffers(h.get())) {
        error = GetLastError();
        return false;
    }
    return true;
}

// Attributes a file may be given back (the rest belong to the file system).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE;

}  // namespace

bool ReplaceFileAtomically(const std::string& utf8Path, std::string_view contents, SystemError& error) {
    DWORD code = 0;
    // Absolute: Wine's ReplaceFileW fails on a relative path.
    std::wstring target = FullPath(WideFromUtf8(utf8Path));
    bool exists = false;
    BY_HANDLE_FILE_INFORMATION info{};
    {
        const KernelHandle existing(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (existing && GetFileInformationByHandle(existing.get(), &info)) {
            exists = true;
            // A symbolic link stays a link: the file it leads to is replaced.
            if (std::wstring final = FinalPath(existing.get()); !final.empty()) target = std::move(final);
        }
    }
    if (exists && (info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        // Waiting would not change that: said at once.
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (exists && info.nNumberOfLinks > 1) {
        const bool ok = RewriteInPlace(target, contents, code);
        error = ok ? 0 : code;
        return ok;
    }

    // A name of our own beside the target, so the move never crosses volumes.
    const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    KernelHandle h(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        error = GetLastError();
        return false;
    }
    bool ok = WriteAll(h.get(), contents, code);
    if (!CloseHandle(h.release()) && ok) {
        code = GetLastError();
        ok = false;
    }
    if (ok && exists) {
        // ReplaceFileW keeps what the old file had (its security, its
        // creation time); its attributes are set again below, as Wine's does
        // not keep them.
        ok = RetryWhileHeld(
            [&] {
                return ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                    nullptr) != 0;
            },
            code, true);
        if (ok) {
            const DWORD kept = info.dwFileAttributes & kKeptAttributes;
            SetFileAttributesW(target.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
        }
    } else if (ok) {
        ok = RetryWhileHeld(
            [&] {
                return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
                       0;
            },
            code, true);
    }
    if (!ok) DeleteFileW(temp.c_str());
    error = ok ? 0 : code;
    return ok;
}

}  // namespace kolt::fs
