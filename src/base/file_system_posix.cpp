// POSIX twin of the file layer. Game paths are CP932 with backslashes; names
// on a Linux disk are UTF-8. A path is converted component by component; a
// component that is not valid CP932 is used as raw bytes. Names read from the
// disk that are not UTF-8 are taken as CP932 bytes as they stand, and opening
// such a path falls back to the raw bytes when the UTF-8 form does not exist.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "base/cp932.h"
#include "base/file_system.h"

namespace kolt::fs {
namespace {

// Splits a CP932 path on backslashes (multibyte-aware) and joins the parts
// with "/", converting each to UTF-8 when `utf8` is set.
std::string NativePath(std::string_view path, bool utf8) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t sep = FindChar(path, '\\', start);
        const std::string_view part = path.substr(start, sep == std::string_view::npos ? sep : sep - start);
        const bool ascii = std::all_of(part.begin(), part.end(), [](char c) { return (c & 0x80) == 0; });
        if (utf8 && !ascii) {
            const std::u16string wide = Cp932ToUtf16(part);
            if (wide.find(u'\uFFFD') == std::u16string::npos)
                out += Utf16ToUtf8(wide);
            else
                out += part;
        } else {
            out += part;
        }
        if (sep == std::string_view::npos) break;
        out += '/';
        start = sep + 1;
    }
    return out;
}

ErrorKind KindOf(int err) {
    switch (err) {
        case ENOENT:
            return ErrorKind::FileNotFound;
        case ENOTDIR:
            return ErrorKind::PathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ErrorKind::AccessDenied;
        case EMFILE:
        case ENFILE:
            return ErrorKind::TooManyOpenFiles;
        default:
            return ErrorKind::Other;
    }
}

class PosixFile final : public InputFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::int64_t Read(void* buffer, std::size_t size) override {
        while (true) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0 || errno != EINTR) {
                if (n < 0) readError_ = static_cast<std::uint32_t>(errno);
                return n;
            }
        }
    }
    std::uint32_t ReadError() const override { return readError_; }
    bool Seek(std::uint64_t offset) override {
        return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
    }

private:
    int fd_;
    std::uint32_t readError_ = 0;
};

int OpenNative(const std::string& native) {
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;  // Windows refuses to open a folder as a file: access denied
        return -1;
    }
    return fd;
}

// Upper-cases ASCII letters only, so that matching ignores their case and
// leaves double-byte characters alone.
char Fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Wildcard match of a CP932 name: '*' any run, '?' one character.
bool Matches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    auto charLen = [](std::string_view s, std::size_t i) {
        return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2u : 1u;
    };
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += charLen(name, n);
        } else if (p < pattern.size() && charLen(pattern, p) == charLen(name, n) && Fold(pattern[p]) == Fold(name[n]) &&
                   (charLen(pattern, p) == 1 || pattern[p + 1] == name[n + 1])) {
            n += charLen(name, n);
            p += charLen(pattern, p);
        } else if (starP != std::string_view::npos) {
            p = starP;
            starN += charLen(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

class PosixSearch final : public DirSearch {
public:
    explicit PosixSearch(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    bool Next(DirEntry& entry) override {
        if (next_ >= entries_.size()) return false;
        entry = entries_[next_++];
        return true;
    }

private:
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<InputFile> OpenForReading(std::string_view path, FileError& error) {
    error = FileError{ErrorKind::None, std::string(path)};
    int fd = OpenNative(NativePath(path, true));
    if (fd < 0 && errno == ENOENT) fd = OpenNative(NativePath(path, false));
    if (fd < 0) {
        error.kind = KindOf(errno);
        // Windows tells a missing folder apart from a missing file.
        if (error.kind == ErrorKind::FileNotFound) {
            const std::size_t sep = FindLastChar(path, '\\');
            if (sep != std::string_view::npos) {
                struct stat st {};
                const std::string dir = NativePath(path.substr(0, sep), true);
                if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) error.kind = ErrorKind::PathNotFound;
            }
        }
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

std::unique_ptr<DirSearch> BeginSearch(std::string_view pattern) {
    const std::size_t sep = FindLastChar(pattern, '\\');
    const std::string_view dirPart = sep == std::string_view::npos ? std::string_view{} : pattern.substr(0, sep);
    const std::string_view namePattern = sep == std::string_view::npos ? pattern : pattern.substr(sep + 1);
    std::string dir = dirPart.empty() ? std::string(".") : NativePath(dirPart, true);
    DIR* d = ::opendir(dir.c_str());
    if (!d && !dirPart.empty()) {
        dir = NativePath(dirPart, false);
        d = ::opendir(dir.c_str());
    }
    if (!d) return nullptr;

    std::vector<DirEntry> entries;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view raw = e->d_name;
        DirEntry entry;
        // Plain ASCII names (most of a game's) are the same bytes in CP932.
        const bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return (c & 0x80) == 0; });
        entry.name = ascii ? std::string(raw) : Utf8ToCp932(raw).value_or(std::string(raw));
        if (!Matches(namePattern, entry.name)) continue;
        entry.isDots = raw == "." || raw == "..";
        if (e->d_type == DT_DIR || e->d_type == DT_REG) {
            entry.isDirectory = e->d_type == DT_DIR;  // known without a stat
        } else {
            struct stat st {};  // a link (followed, as Windows does) or a file system without d_type
            const std::string full = dir + "/" + std::string(raw);
            entry.isDirectory = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(d);
    if (entries.empty()) return nullptr;
    // NTFS returns names in its own case-insensitive order, "." and ".." first;
    // readdir has no order at all, so follow NTFS to make runs repeatable.
    // Each name's folded form is made once, so the sort compares plain bytes
    // (the same order as CompareNoCase), with the name itself to break ties.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::string key = entries[i].name;
        for (std::size_t k = 0; k < key.size(); ++k) {
            const auto c = static_cast<unsigned char>(key[k]);
            if (IsLeadByte(c))
                ++k;  // both bytes of a double-byte character stay as they are
            else if (c >= 'A' && c <= 'Z')
                key[k] = static_cast<char>(c + 32);
        }
        keys.emplace_back(std::move(key), i);
    }
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const DirEntry& x = entries[a.second];
        const DirEntry& y = entries[b.second];
        if (x.isDots != y.isDots) return x.isDots;
        const int c = a.first.compare(b.first);
        return c != 0 ? c < 0 : x.name < y.name;
    });
    std::vector<DirEntry> sorted;
    sorted.reserve(entries.size());
    for (auto& key : keys)
        sorted.push_back(std::move(entries[key.second]));
    entries = std::move(sorted);
    return std::make_unique<PosixSearch>(std::move(entries));
}

}  // namespace kolt::fs

namespace kolt::fs {

bool IsBusy(SystemError) {
    return false;  // POSIX locks are advisory: nothing stops a read
}

SystemError TooLargeError() {
    return EFBIG;
}

std::unique_ptr<InputFile> OpenOwnFile(const std::string& utf8Path, ReadResult& failure, SystemError& error) {
    error = 0;
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = static_cast<SystemError>(errno);
        failure = errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
        return nullptr;
    }
    auto file = std::make_unique<PosixFile>(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = EISDIR;
        failure = ReadResult::Unreadable;
        return nullptr;
    }
    return file;
}

namespace {

bool WriteAll(int fd, std::string_view contents) {
    for (std::size_t done = 0; done < contents.size();) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Allocates the bytes from `from` to `to` (past the end of the file only).
// A file system that cannot allocate ahead is written without it.
bool Reserve(int fd, off_t from, off_t to) {
    if (to <= from) return true;
    const int failed = ::posix_fallocate(fd, from, to - from);
    if (failed == 0 || failed == EOPNOTSUPP || failed == EINVAL) return true;
    errno = failed;
    return false;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& utf8Path, std::string_view contents, SystemError& error) {
    error = 0;
    std::string target = utf8Path;
    struct stat st {};
    const bool exists = ::stat(utf8Path.c_str(), &st) == 0;  // through any symbolic link
    if (exists) {
        // A symbolic link stays a link: the file it leads to is replaced.
        if (char* real = ::realpath(utf8Path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
        if (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0) {
            // A folder, or a file its owner made read-only: said at once.
            error = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
            return false;
        }
    }
    if (exists && st.st_nlink > 1) {
        // Every name of the file must keep showing the same file.
        // Room first (a plain extension would only make a hole), so that a
        // full disk fails before a byte of the old contents is overwritten.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        const auto size = static_cast<off_t>(contents.size());
        bool ok = fd >= 0 && Reserve(fd, st.st_size, size) && WriteAll(fd, contents) && ::ftruncate(fd, size) == 0 &&
                  ::fsync(fd) == 0;
        if (!ok) error = static_cast<SystemError>(errno);
        if (fd >= 0 && ::close(fd) != 0 && ok) {
            error = static_cast<SystemError>(errno);
            ok = false;
        }
        return ok;
    }

    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = static_cast<SystemError>(errno);
        return false;
    }
    // Keep the old file's permissions, or the usual ones for a new file.
    ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
    bool ok = WriteAll(fd, contents) && ::fsync(fd) == 0;
    if (!ok) error = static_cast<SystemError>(errno);
    if (::close(fd) != 0 && ok) {
        error = static_cast<SystemError>(errno);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = static_cast<SystemError>(errno);
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace kolt::fs
