// The start-up hardening, linked into this test as into the programs: once it
// has run (before main), a DLL asked for by name is not taken from the working
// directory or from the program's folder, where anybody may have left one,
// while the system's own DLLs are still found by name.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "base/text_win.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

namespace stdfs = std::filesystem;

TEST(StartUpHardening, DllByNameComesNeitherFromTheWorkingDirectoryNorFromBesideTheProgram) {
    test::TempDir dir;
    const test::ScopedWorkingDir inDir(dir.path());
    // A name that no system folder has, so only the planted copy could answer.
    const std::wstring name = L"kolt-planted-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
    const std::pair<const char*, stdfs::path> folders[] = {
        {"the working directory", stdfs::u8path(dir.path())},
        {"the program's folder", stdfs::path(ModulePath()).parent_path()},
    };
    for (const auto& [where, folder] : folders) {
        SCOPED_TRACE(where);
        const stdfs::path planted = folder / name;
        stdfs::copy_file(test::WindowsPath(KOLT_PLANTED_DLL), planted, stdfs::copy_options::overwrite_existing);
        const HMODULE loaded = LoadLibraryW(name.c_str());
        EXPECT_EQ(loaded, nullptr) << "loaded from " << where;
        if (loaded) FreeLibrary(loaded);
        std::error_code ignored;
        stdfs::remove(planted, ignored);
        stdfs::remove(planted.wstring() + L".loaded", ignored);
    }
    const HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr);
    if (system) FreeLibrary(system);
}

}  // namespace
}  // namespace kolt
