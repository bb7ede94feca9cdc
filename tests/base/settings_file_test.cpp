#include "base/settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "base/text_win.h"
#include "support/child_process.h"
#endif

namespace kolt {
namespace {

TEST(SettingsPath, ReplacesTheExtensionOfTheFileNameOnly) {
    EXPECT_EQ(SettingsPathFor("D:\\Tools\\sel.exe"), "D:\\Tools\\sel.ini");
    EXPECT_EQ(SettingsPathFor("D:\\Tools\\koltSSel.EXE"), "D:\\Tools\\koltSSel.ini");
    EXPECT_EQ(SettingsPathFor("D:\\my.tools\\sel"), "D:\\my.tools\\sel.ini");
    EXPECT_EQ(SettingsPathFor("/opt/v1.2/sel.backup.exe"), "/opt/v1.2/sel.backup.ini");
    EXPECT_EQ(SettingsPathFor("sel"), "sel.ini");
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Path() const { return dir.Native("koltSSel.ini"); }
    std::filesystem::path NativePath(std::string_view name) const { return std::filesystem::u8path(dir.Native(name)); }
    // Makes or removes the symbolic link `link` to `target` in `folder`.
    // Under Wine, CreateSymbolicLinkW makes nothing and DeleteFileW leaves a
    // link in place, but Unix ln and rm started from it work (Wine runs them
    // without a process to wait for: the link itself is waited for).
    bool MakeSymlink(const std::string& folder, const std::string& target, const std::string& link) const {
        std::error_code failed;
        std::filesystem::create_symlink(target, NativePath(folder + "\\" + link), failed);
        return !failed || RunUnix(folder, "ln -s " + target + " " + link, link, true);
    }
    void RemoveSymlink(const std::string& folder, const std::string& link) const {
        std::error_code failed;
        std::filesystem::remove(NativePath(folder + "\\" + link), failed);
        if (failed || dir.Exists(folder + "\\" + link)) RunUnix(folder, "rm " + link, link, false);
    }
    // `command`: a program of /bin and its arguments, UTF-8.
    bool RunUnix(const std::string& folder, const std::string& command, const std::string& link, bool linkAfter) const {
#ifdef _WIN32
        const std::wstring wide = WideFromUtf8(command);
        const std::size_t space = wide.find(L' ');
        test::ChildProcess run(L"Z:\\bin\\" + wide.substr(0, space), wide.substr(space + 1),
                               test::WindowsPath(dir.Native(folder)));
        for (int wait = 0; wait < 50 && dir.Exists(folder + "\\" + link) != linkAfter; ++wait)
            Sleep(100);
#else
        (void)command;  // the POSIX side makes its links itself
#endif
        return dir.Exists(folder + "\\" + link) == linkAfter;
    }
    std::size_t FilesInDir() const {
        std::size_t n = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(dir.path())))
            ++n;
        return n;
    }
    test::TempDir dir;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsCreatedAtSave) {
    SettingsFile file(Path());
    const Settings s = file.Load();
    EXPECT_EQ(s.gamePriority, 32);
    EXPECT_EQ(s.gameFolder, "");
    ASSERT_TRUE(file.Save(s));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), "[Option]\r\nGamePriority=32\r\nGameFolder=\r\n");
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_F(SettingsFileTest, UnlistedPriorityAndJapaneseFolderSurviveARoundTrip) {
    const std::string folder = "C:\\" + test::Sj("ゲーム\\管制");
    dir.WriteFile("koltSSel.ini", "[Option]\r\nGamePriority=128\r\nGameFolder=" + folder + "\r\n");
    SettingsFile file(Path());
    Settings s = file.Load();
    EXPECT_EQ(s.gamePriority, 128);
    EXPECT_EQ(s.gameFolder, folder);
    ASSERT_TRUE(file.Save(s));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), "[Option]\r\nGamePriority=128\r\nGameFolder=" + folder + "\r\n");
}

TEST_F(SettingsFileTest, EverythingElseInTheFileSurvivesTheWrite) {
    const std::string before =
        "; written by hand\n\n[Window]\nx=10\r\n[option]\ngamefolder = D:\\Old \ncolour=blue\n\n[Z]\nq=\"1\"";
    dir.WriteFile("koltSSel.ini", before);
    SettingsFile file(Path());
    Settings s = file.Load();
    EXPECT_EQ(s.gameFolder, "D:\\Old");
    EXPECT_EQ(s.gamePriority, 32);
    s.gamePriority = -5;
    s.gameFolder = "E:\\New";
    ASSERT_TRUE(file.Save(s));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"),
              "; written by hand\n\n[Window]\nx=10\r\n[option]\ngamefolder=E:\\New\r\ncolour=blue\n"
              "GamePriority=-5\r\n\n[Z]\nq=\"1\"");
}

TEST_F(SettingsFileTest, TheWriteAtExitStartsFromTheFileAsItIsThen) {
    const std::string atLoad = "[Option]\r\nGamePriority=64\r\n";
    std::string huge = atLoad;
    huge.resize(kMaxSettingsFileBytes + 1, ';');
    const Settings ours{64, "D:\\G"};
    const std::string oursAlone = "[Option]\r\nGamePriority=64\r\nGameFolder=D:\\G\r\n";
    struct Case {
        const char* name;
        std::string atLoad;
        std::optional<std::string> meanwhile;  // written between Load and Save; nullopt: deleted
        bool saved;
        std::string after;  // the file's bytes after Save
        fs::SystemError error = 0;
        bool makeFolder = false;  // the file replaced by a folder meanwhile
    };
    const Case cases[] = {
        // Another program's section, a comment, blank lines and bare line feeds are kept.
        {"edited", atLoad, "; mine\n[Option]\r\nGamePriority=64\r\n\n[Other]\nkept=1", true,
         "; mine\n[Option]\r\nGamePriority=64\r\nGameFolder=D:\\G\r\n\n[Other]\nkept=1"},
        {"deleted", atLoad, std::nullopt, true, oursAlone},
        // Another copy of the program wrote its own values: the last one wins.
        {"other copy", atLoad, "[Option]\r\nGamePriority=128\r\nGameFolder=E:\\X\r\n[K]\r\n", true,
         oursAlone + "[K]\r\n"},
        {"grown too large", atLoad, huge, false, huge, fs::TooLargeError()},
        {"no longer a file", atLoad, "", false, "", 0, true},
        // Not readable at Load: left alone, also once it is readable again.
        {"too large at load", huge, atLoad, false, atLoad, fs::TooLargeError()},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = "case" + std::to_string(n++), name = folder + "\\koltSSel.ini";
        dir.WriteFile(name, c.atLoad);
        SettingsFile file(dir.Native(name));
        EXPECT_EQ(file.Load().gamePriority, c.atLoad == huge ? 32 : 64);
        std::filesystem::remove(NativePath(name));
        if (c.makeFolder)
            dir.MakeDir(name);
        else if (c.meanwhile)
            dir.WriteFile(name, *c.meanwhile);
        EXPECT_EQ(file.Save(ours), c.saved);
        if (c.makeFolder) {
            EXPECT_NE(file.lastError(), 0u);
            EXPECT_TRUE(std::filesystem::is_directory(NativePath(name)));
        } else {
            if (!c.saved) {
                EXPECT_EQ(file.lastError(), c.error);
            }
            EXPECT_EQ(dir.ReadFile(name), c.after);
        }
        std::size_t files = 0;  // no temporary file left behind
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(NativePath(folder)))
            ++files;
        EXPECT_EQ(files, 1u);
    }
}

TEST_F(SettingsFileTest, AFileThatAlreadyHoldsBothValuesIsNotWritten) {
    // Spelled as the write would spell them, and not: only the first is untouched.
    for (const bool asWritten : {true, false}) {
        SCOPED_TRACE(asWritten);
        const std::string before = asWritten ? "[x]\n[option]\r\ngamefolder=D:\\G\r\nGamePriority=64\r\n;\n"
                                             : "[Option]\r\nGamePriority = 64\r\nGameFolder=D:\\G\r\n";
        dir.WriteFile("koltSSel.ini", before);
        SettingsFile file(Path());
        const Settings s = file.Load();
        ASSERT_EQ(s.gamePriority, 64);
        // Whole seconds: a file's time on Windows counts 100 ns, the clock may count finer.
        const auto old = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now() -
                                                                  std::chrono::hours(24 * 400));
        std::filesystem::last_write_time(NativePath("koltSSel.ini"), old);
        ASSERT_TRUE(file.Save(s)) << file.lastError();
        EXPECT_EQ(std::filesystem::last_write_time(NativePath("koltSSel.ini")) == old, asWritten);
        if (!asWritten) {
            EXPECT_EQ(dir.ReadFile("koltSSel.ini"), "[Option]\r\nGamePriority=64\r\nGameFolder=D:\\G\r\n");
        }
        EXPECT_EQ(FilesInDir(), 1u);
    }
}

TEST_F(SettingsFileTest, WhatTheUserSetOnTheFileIsKept) {
    const std::string before = "[Option]\r\nGamePriority=64\r\n";
    const std::string after = "[Option]\r\nGamePriority=16384\r\nGameFolder=D:\\G\r\n";
    // Each case in a folder of its own, with "real.ini" written beforehand.
    struct Case {
        std::string folder;
        std::function<bool(const std::string&)> arrange;  // makes "koltSSel.ini"
        std::function<void(const std::string&)> check;    // after the write
    };
    const auto otherNameHasTheNewSettings = [&](const std::string& folder) {
        EXPECT_EQ(dir.ReadFile(folder + "\\real.ini"), after);
    };
    const Case cases[] = {
        {"hardlink",
         [&](const std::string& folder) {
             std::filesystem::create_hard_link(NativePath(folder + "\\real.ini"),
                                               NativePath(folder + "\\koltSSel.ini"));
             return true;
         },
         otherNameHasTheNewSettings},
        // Still a link afterwards: the file it leads to holds the new settings.
        {"symlink", [&](const std::string& folder) { return MakeSymlink(folder, "real.ini", "koltSSel.ini"); },
         otherNameHasTheNewSettings},
#ifdef _WIN32
        {"hidden",
         [&](const std::string& folder) {
             std::filesystem::rename(NativePath(folder + "\\real.ini"), NativePath(folder + "\\koltSSel.ini"));
             return SetFileAttributesW(NativePath(folder + "\\koltSSel.ini").c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
         },
         [&](const std::string& folder) {
             EXPECT_EQ(GetFileAttributesW(NativePath(folder + "\\koltSSel.ini").c_str()) & FILE_ATTRIBUTE_HIDDEN,
                       DWORD{FILE_ATTRIBUTE_HIDDEN});
         }},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        dir.WriteFile(c.folder + "\\real.ini", before);
        if (!c.arrange(c.folder)) {
            ADD_FAILURE() << "could not set the file up";
            continue;
        }
        SettingsFile file(dir.Native(c.folder + "\\koltSSel.ini"));
        EXPECT_EQ(file.Load().gamePriority, 64);
        ASSERT_TRUE(file.Save(Settings{16384, "D:\\G"})) << file.lastError();
        EXPECT_EQ(dir.ReadFile(c.folder + "\\koltSSel.ini"), after);
        c.check(c.folder);
        std::size_t files = 0;  // no temporary file left behind
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(NativePath(c.folder)))
            ++files;
        EXPECT_EQ(files, c.folder == "hidden" ? 1u : 2u);
    }
    RemoveSymlink("symlink", "koltSSel.ini");
}

#ifndef _WIN32
// A rename over a read-only file succeeds here, so only the refusal keeps it.
// (On Windows the refusal is counted in replace_steps_test.cpp.)
TEST_F(SettingsFileTest, AReadOnlyFileIsRefusedAndLeftAsItWas) {
    const std::string before = "[Option]\r\nGamePriority=64\r\n";
    dir.WriteFile("koltSSel.ini", before);
    namespace stdfs = std::filesystem;
    stdfs::permissions(NativePath("koltSSel.ini"), stdfs::perms::owner_read | stdfs::perms::group_read);
    SettingsFile file(Path());
    EXPECT_EQ(file.Load().gamePriority, 64);
    EXPECT_FALSE(file.Save(Settings{32, "X"}));
    EXPECT_EQ(file.lastError(), fs::SystemError{EACCES});
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before);
    EXPECT_EQ(FilesInDir(), 1u);
    stdfs::permissions(NativePath("koltSSel.ini"), stdfs::perms::owner_write, stdfs::perm_options::add);
}
#endif

#ifdef _WIN32
TEST_F(SettingsFileTest, AFileHeldByAnotherProgramIsWaitedForAboutASecond) {
    const std::string before = "[Option]\r\nGamePriority=64\r\n";
    for (const bool releasedSoon : {true, false}) {
        SCOPED_TRACE(releasedSoon);
        dir.WriteFile("koltSSel.ini", before);
        // Held without sharing, as an editor or a virus scanner may hold it.
        HANDLE held =
            CreateFileW(NativePath("koltSSel.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release([&] {
            if (releasedSoon) {
                Sleep(300);
                CloseHandle(held);
            }
        });
        SettingsFile file(Path());
        const Settings s = file.Load();
        release.join();
        if (!releasedSoon) CloseHandle(held);
        if (releasedSoon) {
            EXPECT_EQ(s.gamePriority, 64);
            EXPECT_TRUE(file.Save(s));
        } else {
            // Still held after the wait: the defaults, and the file is not overwritten.
            EXPECT_EQ(s.gamePriority, 32);
            EXPECT_FALSE(file.Save(s));
            EXPECT_EQ(file.lastError(), fs::SystemError{ERROR_SHARING_VIOLATION});
            EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before);
        }
    }
}
#endif

TEST_F(SettingsFileTest, SaveIntoAMissingFolderFailsWithoutLeavingAnything) {
    SettingsFile file(dir.Native("nofolder\\koltSSel.ini"));
    file.Load();
    EXPECT_FALSE(file.Save(Settings{}));
    EXPECT_EQ(FilesInDir(), 0u);
}

}  // namespace
}  // namespace kolt
