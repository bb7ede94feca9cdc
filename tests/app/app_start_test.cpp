// Starts a copy of koltSSel.exe beside a settings file, as a user would, and
// watches from outside what it shows and what it leaves in its settings.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::ChildProcess;

const std::wstring kTitle = L"koltシナリオセレクタ";

class AppStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace stdfs = std::filesystem;
        stdfs::copy_file(test::WindowsPath(KOLT_EXE_PATH), stdfs::u8path(dir.Native("koltSSel.exe")));
        exe = test::WindowsPath(dir.Native("koltSSel.exe"));
    }
    std::string Settings() const { return dir.ReadFile("koltSSel.ini"); }

    // Closes the message box, and the options dialog that may follow it.
    static void Dismiss(ChildProcess& app, HWND box) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (HWND options = app.WaitForWindow(L"#32770", L"オプション", 2000))
            PostMessageW(options, WM_COMMAND, IDCANCEL, 0);
    }

    test::TempDir dir;
    std::wstring exe;
};

TEST_F(AppStartTest, MissingGameFolderShowsTheMessageAndKeepsTheSettings) {
    const std::string before =
        "; mine\r\n[Option]\r\nGamePriority=128\r\nGameFolder=C:\\no\\such\\game\r\n[Keep]\r\nx=1\r\n";
    dir.WriteFile("koltSSel.ini", before);
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    HWND box = app.WaitForWindow(L"#32770", kTitle, 20000);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(test::WindowText(GetDlgItem(box, 0xFFFF)), L"ゲームがインストールされたフォルダに移動できません");
    // Nothing is written while the program runs.
    EXPECT_EQ(Settings(), before);
    Dismiss(app, box);
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(20000, &code));
    EXPECT_EQ(Settings(), before);  // the unchanged values, written back without touching anything else
}

TEST_F(AppStartTest, ValidFolderOpensTheMainWindowAndWritesTheSettingsAtExit) {
    dir.MakeDir("game\\port");
    dir.WriteFile("game\\config.ini", "level=0\r\n");
    std::string gameFolder;
    {
        const std::wstring w = test::WindowsPath(dir.Native("game"));
        gameFolder = std::string(w.begin(), w.end());  // the temp path is ASCII
    }
    dir.WriteFile("koltSSel.ini", "[Option]\nGameFolder=" + gameFolder + "\nGamePriority=0x40\n");
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    HWND frame = app.WaitForWindow(L"", kTitle, 20000);
    ASSERT_NE(frame, nullptr) << "no main window";
    EXPECT_NE(test::ClassName(frame), L"#32770");  // the main window, not a message box
    EXPECT_FALSE(dir.Exists("koltSSel.ini.tmp"));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(20000, &code));
    EXPECT_EQ(code, 0u);
    // The hexadecimal value was read as 64 and is written back in decimal.
    EXPECT_EQ(Settings(), "[Option]\nGameFolder=" + gameFolder + "\r\nGamePriority=64\r\n");
}

// What the system says about `error`, as the program shows it.
std::wstring SystemText(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring s = text ? text : L"";
    LocalFree(text);
    while (!s.empty() && (s.back() == L'\n' || s.back() == L'\r' || s.back() == L' '))
        s.pop_back();
    return s;
}

TEST_F(AppStartTest, SettingsThatCannotBeWrittenAreReportedOnceAtExit) {
    const std::string before = "[Option]\r\nGamePriority=128\r\nGameFolder=C:\\no\\such\\game\r\n";
    const std::wstring path = test::WindowsPath(dir.Native("koltSSel.ini"));
    for (const DWORD error : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_SHARING_VIOLATION}}) {
        SCOPED_TRACE(error);
        dir.WriteFile("koltSSel.ini", before);
        HANDLE held = INVALID_HANDLE_VALUE;  // for the whole run, without sharing, as another program may
        if (error == ERROR_ACCESS_DENIED)
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        else
            held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ChildProcess app(exe, L"");
        ASSERT_TRUE(app.started());
        // Whatever start-up shows is answered (the folder message, the options
        // dialog); the settings message is kept.
        std::vector<std::wstring> reports;
        for (int polls = 0; polls < 600 && !app.WaitForExit(0); ++polls) {
            for (HWND window : app.TopLevelWindows()) {
                if (!IsWindowVisible(window) || test::ClassName(window) != L"#32770") continue;
                const std::wstring text = test::WindowText(GetDlgItem(window, 0xFFFF));
                if (text.starts_with(L"設定ファイル")) reports.push_back(text);
                PostMessageW(window, WM_COMMAND, test::WindowText(window) == L"オプション" ? IDCANCEL : IDOK, 0);
            }
            Sleep(100);
        }
        ASSERT_TRUE(app.WaitForExit(5000));
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(reports, std::vector<std::wstring>{L"設定ファイルに書き込めませんでした\n" + path + L"\n" +
                                                     SystemText(error)});
        EXPECT_EQ(Settings(), before);
    }
}

}  // namespace
}  // namespace kolt
