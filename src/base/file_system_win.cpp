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
        if (!ReadFile(handle_.get(), buffer, want, &got, nullptr)) return -1;
        return got;
    }
    bool Seek(std::uint64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) != 0;
    }

private:
    KernelHandle handle_;
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

std::unique_ptr<InputFile> OpenOwnFile(const std::string& utf8Path, ReadResult& failure) {
    KernelHandle h(CreateFileW(WideFromUtf8(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        const DWORD err = GetLastError();
        failure =
            err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? ReadResult::Missing : ReadResult::Unreadable;
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(h));
}

bool ReplaceFileAtomically(const std::string& utf8Path, std::string_view contents) {
    const std::wstring target = WideFromUtf8(utf8Path);
    // A name of our own beside the target, so the move never crosses volumes.
    const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    KernelHandle h(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < contents.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(h.get(), contents.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(h.get());
    ok = CloseHandle(h.release()) && ok;
    if (ok) {
        ok = false;
        // Someone (an editor, a virus scanner) may hold the old file for a moment.
        for (int attempt = 0; attempt < 10 && !ok; ++attempt) {
            ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            if (!ok) {
                const DWORD err = GetLastError();
                if (err != ERROR_SHARING_VIOLATION && err != ERROR_ACCESS_DENIED && err != ERROR_LOCK_VIOLATION) break;
                Sleep(100);
            }
        }
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

}  // namespace kolt::fs
