// Buffered, byte-exact reading of one open file: sequential reads through a
// fixed buffer (never one system call per word, never the whole file in
// memory), with seeks that stay inside the buffer when they can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"

namespace kolt {

// A file error raised by a reader, caught by the operation that called it.
class FileException : public std::runtime_error {
public:
    explicit FileException(fs::FileError error);
    const fs::FileError& error() const { return error_; }

private:
    fs::FileError error_;
};

// The longest path a message quotes whole: with any text around it, the
// message stays under 1024 bytes.
inline constexpr std::size_t kMessagePathBytes = 900;

// Japanese description of a file error that names the cause and the file as
// it was opened; always shorter than 1024 bytes.
std::string DescribeFileError(const fs::FileError& error);

// Opens a file for shared reading or throws FileException.
std::unique_ptr<fs::InputFile> OpenOrThrow(std::string_view path);

class ByteReader {
public:
    // `file` must outlive the reader; `path` names it in errors.
    ByteReader(fs::InputFile& file, std::string path, std::size_t bufferSize = 64 * 1024);

    // Reads up to `size` bytes; fewer only at the end of the file. Throws
    // FileException when the system reports a read error.
    std::size_t Read(void* out, std::size_t size);
    // Reads a little-endian 32-bit word. Returns the number of bytes that
    // were available (0..4); missing high bytes are zero.
    std::size_t ReadU32(std::uint32_t& value);
    // The buffered bytes from the read position on, refilled when none are
    // left; empty only at the end of the file. Lets a scan work on the buffer
    // in place; it moves on with Skip.
    std::span<const unsigned char> Available();
    // Moves the read position forward; past the end is allowed.
    void Skip(std::uint64_t count) { Seek(Tell() + count); }
    // Moves to an absolute offset; a position past the end is allowed (the
    // next read then delivers nothing).
    void Seek(std::uint64_t offset);
    std::uint64_t Tell() const { return bufferStart_ + pos_; }

private:
    bool Fill();

    fs::InputFile& file_;
    std::string path_;
    std::vector<unsigned char> buffer_;
    std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
    std::size_t size_ = 0;           // valid bytes in buffer_
    std::size_t pos_ = 0;            // read position inside buffer_ (may exceed size_ after a seek)
    bool filePosValid_ = true;       // the file's own position equals bufferStart_ + size_
};

}  // namespace kolt
