// koltSSel.exe started from outside on a game folder with the stand-in game
// programs, driven only through window messages another program can send:
// tree items selected by handle, boxes and the message pane read back, the
// start button pressed, the game seen to start and the selector to come back.
//
// The same test runs under two system code pages (LANG giving 932 and 1252):
// the boxes must read the same either way.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/owners_win.h"
#include "support/child_process.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"
#include "win/framework_ids.h"
#include "win/screen_text.h"

namespace kolt {
namespace {

using test::ChildProcess;
using test::Sj;
using test::WindowText;

constexpr UINT kPanes = IDW_PANE_FIRST, kStatusBar = IDW_STATUS_BAR;
const std::wstring kTitle = L"koltシナリオセレクタ";

// Where process `pid` has loaded module `name` from; empty when it has not.
std::wstring LoadedModule(DWORD pid, const wchar_t* name) {
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid));
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = snapshot && Module32FirstW(snapshot.get(), &module); more;
         more = Module32NextW(snapshot.get(), &module)) {
        if (CompareStringOrdinal(module.szModule, -1, name, -1, TRUE) == CSTR_EQUAL) return module.szExePath;
    }
    return L"";
}

class KoltSSelEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        namespace stdfs = std::filesystem;
        test::WriteGame(dir, "game", 0);
        game = test::WindowsPath(dir.Native("game"));
        for (const char* exe : {KOLT_VELQ_PATH, KOLT_DORMAUX_PATH, KOLT_QMZ48_PATH}) {
            const stdfs::path from = test::WindowsPath(exe);
            stdfs::copy_file(from, stdfs::path(game) / from.filename());
        }
        // The starter logs what it and its children saw into the game folder.
        dir.WriteFile("game\\stage\\Alpha\\Day.ini", "highscore=1200\r\nexe=velq.exe /log=" + Narrow(game) + "\r\n");
        stdfs::copy_file(test::WindowsPath(KOLT_EXE_PATH), stdfs::path(test::WindowsPath(dir.Native("koltSSel.exe"))));
        dir.WriteFile("koltSSel.ini", "[Option]\r\nGamePriority=16384\r\nGameFolder=" + Narrow(game) + "\r\n");
    }

    HWND Pane(int column) const { return GetDlgItem(GetDlgItem(frame, kPanes), static_cast<int>(kPanes) + column); }
    HWND Box(int id) const { return GetDlgItem(Pane(1), id); }
    std::string BoxText(int id) const { return Narrow(WindowText(Box(id))); }
    std::string MessagePane() const { return Narrow(WindowText(GetDlgItem(frame, kStatusBar))); }
    HTREEITEM Next(UINT flag, HTREEITEM from) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(Pane(0), TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(from)));
    }
    // Selects, one after another, the scenario items until the form shows `path`.
    bool SelectScenario(const std::string& path) const {
        for (HTREEITEM port = Next(TVGN_ROOT, nullptr); port; port = Next(TVGN_NEXT, port)) {
            for (HTREEITEM item = Next(TVGN_CHILD, port); item; item = Next(TVGN_NEXT, item)) {
                SendMessageW(Pane(0), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
                if (BoxText(1000) == path) return true;
            }
        }
        return false;
    }

    test::TempDir dir;
    std::wstring game;
    HWND frame = nullptr;
};

TEST_F(KoltSSelEndToEnd, ShowsAScenarioAndStartsTheGameWhateverTheSystemCodePage) {
    // The run is under the code page its registration asked for.
    if (const char* acp = std::getenv("KOLT_EXPECT_ACP")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(acp)));
    }

    ChildProcess app(test::WindowsPath(dir.Native("koltSSel.exe")), L"");
    ASSERT_TRUE(app.started());
    frame = app.WaitForWindow(L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(Pane(0), nullptr) << "not the main window: " << Narrow(test::ClassName(frame));
    ASSERT_NE(Next(TVGN_ROOT, nullptr), nullptr) << "the tree is empty";

    // A scenario whose stage ini is missing: -1 and the error in the message pane.
    ASSERT_TRUE(SelectScenario(Sj("port\\羽田\\scenario\\h01.sd3")));
    EXPECT_EQ(BoxText(1005), Sj("羽田 朝"));
    EXPECT_EQ(BoxText(1009), "-1");
    EXPECT_EQ(BoxText(1006), "4294967295");
    EXPECT_NE(MessagePane().find(Sj("stage\\羽田\\朝.ini")), std::string::npos);

    ASSERT_TRUE(SelectScenario("port\\Alpha\\scenario\\s01.sd3"));
    const std::string command = "velq.exe /log=" + Narrow(game) + " Alpha s01";
    EXPECT_EQ(BoxText(1005), "Alpha Day");
    EXPECT_EQ(BoxText(1006), "1500");
    EXPECT_EQ(BoxText(1009), "1200");
    EXPECT_EQ(BoxText(1001), "09:30 - 11:00");
    EXPECT_EQ(BoxText(1003), test::Expected::S01Wind());
    EXPECT_EQ(BoxText(1008), command);
    EXPECT_EQ(BoxText(1002), "4");
    EXPECT_EQ(BoxText(1004), Sj("★"));
    EXPECT_EQ(BoxText(1020), "Normal Mode");
    EXPECT_EQ(MessagePane(), "");

    // A screen reader asks from its own process: the file-name box is named
    // by the label on its row, the mode box by nothing, each read as it shows.
    // oleacc.dll comes into the selector only then, from the system folder.
    EXPECT_EQ(LoadedModule(app.id(), L"oleacc.dll"), L"");
    ComApartment com;
    ASSERT_TRUE(com.Enter());
    const test::Heard fileName = test::Hear(Box(1000)), mode = test::Hear(Box(1020));
    EXPECT_EQ(fileName.name, L"ファイル名：");
    EXPECT_EQ(fileName.value, L"port\\Alpha\\scenario\\s01.sd3");
    EXPECT_EQ(mode.name, L"");
    EXPECT_EQ(mode.value, L"Normal Mode");
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(LoadedModule(app.id(), L"oleacc.dll").c_str(), -1,
                                   (std::wstring(system) + L"\\oleacc.dll").c_str(), -1, TRUE),
              CSTR_EQUAL);

    // The start button: the game starts and the selector waits minimised.
    SendMessageW(Box(1007), BM_CLICK, 0, 0);
    HWND gameWindow = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return (gameWindow = FindWindowW(L"Tarnwick70", L"Velquisto")) != nullptr; },
                                std::chrono::seconds(20)));
    EXPECT_TRUE(test::WaitUntil([&] { return IsIconic(frame) != FALSE; }, std::chrono::seconds(10)));
    const std::string gameLog = dir.ReadFile("game\\qmz48.exe.log");
    EXPECT_NE(gameLog.find("args=Alpha s01"), std::string::npos) << gameLog;
    EXPECT_NE(dir.ReadFile("game\\velq.exe.log").find("priority=16384"), std::string::npos);

    // The game ends: the selector comes back once every game process is gone.
    PostMessageW(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return IsIconic(frame) == FALSE; }, std::chrono::seconds(30)));
    EXPECT_EQ(BoxText(1008), command);

    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(20000, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace kolt
