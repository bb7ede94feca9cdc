// The parts of the file layer that need no platform calls of their own.
#include "base/file_system.h"

namespace kolt::fs {

ReadResult ReadWholeFile(const std::string& utf8Path, std::size_t maxBytes, std::string& contents, SystemError* error) {
    contents.clear();
    ReadResult failure = ReadResult::Unreadable;
    SystemError code = 0;
    const auto file = OpenOwnFile(utf8Path, failure, code);
    if (error) *error = code;
    if (!file) return failure;
    // The cap is checked as the bytes arrive, so a huge file costs at most
    // maxBytes of memory whatever its size claims.
    char buf[16384];
    while (true) {
        const std::int64_t n = file->Read(buf, sizeof buf);
        if (n < 0) {
            // A range another process has locked fails the read, not the open.
            if (error) *error = file->ReadError();
            contents.clear();
            return IsBusy(file->ReadError()) ? ReadResult::Busy : ReadResult::Unreadable;
        }
        if (n == 0) break;
        if (contents.size() + static_cast<std::size_t>(n) > maxBytes) {
            if (error) *error = TooLargeError();
            contents.clear();
            return ReadResult::TooLarge;
        }
        contents.append(buf, static_cast<std::size_t>(n));
    }
    return ReadResult::Ok;
}

}  // namespace kolt::fs
