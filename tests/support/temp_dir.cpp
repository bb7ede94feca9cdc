#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "base/cp932.h"

namespace kolt::test {
namespace stdfs = std::filesystem;

namespace {
stdfs::path FromUtf8(const std::string& s) {
    return stdfs::path(std::u8string(s.begin(), s.end()));
}
std::string ToUtf8(const stdfs::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}
}  // namespace

std::string Sj(std::string_view utf8) {
    auto s = Utf8ToCp932(utf8);
    if (!s) throw std::invalid_argument("test text has no CP932 form");
    return *s;
}

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const stdfs::path p = stdfs::temp_directory_path() / ("kolt-test-" + std::to_string(rd()));
        if (stdfs::create_directory(p)) {
            path_ = ToUtf8(stdfs::canonical(p));
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    stdfs::remove_all(FromUtf8(path_), ec);
}

std::string TempDir::Native(std::string_view relative) const {
    std::string utf8 = Cp932ToUtf8(relative);
    for (char& c : utf8)
        if (c == '\\') c = static_cast<char>(stdfs::path::preferred_separator);
    return path_ + static_cast<char>(stdfs::path::preferred_separator) + utf8;
}

void TempDir::MakeDir(std::string_view relative) const {
    stdfs::create_directories(FromUtf8(Native(relative)));
}

void TempDir::WriteFile(std::string_view relative, std::string_view bytes) const {
    const stdfs::path p = FromUtf8(Native(relative));
    stdfs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file");
}

std::string TempDir::ReadFile(std::string_view relative) const {
    std::ifstream in(FromUtf8(Native(relative)), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read test file");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempDir::Exists(std::string_view relative) const {
    return stdfs::exists(FromUtf8(Native(relative)));
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir) : previous_(ToUtf8(stdfs::current_path())) {
    stdfs::current_path(FromUtf8(dir));
}
ScopedWorkingDir::~ScopedWorkingDir() {
    std::error_code ec;
    stdfs::current_path(FromUtf8(previous_), ec);
}

}  // namespace kolt::test
