#include "base/byte_reader.h"

#include <algorithm>
#include <cstring>

#include "base/cp932.h"

namespace kolt {

FileException::FileException(fs::FileError error) : std::runtime_error("file error"), error_(std::move(error)) {}

std::string DescribeFileError(const fs::FileError& error) {
    // Keep the whole text under 1024 bytes: shorten an absurdly long path at a
    // character boundary.
    const std::string path = ShortenText(error.path, kMessagePathBytes);
    // The messages are CP932 bytes, written as escapes so the source stays ASCII-safe.
    switch (error.kind) {
        case fs::ErrorKind::None:
            return {};
        case fs::ErrorKind::FileNotFound:  // "%1 が見つかりませんでした。"
            return path +
                   " \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42";
        case fs::ErrorKind::PathNotFound:  // "%1 のパスが見つかりませんでした。"
            return path +
                   " \x82\xCC\x83\x70\x83\x58\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x82\xC5"
                   "\x82\xB5\x82\xBD\x81\x42";
        case fs::ErrorKind::AccessDenied:  // "%1 へのアクセスが拒否されました。"
            return path +
                   " \x82\xD6\x82\xCC\x83\x41\x83\x4E\x83\x5A\x83\x58\x82\xAA\x8B\x91\x94\xDB\x82\xB3\x82\xEA\x82\xDC"
                   "\x82\xB5\x82\xBD\x81\x42";
        case fs::ErrorKind::SharingViolation:  // "%1 は他のプロセスが使用中です。"
            return path +
                   " \x82\xCD\x91\xBC\x82\xCC\x83\x76\x83\x8D\x83\x5A\x83\x58\x82\xAA\x8E\x67\x97\x70\x92\x86\x82\xC5"
                   "\x82\xB7\x81\x42";
        case fs::ErrorKind::TooManyOpenFiles:  // "%1 を開けません。開いているファイルが多すぎます。"
            return path +
                   " \x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x81\x42\x8A\x4A\x82\xA2\x82\xC4\x82\xA2\x82\xE9"
                   "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x91\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7\x81\x42";
        case fs::ErrorKind::ReadFault:  // "%1 の読み込み中にエラーが発生しました。"
            return path +
                   " \x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x92\x86\x82\xC9\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD"
                   "\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";
        case fs::ErrorKind::Other:
            break;
    }
    // "%1 へのアクセス中に予期しないエラーが発生しました。"
    return path +
           " \x82\xD6\x82\xCC\x83\x41\x83\x4E\x83\x5A\x83\x58\x92\x86\x82\xC9\x97\x5C\x8A\xFA\x82\xB5\x82\xC8\x82\xA2"
           "\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";
}

std::unique_ptr<fs::InputFile> OpenOrThrow(std::string_view path) {
    fs::FileError error;
    auto file = fs::OpenForReading(path, error);
    if (!file) throw FileException(std::move(error));
    return file;
}

ByteReader::ByteReader(fs::InputFile& file, std::string path, std::size_t bufferSize)
    : file_(file), path_(std::move(path)), buffer_(bufferSize ? bufferSize : 1) {}

bool ByteReader::Fill() {
    const std::uint64_t at = bufferStart_ + pos_;
    if (!filePosValid_ || pos_ != size_) {
        if (!file_.Seek(at)) throw FileException(fs::FileError{fs::ErrorKind::ReadFault, path_});
    }
    bufferStart_ = at;
    pos_ = 0;
    size_ = 0;
    filePosValid_ = true;
    const std::int64_t got = file_.Read(buffer_.data(), buffer_.size());
    if (got < 0) {
        filePosValid_ = false;
        throw FileException(fs::FileError{fs::ErrorKind::ReadFault, path_});
    }
    size_ = static_cast<std::size_t>(got);
    return size_ > 0;
}

std::size_t ByteReader::Read(void* out, std::size_t size) {
    auto* dst = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (done < size) {
        if (pos_ >= size_ && !Fill()) break;
        const std::size_t n = std::min(size - done, size_ - pos_);
        std::memcpy(dst + done, buffer_.data() + pos_, n);
        pos_ += n;
        done += n;
    }
    return done;
}

std::size_t ByteReader::ReadU32(std::uint32_t& value) {
    unsigned char b[4] = {0, 0, 0, 0};
    std::size_t got;
    if (pos_ <= size_ && size_ - pos_ >= 4) {  // the common case, straight from the buffer
        std::memcpy(b, buffer_.data() + pos_, 4);
        pos_ += 4;
        got = 4;
    } else {
        got = Read(b, 4);
    }
    value = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
            (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return got;
}

std::span<const unsigned char> ByteReader::Available() {
    if (pos_ >= size_ && !Fill()) return {};
    return {buffer_.data() + pos_, size_ - pos_};
}

void ByteReader::Seek(std::uint64_t offset) {
    if (offset >= bufferStart_ && offset - bufferStart_ <= size_) {
        pos_ = static_cast<std::size_t>(offset - bufferStart_);
        return;
    }
    // Outside the buffer: drop it; the next read seeks the file.
    bufferStart_ = offset;
    pos_ = 0;
    size_ = 0;
    filePosValid_ = false;
}

}  // namespace kolt
