// Win32 twin of the file layer: wide calls, with CP932 <-> UTF-16 conversion
// named explicitly so nothing depends on the user's ANSI code page.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "base/cp932.h"
#include "base/file_system.h"
#include "base/owners_win.h"
#include "base/replace_steps.h"
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

// The decisions name the system's codes and attributes as numbers.
static_assert(win32::kInvalidFunction == ERROR_INVALID_FUNCTION && win32::kAccessDenied == ERROR_ACCESS_DENIED &&
              win32::kSharingViolation == ERROR_SHARING_VIOLATION && win32::kLockViolation == ERROR_LOCK_VIOLATION &&
              win32::kNotSupported == ERROR_NOT_SUPPORTED && win32::kInvalidParameter == ERROR_INVALID_PARAMETER &&
              win32::kDiskFull == ERROR_DISK_FULL &&
              win32::kUnableToRemoveReplaced == ERROR_UNABLE_TO_REMOVE_REPLACED &&
              win32::kUnableToMoveReplacement == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
              win32::kUnableToMoveReplacement2 == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
static_assert(win32::kReadOnly == FILE_ATTRIBUTE_READONLY && win32::kHidden == FILE_ATTRIBUTE_HIDDEN &&
              win32::kSystem == FILE_ATTRIBUTE_SYSTEM && win32::kDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              win32::kArchive == FILE_ATTRIBUTE_ARCHIVE && win32::kOffline == FILE_ATTRIBUTE_OFFLINE &&
              win32::kNotContentIndexed == FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);

bool WriteAll(HANDLE h, std::string_view contents) {
    for (std::size_t done = 0; done < contents.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, contents.data() + done, chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

SystemError LastErrorUnless(BOOL ok) {
    return ok ? 0 : GetLastError();
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

// The write's calls on the real file system; its decisions are ReplaceContents'.
class Win32ReplacePlatform final : public ReplacePlatform {
public:
    // Absolute: Wine's ReplaceFileW fails on a relative path.
    explicit Win32ReplacePlatform(const std::string& utf8Path) : settings_(FullPath(WideFromUtf8(utf8Path))) {}

    SettingsInfo Inspect() override {
        SettingsInfo info;
        const KernelHandle existing(CreateFileW(settings_.c_str(), FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION data{};
        if (existing && GetFileInformationByHandle(existing.get(), &data)) {
            info.exists = true;
            info.attributes = data.dwFileAttributes;
            info.links = data.nNumberOfLinks;
            info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
            // A symbolic link stays a link: the file it leads to is replaced.
            if (std::wstring final = FinalPath(existing.get()); !final.empty()) settings_ = std::move(final);
        }
        // Names of our own beside the file, so that every step is a rename on one volume.
        const std::wstring own = settings_ + L"." + std::to_wstring(GetCurrentProcessId());
        temporary_ = own + L".tmp";
        backup_ = own + L".bak";
        return info;
    }
    SystemError WriteTemporary(std::string_view contents) override {
        KernelHandle h(
            CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) return GetLastError();
        SystemError error = LastErrorUnless(WriteAll(h.get(), contents) && FlushFileBuffers(h.get()));
        // Closed here rather than by the owner, whose close would throw the
        // answer away: a close can be where a write fails (a network file).
        if (!CloseHandle(h.release()) && error == 0) error = GetLastError();
        return error;
    }
    SystemError Replace() override {
        return LastErrorUnless(ReplaceFileW(settings_.c_str(), temporary_.c_str(), backup_.c_str(),
                                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
    }
    SystemError MoveToSettings(Name from) override {
        return LastErrorUnless(
            MoveFileExW(NameOf(from).c_str(), settings_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    }
    bool Exists(Name name) override { return GetFileAttributesW(NameOf(name).c_str()) != INVALID_FILE_ATTRIBUTES; }
    SystemError Remove(Name name) override { return LastErrorUnless(DeleteFileW(NameOf(name).c_str())); }
    SystemError SetSettingsAttributes(std::uint32_t attributes) override {
        return LastErrorUnless(SetFileAttributesW(settings_.c_str(), attributes));
    }
    SystemError OpenSettings() override {
        open_.reset(CreateFileW(settings_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        return open_ ? 0 : GetLastError();
    }
    SystemError ResizeSettings(std::uint64_t size) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(size);
        return LastErrorUnless(SetFilePointerEx(open_.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(open_.get()));
    }
    SystemError WriteSettings(std::string_view contents) override {
        const LARGE_INTEGER start{};
        return LastErrorUnless(SetFilePointerEx(open_.get(), start, nullptr, FILE_BEGIN) &&
                               WriteAll(open_.get(), contents));
    }
    SystemError FlushSettings() override { return LastErrorUnless(FlushFileBuffers(open_.get())); }
    void CloseSettings() override { open_.reset(); }
    void Pause(std::uint32_t ms) override { Sleep(ms); }

private:
    const std::wstring& NameOf(Name name) const {
        return name == Name::Settings ? settings_ : name == Name::Temporary ? temporary_ : backup_;
    }

    std::wstring settings_, temporary_, backup_;
    KernelHandle open_;  // the settings file while it is rewritten in place
};

}  // namespace

bool ReplaceFileAtomically(const std::string& utf8Path, std::string_view contents, SystemError& error) {
    Win32ReplacePlatform platform(utf8Path);
    error = ReplaceContents(platform, contents);
    return error == 0;
}

}  // namespace kolt::fs
