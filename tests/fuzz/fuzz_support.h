// Shared by the fuzz targets: a private working folder (the game folder the
// readers see) and an in-memory file that hands out its bytes in short reads,
// so that words land across every possible buffer edge.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/file_system.h"

namespace kolt::fuzz {

// Makes a fresh temporary folder the working directory for the whole run
// and removes it when the process ends. Memory-backed when the system has
// /dev/shm: every input is written as a file, and a disk makes that the
// bottleneck.
inline void EnterScratchFolder() {
    static std::string folder;
    if (!folder.empty()) return;
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "kolt-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    std::filesystem::current_path(folder);
    std::atexit([] {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        std::filesystem::remove_all(folder, ec);
    });
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
}

class MemoryFile final : public fs::InputFile {
public:
    MemoryFile(std::string_view bytes, std::size_t maxRead) : bytes_(bytes), maxRead_(maxRead ? maxRead : 1) {}
    std::int64_t Read(void* buffer, std::size_t size) override {
        if (pos_ >= bytes_.size()) return 0;
        const std::size_t n = std::min({size, maxRead_, bytes_.size() - pos_});
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return static_cast<std::int64_t>(n);
    }
    bool Seek(std::uint64_t offset) override {
        pos_ = offset;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t maxRead_;
    std::uint64_t pos_ = 0;
};

}  // namespace kolt::fuzz
