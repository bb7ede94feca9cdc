// Starts a copy of koltSSel.exe beside a settings file, as a user would, and
// watches from outside what it shows and what it leaves in its settings. With
// no usable game folder the options dialog comes first (or, for a stored
// folder that has gone, after the folder message), the folder is picked in the
// real folder picker of the running program, and the settings file is written
// only when the program ends.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <vector>

#include "about_ids.h"
#include "base/cp932.h"
#include "base/ini_profile.h"
#include "base/owners_win.h"
#include "base/text_win.h"
#include "resource.h"
#include "support/child_process.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"
#include "win/framework_ids.h"

namespace kolt {
namespace {

using test::ChildProcess;
using test::ItemText;
using test::PressButton;
using test::Sj;
using test::WaitUntil;

const std::wstring kTitle = L"koltシナリオセレクタ";
const std::wstring kOptionsTitle = L"オプション";
const std::wstring kAboutTitle = L"バージョン情報 koltSSel";
const std::wstring kCannotEnter = L"ゲームがインストールされたフォルダに移動できません";
constexpr int kPickerTree = 0x3741;
constexpr int kPickerStatus = 0x3743;
constexpr DWORD kWait = 20000;

// A wide text copied into another process, for messages whose parameter
// is a pointer that the system does not carry across (BFFM_SETSELECTIONW).
class RemoteText {
public:
    RemoteText(HANDLE process, const std::wstring& text) : process_(process) {
        const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
        address_ = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (address_ && !WriteProcessMemory(process, address_, text.c_str(), bytes, nullptr)) address_ = nullptr;
    }
    ~RemoteText() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteText(const RemoteText&) = delete;
    RemoteText& operator=(const RemoteText&) = delete;
    LPARAM get() const { return reinterpret_cast<LPARAM>(address_); }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

std::string Windows(ChildProcess& app) {
    std::string out;
    for (HWND w : app.TopLevelWindows()) {
        const std::wstring c = test::ClassName(w), t = test::WindowText(w);
        out += "\n  " + Utf8FromWide(c) + " '" + Utf8FromWide(t) + "' visible=" + std::to_string(IsWindowVisible(w)) +
               " tree=" + std::to_string(GetDlgItem(w, kPickerTree) != nullptr);
        RECT r{};
        GetWindowRect(w, &r);
        out += " rect=" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
        if (HWND tree = GetDlgItem(w, kPickerTree)) {
            out += " items=" + std::to_string(SendMessageW(tree, TVM_GETCOUNT, 0, 0));
        }
    }
    return out;
}

class AppStartTest : public testing::Test {
protected:
    void SetUp() override {
        namespace stdfs = std::filesystem;
        stdfs::copy_file(test::WindowsPath(KOLT_EXE_PATH), stdfs::u8path(dir.Native("koltSSel.exe")));
        exe = test::WindowsPath(dir.Native("koltSSel.exe"));
        const std::string gameName = Sj("ゲーム");
        dir.MakeDir(gameName + "\\port");
        dir.WriteFile(gameName + "\\config.ini", "level=0\r\n");
        game = Utf8ToCp932(dir.Native(gameName)).value();
    }

    // The options dialog's browse button, the picker, `folder` chosen there.
    // A picker that stops finding folders (Wine's, now and then: see
    // folder_browser_test) is cancelled and opened again.
    void BrowseTo(ChildProcess& app, HWND options, const std::string& folder) {
        const RemoteText path(app.handle(), Wide(folder));
        ASSERT_NE(path.get(), 0);
        std::wstring status;
        for (int attempt = 0; attempt < 3; ++attempt) {
            PressButton(options, 1019);
            HWND picker = nullptr;
            ASSERT_TRUE(WaitUntil([&] {
                for (HWND w : app.TopLevelWindows()) {
                    if (IsWindowVisible(w) && GetDlgItem(w, kPickerTree)) picker = w;
                }
                return picker != nullptr;
            })) << "no folder picker";
            int tries = 0;
            const bool selected = WaitUntil(
                [&] {
                    if (tries++ % 25 == 0) SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, path.get());
                    return (status = ItemText(picker, kPickerStatus)) == Wide(folder);
                },
                std::chrono::seconds(8));
            PressButton(picker, selected ? IDOK : IDCANCEL);
            if (selected) {
                ASSERT_TRUE(WaitUntil([&] { return ItemText(options, 1018) == Wide(folder); }));
                return;
            }
            WaitUntil([&] { return !IsWindow(picker); });
        }
        FAIL() << "status line: " << Utf8FromWide(status) << Windows(app);
    }

    // The main window once it shows (or the program ended), waiting at most `timeoutMs`.
    HWND MainWindow(ChildProcess& app, std::chrono::milliseconds timeout = std::chrono::milliseconds(kWait)) {
        HWND frame = nullptr;
        WaitUntil(
            [&] {
                for (HWND w : app.TopLevelWindows()) {
                    if (IsWindowVisible(w) && test::WindowText(w) == kTitle && test::ClassName(w) != L"#32770")
                        frame = w;
                }
                return frame != nullptr || WaitForSingleObject(app.handle(), 0) == WAIT_OBJECT_0;
            },
            timeout);
        return frame;
    }

    // The game folder browsed to in `options` and taken with OK: the main window.
    HWND ChooseTheGame(ChildProcess& app, HWND options) {
        BrowseTo(app, options, game);
        PressButton(options, IDOK);
        return MainWindow(app);
    }

    IniDocument Settings() const { return IniDocument(dir.ReadFile("koltSSel.ini")); }
    // What the program's folder holds besides the program: the settings file
    // and the game folder, never a file left behind by a write.
    std::vector<std::string> OtherFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(dir.path()))) {
            const std::u8string utf8 = entry.path().filename().u8string();
            const std::string name(utf8.begin(), utf8.end());
            if (name != "koltSSel.exe") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
    std::wstring exe;
    std::string game;  // CP932
};

TEST_F(AppStartTest, OptionsFirstThenTheMainWindowInTheChosenFolder) {
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "no options dialog";
    EXPECT_EQ(MainWindow(app, std::chrono::milliseconds(0)), nullptr) << "the main window came before the options";
    EXPECT_EQ(ItemText(options, 1017), L"標準");
    EXPECT_EQ(ItemText(options, 1018), L"");

    const HWND frame = ChooseTheGame(app, options);
    ASSERT_NE(frame, nullptr) << "no main window";
    EXPECT_FALSE(dir.Exists("koltSSel.ini")) << "settings written before the end";

    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Settings().GetString("Option", "GameFolder"), game);
    EXPECT_EQ(Settings().GetInt("Option", "GamePriority", -1), 32);
}

TEST_F(AppStartTest, CancelledOptionsEndWithTheMessageAndDefaults) {
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "no options dialog";
    PressButton(options, IDCANCEL);

    const HWND box = app.WaitForWindow(L"#32770", kTitle, kWait);
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(ItemText(box, 0xFFFF), kCannotEnter);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    // Just cancelled: the options are not offered again.
    EXPECT_EQ(app.WaitForWindow(L"#32770", kOptionsTitle, 1500), nullptr);
    ASSERT_TRUE(app.WaitForExit(kWait));
    EXPECT_EQ(Settings().GetInt("Option", "GamePriority", -1), 32);
    EXPECT_EQ(Settings().GetString("Option", "GameFolder"), "");  // present, and empty
}

TEST_F(AppStartTest, AGoneFolderOffersTheOptionsAgain) {
    dir.WriteFile("koltSSel.ini", "[Option]\r\nGamePriority=64\r\nGameFolder=C:\\no\\such\\game\r\n");
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND box = app.WaitForWindow(L"#32770", kTitle, kWait);
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(ItemText(box, 0xFFFF), kCannotEnter);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "the options were not offered";
    EXPECT_EQ(ItemText(options, 1018), L"C:\\no\\such\\game");
    EXPECT_EQ(ItemText(options, 1017), L"アイドル");
    const HWND frame = ChooseTheGame(app, options);
    ASSERT_NE(frame, nullptr) << "no main window";
    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitForExit(kWait));
    EXPECT_EQ(Settings().GetString("Option", "GameFolder"), game);
    EXPECT_EQ(Settings().GetInt("Option", "GamePriority", -1), 64);
}

TEST_F(AppStartTest, AGoneFolderKeptInTheOptionsEndsWithTheMessageOnceMoreAndKeepsTheFile) {
    // A comment, the keys in another order and a section of someone else's.
    const std::string before =
        "; mine\r\n[Option]\r\nGamePriority=16384\r\nGameFolder=C:\\no\\such\\game\r\n[Keep]\r\nx=1\r\n";
    dir.WriteFile("koltSSel.ini", before);
    // Whole seconds: a file's time on Windows counts 100 ns, the clock may count finer.
    const auto longAgo = std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now() -
                                                                  std::chrono::hours(24 * 400));
    std::filesystem::last_write_time(std::filesystem::u8path(dir.Native("koltSSel.ini")), longAgo);
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    HWND box = app.WaitForWindow(L"#32770", kTitle, kWait);
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(ItemText(box, 0xFFFF), kCannotEnter);
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before) << "written while the program runs";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "the options were not offered";
    PressButton(options, IDOK);

    box = app.WaitForWindow(L"#32770", kTitle, kWait);
    ASSERT_NE(box, nullptr) << "no second message";
    EXPECT_EQ(ItemText(box, 0xFFFF), kCannotEnter);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.WaitForWindow(L"#32770", kOptionsTitle, 1500), nullptr) << "offered a third time";
    ASSERT_TRUE(app.WaitForExit(kWait));
    // The values the file already holds: not written at all.
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before);
    EXPECT_TRUE(std::filesystem::last_write_time(std::filesystem::u8path(dir.Native("koltSSel.ini"))) == longAgo);
    EXPECT_EQ(OtherFiles(), (std::vector<std::string>{"koltSSel.ini", Cp932ToUtf8(Sj("ゲーム"))}));
}

TEST_F(AppStartTest, AUsableFolderOpensTheMainWindowAndTheSettingsAreWrittenAtExitIntoTheFileAsItIsThen) {
    const std::string gameFolder = Narrow(test::WindowsPath(dir.Native(Sj("ゲーム"))));
    const std::string before = "[Option]\nGameFolder=" + gameFolder + "\nGamePriority=0x40\n";
    dir.WriteFile("koltSSel.ini", before);
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND frame = MainWindow(app);
    ASSERT_NE(frame, nullptr) << "no main window";
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before) << "written while the program runs";
    // Meanwhile the user adds a section in an editor and saves.
    dir.WriteFile("koltSSel.ini", before + "; mine\r\n[Other]\r\nkept=1\r\n");
    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
    // The hexadecimal value was read as 64 and is written back in decimal,
    // into the file as the user left it.
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"),
              "[Option]\nGameFolder=" + gameFolder + "\r\nGamePriority=64\r\n; mine\r\n[Other]\r\nkept=1\r\n");
    EXPECT_EQ(OtherFiles(), (std::vector<std::string>{"koltSSel.ini", Cp932ToUtf8(Sj("ゲーム"))}));
}

TEST_F(AppStartTest, SettingsThatCannotBeWrittenAreReportedOnceAtExitAndLeftAsTheyWere) {
    // 0x80 is written back as 128: a change to write (an unchanged file is not written).
    const std::string before = "[Option]\r\nGamePriority=0x80\r\nGameFolder=C:\\no\\such\\game\r\n";
    const std::wstring path = test::WindowsPath(dir.Native("koltSSel.ini"));
    for (const DWORD error : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_SHARING_VIOLATION}}) {
        SCOPED_TRACE(error);
        dir.WriteFile("koltSSel.ini", before);
        const std::vector<std::string> filesBefore = OtherFiles();
        if (error == ERROR_ACCESS_DENIED) {
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        ChildProcess app(exe, L"");
        ASSERT_TRUE(app.started());
        // Whatever start-up shows is answered, once (the folder message, the
        // options dialog); the settings message is kept. The file has been
        // read when the first of them shows: from then on, through the exit,
        // another program holds it without sharing.
        KernelHandle held;
        std::set<HWND> answered;
        std::vector<std::wstring> reports;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while (!app.WaitForExit(0) && std::chrono::steady_clock::now() < deadline) {
            for (HWND window : app.TopLevelWindows()) {
                if (!IsWindowVisible(window) || test::ClassName(window) != L"#32770") continue;
                if (!answered.insert(window).second) continue;
                if (error == ERROR_SHARING_VIOLATION && !held) {
                    held.reset(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
                    EXPECT_TRUE(held) << "the file could not be held";
                }
                const std::wstring text = test::WindowText(GetDlgItem(window, 0xFFFF));
                if (text.starts_with(L"設定ファイル")) reports.push_back(text);
                PostMessageW(window, WM_COMMAND, test::WindowText(window) == L"オプション" ? IDCANCEL : IDOK, 0);
            }
            Sleep(50);
        }
        ASSERT_TRUE(app.WaitForExit(5000));
        held.reset();
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(reports, std::vector<std::wstring>{L"設定ファイルに書き込めませんでした\n" + path + L"\n" +
                                                     SystemErrorText(error)});
        EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before);
        EXPECT_EQ(OtherFiles(), filesBefore) << "a file of the write left behind";
    }
}

// The system DLLs that are not on the system's KnownDLLs list and that the
// program comes to load (a loader trace of the road below), left beside the
// program and in the game folder (the working directory from start-up on) by
// someone else. Wine is told to prefer a native copy of each for koltSSel.exe
// alone, so that it searches for them as Windows does and takes a planted copy
// wherever a bare name is looked up; the game's programs keep Wine's own. The
// road: the options dialog and its folder picker, the main window, a screen
// reader's query, the About box, the options again, a refresh and a game
// start. No planted copy may come into the program, except that Wine's own
// start-up takes the copies of version.dll (its user32 imports it) and
// uxtheme.dll (loaded and let go again) beside the program before the
// program's first instruction (Windows' user32 does neither); there, the
// program's version functions must still be the system's (the About box
// reads the real record), and what the program holds at the end of the road
// must not include the planted uxtheme.dll. Not planted: kernelbase, ucrtbase,
// win32u, combase and shcore, which Wine's loader resolves for the imports of
// its own kernel32, msvcrt, user32, ole32 and shlwapi before the program's
// first instruction, whatever the program's load configuration says (on
// Windows they are known DLLs, as the known DLLs' own imports are).
// comdlg32.dll comes at the first selection, for the file's title, with its
// own import winspool.drv.
const char* const kPlantedDlls[] = {"version.dll", "uxtheme.dll",  "msimg32.dll",  "oleacc.dll",  "bcrypt.dll",
                                    "crypt32.dll", "rsaenh.dll",   "comctl32.dll", "propsys.dll", "windowscodecs.dll",
                                    "userenv.dll", "comdlg32.dll", "winspool.drv"};

// Wine's per-program DLL overrides (its AppDefaults key), removed again at the end.
class NativeFirstFor {
public:
    NativeFirstFor(const std::wstring& program, const std::vector<std::string>& dlls)
        : key_(L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides") {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr))
            return;
        static const wchar_t kOrder[] = L"native,builtin";
        ok_ = true;
        for (const std::string& dll : dlls) {
            // Wine names a DLL without ".dll", any other (".drv") in full.
            const std::wstring name = Wide(dll.ends_with(".dll") ? dll.substr(0, dll.size() - 4) : dll);
            ok_ = ok_ && RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder),
                                        sizeof kOrder) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    ~NativeFirstFor() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.substr(0, key_.rfind(L'\\')).c_str()); }
    NativeFirstFor(const NativeFirstFor&) = delete;
    NativeFirstFor& operator=(const NativeFirstFor&) = delete;
    bool ok() const { return ok_; }

private:
    std::wstring key_;
    bool ok_ = false;
};

TEST_F(AppStartTest, SystemDllsLeftBesideTheProgramAndInTheGameFolderAreNotLoaded) {
    namespace stdfs = std::filesystem;
    const std::vector<std::string> planted(std::begin(kPlantedDlls), std::end(kPlantedDlls));
    const NativeFirstFor overrides(L"koltSSel.exe", planted);
    ASSERT_TRUE(overrides.ok());
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    const std::set<std::string> loadedByWinesUser32 = {"version.dll", "uxtheme.dll"};
    const std::string gameName = Sj("ゲーム");
    test::WriteGame(dir, gameName, 0);
    for (const char* standin : {KOLT_VELQ_PATH, KOLT_DORMAUX_PATH, KOLT_QMZ48_PATH}) {
        const stdfs::path from = test::WindowsPath(standin);
        stdfs::copy_file(from, test::WindowsPath(dir.Native(gameName + "\\")) / from.filename());
    }
    for (const std::string& name : planted) {
        for (const std::string& file : {name, gameName + "\\" + name})
            stdfs::copy_file(test::WindowsPath(KOLT_PLANTED_DLL), test::WindowsPath(dir.Native(file)));
    }

    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "no options dialog";
    const HWND frame = ChooseTheGame(app, options);  // the folder picker on the way
    ASSERT_NE(frame, nullptr) << "no main window";
    const HWND panes = GetDlgItem(frame, IDW_PANE_FIRST);
    const HWND tree = GetDlgItem(panes, IDW_PANE_FIRST), form = GetDlgItem(panes, IDW_PANE_FIRST + 1);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0; })) << "the tree is empty";

    // A scenario, and what a screen reader hears of its file-name box.
    const auto item = [&](UINT flag, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(from)));
    };
    bool selected = false;
    for (HTREEITEM port = item(TVGN_ROOT, nullptr); port && !selected; port = item(TVGN_NEXT, port)) {
        for (HTREEITEM s = item(TVGN_CHILD, port); s && !selected; s = item(TVGN_NEXT, s)) {
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(s));
            selected = ItemText(form, IDC_FILE_NAME) == L"port\\Alpha\\scenario\\s01.sd3";
        }
    }
    ASSERT_TRUE(selected) << "no s01.sd3 in the tree";
    {
        ComApartment com;
        ASSERT_TRUE(com.Enter());
        EXPECT_EQ(test::Hear(GetDlgItem(form, IDC_FILE_NAME)).name, L"ファイル名：");
    }

    PostMessageW(frame, WM_COMMAND, ID_APP_ABOUT, 0);
    const HWND about = app.WaitForWindow(L"#32770", kAboutTitle, kWait);
    ASSERT_NE(about, nullptr) << "no About box";
    // Read through the system's version functions: the planted ones fail.
    EXPECT_EQ(ItemText(about, IDC_ABOUT_DESCRIPTION), L"Velquisto　シナリオセレクター");
    PressButton(about, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));

    PostMessageW(frame, WM_COMMAND, ID_SHOW_OPTIONS, 0);
    const HWND again = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(again, nullptr) << "no options dialog from the menu";
    BrowseTo(app, again, game);
    PressButton(again, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(again); }));
    PostMessageW(frame, WM_COMMAND, ID_REFRESH_CATALOGUE, 0);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) > 0; })) << "the tree is empty";

    // The refresh keeps the selection; the start button starts the game.
    ASSERT_EQ(ItemText(form, IDC_FILE_NAME), L"port\\Alpha\\scenario\\s01.sd3");
    SendMessageW(GetDlgItem(form, IDC_START_GAME), BM_CLICK, 0, 0);
    HWND gameWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (gameWindow = FindWindowW(L"Tarnwick70", L"Velquisto")) != nullptr; },
                          std::chrono::seconds(20)))
        << "the game did not start";
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(frame) != FALSE; }, std::chrono::seconds(10)));
    PostMessageW(gameWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(frame) == FALSE; }, std::chrono::seconds(30)));

    // What the program holds at the end of the road: nothing from either
    // folder but itself and, under Wine, the version.dll its user32 took.
    std::vector<std::string> held;
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, app.id()));
    ASSERT_TRUE(snapshot);
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot.get(), &module); more; more = Module32NextW(snapshot.get(), &module)) {
        const stdfs::path path(module.szExePath);
        std::error_code ignored;
        const bool ours = stdfs::equivalent(path.parent_path(), stdfs::u8path(dir.path()), ignored);
        const bool game = stdfs::equivalent(path.parent_path(), test::WindowsPath(dir.Native(gameName)), ignored);
        const std::wstring name = path.filename().wstring();
        if (CompareStringOrdinal(name.c_str(), -1, L"koltSSel.exe", -1, TRUE) == CSTR_EQUAL && ours) continue;
        if (CompareStringOrdinal(name.c_str(), -1, L"version.dll", -1, TRUE) == CSTR_EQUAL && ours && wine) continue;
        if (ours || game) held.push_back(Utf8FromWide(path.wstring()));
    }
    EXPECT_EQ(held, std::vector<std::string>{}) << "modules from the program's or the game's folder";
    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitForExit(kWait));

    // Each mark names the programs that loaded the copy beside it.
    std::vector<std::string> loaded;
    for (const std::string& name : planted) {
        const auto byUs = [&](const std::string& mark) {
            return dir.Exists(mark) && dir.ReadFile(mark).find("\\koltSSel.exe\r\n") != std::string::npos;
        };
        if (byUs(gameName + "\\" + name + ".loaded")) loaded.push_back("the game folder's " + name);
        if (byUs(name + ".loaded") && !(wine && loadedByWinesUser32.count(name)))
            loaded.push_back("the program folder's " + name);
    }
    EXPECT_EQ(loaded, std::vector<std::string>{}) << "planted DLLs were loaded";
}

}  // namespace
}  // namespace kolt
