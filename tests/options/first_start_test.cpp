// koltSSel.exe started from outside with no usable game folder: the options
// dialog comes first (or, for a stored folder that has gone, after the folder
// message), the folder is picked in the real folder picker of the running
// program, and the settings file is written only when the program ends.
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp932.h"
#include "base/ini_profile.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::ChildProcess;
using test::Sj;

const std::wstring kTitle = L"koltシナリオセレクタ";
const std::wstring kOptionsTitle = L"オプション";
const std::wstring kCannotEnter = L"ゲームがインストールされたフォルダに移動できません";
constexpr int kPickerTree = 0x3741;
constexpr int kPickerStatus = 0x3743;
constexpr DWORD kWait = 20000;

std::wstring ItemText(HWND dialog, int id) {
    return test::WindowText(GetDlgItem(dialog, id));
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kWait) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

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
        out += "\n  " + Utf16ToUtf8(std::u16string(c.begin(), c.end())) + " '" +
               Utf16ToUtf8(std::u16string(t.begin(), t.end())) + "' visible=" + std::to_string(IsWindowVisible(w)) +
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

class FirstStartTest : public testing::Test {
protected:
    void SetUp() override {
        namespace stdfs = std::filesystem;
        stdfs::copy_file(test::WindowsPath(KOLT_EXE_PATH), stdfs::u8path(dir.Native("koltSSel.exe")));
        exe = test::WindowsPath(dir.Native("koltSSel.exe"));
        dir.MakeDir(Sj("ゲーム\\port"));
        dir.WriteFile(Sj("ゲーム\\config.ini"), "level=0\r\n");
        game = Utf8ToCp932(dir.Native(Sj("ゲーム"))).value();
    }

    std::wstring Wide(const std::string& cp932) const {
        const std::u16string w = Cp932ToUtf16(cp932);
        return {w.begin(), w.end()};
    }

    // The options dialog's browse button, the picker, `folder` chosen there.
    void BrowseTo(ChildProcess& app, HWND options, const std::string& folder) {
        Press(options, 1019);
        HWND picker = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (HWND w : app.TopLevelWindows()) {
                if (IsWindowVisible(w) && GetDlgItem(w, kPickerTree)) picker = w;
            }
            return picker != nullptr;
        })) << "no folder picker";
        const RemoteText path(app.handle(), Wide(folder));
        ASSERT_NE(path.get(), 0);
        // Sent again until it takes: Wine's picker can show before it is
        // ready to select.
        std::wstring status;
        int tries = 0;
        ASSERT_TRUE(WaitFor([&] {
            if (tries++ % 50 == 0) SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, path.get());
            return (status = ItemText(picker, kPickerStatus)) == Wide(folder);
        })) << tries
            << "status line: " << Utf16ToUtf8(std::u16string(status.begin(), status.end())) << Windows(app);
        Press(picker, IDOK);
        ASSERT_TRUE(WaitFor([&] { return ItemText(options, 1018) == Wide(folder); }));
    }

    // The main window once it shows (or the program ended), waiting at most `timeoutMs`.
    HWND MainWindow(ChildProcess& app, DWORD timeoutMs = kWait) {
        HWND frame = nullptr;
        WaitFor(
            [&] {
                for (HWND w : app.TopLevelWindows()) {
                    if (IsWindowVisible(w) && test::WindowText(w) == kTitle && test::ClassName(w) != L"#32770")
                        frame = w;
                }
                return frame != nullptr || WaitForSingleObject(app.handle(), 0) == WAIT_OBJECT_0;
            },
            timeoutMs);
        return frame;
    }

    IniDocument Settings() const { return IniDocument(dir.ReadFile("koltSSel.ini")); }

    test::TempDir dir;
    std::wstring exe;
    std::string game;  // CP932
};

TEST_F(FirstStartTest, OptionsFirstThenTheMainWindowInTheChosenFolder) {
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "no options dialog";
    EXPECT_EQ(MainWindow(app, 0), nullptr) << "the main window came before the options";
    EXPECT_EQ(ItemText(options, 1017), L"標準");
    EXPECT_EQ(ItemText(options, 1018), L"");

    BrowseTo(app, options, game);
    Press(options, IDOK);
    const HWND frame = MainWindow(app);
    ASSERT_NE(frame, nullptr) << "no main window";
    EXPECT_FALSE(dir.Exists("koltSSel.ini")) << "settings written before the end";

    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(kWait, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(Settings().GetString("Option", "GameFolder"), game);
    EXPECT_EQ(Settings().GetInt("Option", "GamePriority", -1), 32);
}

TEST_F(FirstStartTest, CancelledOptionsEndWithTheMessageAndDefaults) {
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "no options dialog";
    Press(options, IDCANCEL);

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

TEST_F(FirstStartTest, AGoneFolderOffersTheOptionsAgain) {
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
    BrowseTo(app, options, game);
    Press(options, IDOK);

    const HWND frame = MainWindow(app);
    ASSERT_NE(frame, nullptr) << "no main window";
    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(app.WaitForExit(kWait));
    EXPECT_EQ(Settings().GetString("Option", "GameFolder"), game);
    EXPECT_EQ(Settings().GetInt("Option", "GamePriority", -1), 64);
}

TEST_F(FirstStartTest, AGoneFolderKeptInTheOptionsEndsWithTheMessageOnceMore) {
    const std::string before = "[Option]\r\nGamePriority=16384\r\nGameFolder=C:\\no\\such\\game\r\n";
    dir.WriteFile("koltSSel.ini", before);
    ChildProcess app(exe, L"");
    ASSERT_TRUE(app.started());
    HWND box = app.WaitForWindow(L"#32770", kTitle, kWait);
    ASSERT_NE(box, nullptr) << "no message";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    const HWND options = app.WaitForWindow(L"#32770", kOptionsTitle, kWait);
    ASSERT_NE(options, nullptr) << "the options were not offered";
    Press(options, IDOK);

    box = app.WaitForWindow(L"#32770", kTitle, kWait);
    ASSERT_NE(box, nullptr) << "no second message";
    EXPECT_EQ(ItemText(box, 0xFFFF), kCannotEnter);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.WaitForWindow(L"#32770", kOptionsTitle, 1500), nullptr) << "offered a third time";
    ASSERT_TRUE(app.WaitForExit(kWait));
    EXPECT_EQ(dir.ReadFile("koltSSel.ini"), before);
}

}  // namespace
}  // namespace kolt
