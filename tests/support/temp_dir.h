// A temporary folder for one test, removed with everything in it at the end.
// Paths given to and returned by it are UTF-8 (the native form); game paths
// inside the folder are CP932 with backslashes, as the program uses them.
#pragma once

#include <string>
#include <string_view>

namespace kolt::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's absolute path, UTF-8, with the platform's separator.
    const std::string& path() const { return path_; }
    // Writes a file (creating its folders); `relative` is CP932 with backslashes.
    void WriteFile(std::string_view relative, std::string_view bytes) const;
    void MakeDir(std::string_view relative) const;
    std::string ReadFile(std::string_view relative) const;
    bool Exists(std::string_view relative) const;
    // Absolute UTF-8 path of a CP932 relative path.
    std::string Native(std::string_view relative) const;

private:
    std::string path_;
};

// Makes `dir` (UTF-8) the working directory for the scope of the object.
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::string& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

private:
    std::string previous_;
};

// CP932 bytes of a UTF-8 literal, for writing Japanese test data readably.
std::string Sj(std::string_view utf8);

}  // namespace kolt::test
