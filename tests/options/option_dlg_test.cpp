// The options dialog on its real template, driven from a second thread: the
// priority list, the read-only folder box, the folder picker behind the
// browse button, and what the caller gets back after OK and after Cancel.
#include "options/option_dlg.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "base/owners_win.h"
#include "base/text_win.h"
#include "options_ids.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

namespace kolt {
namespace {

using test::Sj;

constexpr int kPickerTree = 0x3741;
constexpr int kPickerStatus = 0x3743;
constexpr int kPickerTitle = 0x3742;

struct Shown {
    LRESULT selection = -2;
    std::string listText, folderText;
    std::vector<std::string> entries;
};

Shown Read(HWND dialog) {
    Shown s;
    const HWND list = GetDlgItem(dialog, IDC_OPTIONS_PRIORITY);
    s.selection = SendMessageW(list, CB_GETCURSEL, 0, 0);
    s.listText = Narrow(test::WindowText(list));
    s.folderText = Narrow(test::ItemText(dialog, IDC_OPTIONS_GAME_FOLDER));
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        if (SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 64) {
            SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        }
        s.entries.push_back(Narrow(text));
    }
    return s;
}

// Picks entry `index` as the user would: the list changes and tells the dialog.
void Pick(HWND dialog, int index) {
    const HWND list = GetDlgItem(dialog, IDC_OPTIONS_PRIORITY);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_PRIORITY, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class OptionDlgTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        folders.Make("old");
        folders.Make(Sj("新しいフォルダ"));
    }
    void TearDown() override { CoUninitialize(); }

    // The CP932 absolute path of a folder of this test.
    std::string Folder(std::string_view name) const { return folders.Path(name); }

    // Runs the options command on `priority` and `folder` with `drive`
    // working the dialog; returns what the command returned.
    bool Run(std::int32_t& priority, std::string& folder, const std::function<void(HWND)>& drive) {
        bool accepted = false;
        dialogShown = test::DriveModal([&] { accepted = RunOptionsDialog(priority, folder, nullptr); },
                                       test::DialogWith(IDC_OPTIONS_PRIORITY), drive);
        return accepted;
    }
    // What the dialog shows when it opens, closed with OK; `accepted` is what the command returned.
    Shown ReadThenOk(std::int32_t& priority, std::string& folder, bool& accepted) {
        Shown shown;
        accepted = Run(priority, folder, [&](HWND dialog) {
            shown = Read(dialog);
            test::PressButton(dialog, IDOK);
        });
        return shown;
    }

    // Presses the browse button, picks `target` in the picker and closes the
    // picker with `pickerButton`; returns the folder box text afterwards. A
    // picker that stops finding folders (Wine's, now and then: see
    // folder_browser_test) is cancelled and opened again.
    static std::string BrowseTo(HWND dialog, const std::string& target, int pickerButton) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            test::PressButton(dialog, IDC_OPTIONS_BROWSE);
            const HWND picker = test::WaitForThreadWindow(GetWindowThreadProcessId(dialog, nullptr), [](HWND w) {
                return test::HasClass(w, L"#32770") && GetDlgItem(w, kPickerTree) != nullptr;
            });
            if (!picker) return "no picker";
            const bool selected = test::SelectInPicker(picker, kPickerStatus, target, std::chrono::seconds(8));
            test::PressButton(picker, selected ? pickerButton : IDCANCEL);
            test::WaitUntil([&] { return !IsWindow(picker); });
            if (selected) break;
        }
        // The box changes, if at all, before the browse handler returns.
        SendMessageW(dialog, WM_NULL, 0, 0);
        return Narrow(test::ItemText(dialog, IDC_OPTIONS_GAME_FOLDER));
    }

    test::PickerFolders folders;
    bool dialogShown = false;
};

TEST_F(OptionDlgTest, OpensOnTheStoredPriorityAndFolder) {
    std::int32_t priority = BELOW_NORMAL_PRIORITY_CLASS;
    std::string folder = Folder("old");
    bool accepted = false;
    const Shown shown = ReadThenOk(priority, folder, accepted);
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(shown.entries, (std::vector<std::string>{Sj("標準"), Sj("標準以下"), Sj("アイドル")}));
    EXPECT_EQ(shown.selection, 1);
    EXPECT_EQ(shown.listText, Sj("標準以下"));
    EXPECT_EQ(shown.folderText, Folder("old"));
    EXPECT_TRUE(accepted);
    EXPECT_EQ(priority, BELOW_NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(folder, Folder("old"));
}

TEST_F(OptionDlgTest, FirstStartShowsNormalAndAnEmptyFolder) {
    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder;
    Shown shown;
    Run(priority, folder, [&](HWND dialog) { shown = Read(dialog); });
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(shown.selection, 0);
    EXPECT_EQ(shown.listText, Sj("標準"));
    EXPECT_EQ(shown.folderText, "");
}

TEST_F(OptionDlgTest, APriorityTheListLacksSelectsNothingAndSurvivesOk) {
    std::int32_t priority = HIGH_PRIORITY_CLASS;  // 128
    std::string folder = Folder("old");
    bool accepted = false;
    const Shown shown = ReadThenOk(priority, folder, accepted);
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(shown.selection, CB_ERR);
    EXPECT_EQ(shown.listText, "");
    EXPECT_TRUE(accepted);
    EXPECT_EQ(priority, 128);
}

TEST_F(OptionDlgTest, APickedPriorityIsTakenOnOkOnly) {
    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder = Folder("old");
    EXPECT_FALSE(Run(priority, folder, [](HWND dialog) {
        Pick(dialog, 2);
        test::PressButton(dialog, IDCANCEL);
    }));
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(priority, NORMAL_PRIORITY_CLASS);

    EXPECT_TRUE(Run(priority, folder, [](HWND dialog) {
        Pick(dialog, 2);
        test::PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(priority, IDLE_PRIORITY_CLASS);

    priority = HIGH_PRIORITY_CLASS;
    EXPECT_TRUE(Run(priority, folder, [](HWND dialog) {
        Pick(dialog, 1);
        test::PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(priority, BELOW_NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(folder, Folder("old"));
}

TEST_F(OptionDlgTest, ABrowsedFolderIsShownAndTakenOnOkOnly) {
    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder = Folder("old");
    const std::string target = Folder(Sj("新しいフォルダ"));

    std::string shownAfterBrowse;
    EXPECT_FALSE(Run(priority, folder, [&](HWND dialog) {
        shownAfterBrowse = BrowseTo(dialog, target, IDOK);
        test::PressButton(dialog, IDCANCEL);
    }));
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(shownAfterBrowse, target);
    EXPECT_EQ(folder, Folder("old"));

    std::string shownAfterPickerCancel;
    EXPECT_TRUE(Run(priority, folder, [&](HWND dialog) {
        shownAfterPickerCancel = BrowseTo(dialog, target, IDCANCEL);
        test::PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(shownAfterPickerCancel, Folder("old"));
    EXPECT_EQ(folder, Folder("old"));

    EXPECT_TRUE(Run(priority, folder, [&](HWND dialog) {
        BrowseTo(dialog, target, IDOK);
        test::PressButton(dialog, IDOK);
    }));
    EXPECT_EQ(folder, target);
    EXPECT_EQ(priority, NORMAL_PRIORITY_CLASS);
}

TEST_F(OptionDlgTest, TheBrowseButtonOpensTheGameFolderPickerForFileSystemFoldersOnly) {
    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder = Folder("old");
    std::wstring title;
    HWND owner = nullptr, dialogWindow = nullptr;
    std::vector<bool> okEnabled;  // on My Computer, the recycle bin, then a folder
    Run(priority, folder, [&](HWND dialog) {
        dialogWindow = dialog;
        test::PressButton(dialog, IDC_OPTIONS_BROWSE);
        const HWND picker = test::WaitForThreadWindow(GetWindowThreadProcessId(dialog, nullptr), [](HWND w) {
            return test::HasClass(w, L"#32770") && GetDlgItem(w, kPickerTree) != nullptr;
        });
        if (!picker) return;
        title = test::ItemText(picker, kPickerTitle);
        owner = GetWindow(picker, GW_OWNER);
        const HWND ok = GetDlgItem(picker, IDOK);
        // Neither is a file-system folder: only BIF_RETURNONLYFSDIRS greys OK for them.
        for (int csidl : {CSIDL_DRIVES, CSIDL_BITBUCKET}) {
            ITEMIDLIST* item = nullptr;
            if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &item))) continue;
            const ItemIdList owned(item);
            SendMessageW(picker, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item));
            okEnabled.push_back(!test::WaitUntil([&] { return !IsWindowEnabled(ok); }, std::chrono::seconds(3)));
        }
        test::SelectInPicker(picker, kPickerStatus, Folder("old"), std::chrono::seconds(8));
        okEnabled.push_back(test::WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }, std::chrono::seconds(3)));
        test::PressButton(picker, IDCANCEL);
        test::WaitUntil([&] { return !IsWindow(picker); });
    });
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(title, L"ゲームインストール先フォルダ");
    EXPECT_EQ(owner, dialogWindow);
    EXPECT_EQ(okEnabled, (std::vector<bool>{false, false, true}));
}

TEST_F(OptionDlgTest, TheFolderBoxCannotBeTypedInto) {
    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder = Folder("old");
    std::string afterTyping;
    LONG style = 0;
    Run(priority, folder, [&](HWND dialog) {
        const HWND box = GetDlgItem(dialog, IDC_OPTIONS_GAME_FOLDER);
        style = GetWindowLongW(box, GWL_STYLE);
        SendMessageW(box, WM_SETFOCUS, 0, 0);
        SendMessageW(box, EM_SETSEL, 0, -1);
        for (wchar_t c : std::wstring(L"typed"))
            SendMessageW(box, WM_CHAR, c, 1);
        SendMessageW(box, WM_KEYDOWN, VK_DELETE, 1);
        SendMessageW(box, WM_CLEAR, 0, 0);
        SendMessageW(box, WM_CUT, 0, 0);
        afterTyping = Narrow(test::WindowText(box));
        test::PressButton(dialog, IDOK);
    });
    ASSERT_TRUE(dialogShown);
    EXPECT_NE(style & ES_READONLY, 0);
    EXPECT_EQ(afterTyping, Folder("old"));
    EXPECT_EQ(folder, Folder("old"));
}

TEST_F(OptionDlgTest, ClosingTheWindowIsACancel) {
    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder = Folder("old");
    EXPECT_FALSE(Run(priority, folder, [](HWND dialog) {
        Pick(dialog, 1);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }));
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(priority, NORMAL_PRIORITY_CLASS);
}

}  // namespace
}  // namespace kolt
