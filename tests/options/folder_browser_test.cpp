// The folder picker driven for real: the test's thread runs Browse while a
// second thread finds the picker, reads its status line and OK button, moves
// the selection and closes it.
#include "options/folder_browser.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "gui_driver.h"
#include "support/temp_dir.h"

namespace kolt {
namespace {

using test::Sj;

// The shell picker's own control ids (the same on Windows and Wine).
constexpr int kPickerTree = 0x3741;
constexpr int kPickerStatus = 0x3743;

bool IsPicker(HWND window) {
    return test::HasClass(window, L"#32770") && GetDlgItem(window, kPickerTree) != nullptr;
}

class FolderBrowserTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        dir.MakeDir(Sj("ゲーム"));
        dir.MakeDir("other");
        dir.MakeDir("locked");
    }
    void TearDown() override { CoUninitialize(); }

    // CP932 absolute path of a folder inside the temporary folder.
    std::string Folder(std::string_view relative) const { return Utf8ToCp932(dir.Native(relative)).value(); }

    // Runs `drive` on a second thread with the picker window once it shows;
    // the picker is cancelled afterwards if `drive` left it open.
    bool BrowseDriven(CFolderBrowser& browser, UINT flags, HWND owner, const std::function<void(HWND)>& drive) {
        const DWORD self = GetCurrentThreadId();
        std::thread driver([&] {
            const HWND picker = test::WaitForThreadWindow(self, IsPicker);
            pickerFound = picker != nullptr;
            if (!picker) return;
            drive(picker);
            if (IsWindow(picker)) test::PressButton(picker, IDCANCEL);
        });
        bool chosen = false;
        try {
            chosen = browser.Browse(flags, Sj("ゲームインストール先フォルダ"), owner);
        } catch (...) {
            driver.join();
            throw;
        }
        driver.join();
        return chosen;
    }

    // Status line text once it equals `expected`, or what it was at the limit.
    static std::string StatusOnceItShows(HWND picker, const std::string& expected) {
        std::string status;
        test::WaitUntil([&] { return (status = test::ItemText(picker, kPickerStatus)) == expected; });
        return status;
    }

    test::TempDir dir;
    bool pickerFound = false;
};

TEST_F(FolderBrowserTest, OpensOnTheStartFolderAndOkReturnsIt) {
    CFolderBrowser browser(Folder(Sj("ゲーム")));
    std::string status, title;
    bool okEnabled = false, statusVisible = false;
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        status = StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        statusVisible = IsWindowVisible(GetDlgItem(picker, kPickerStatus));
        okEnabled = IsWindowEnabled(GetDlgItem(picker, IDOK));
        title = test::ItemText(picker, 0x3742);
        test::PressButton(picker, IDOK);
    });
    ASSERT_TRUE(pickerFound);
    EXPECT_EQ(status, Folder(Sj("ゲーム")));
    EXPECT_TRUE(statusVisible);  // the status line is there although only BIF_RETURNONLYFSDIRS was asked for
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(title, Sj("ゲームインストール先フォルダ"));
    EXPECT_TRUE(chosen);
    EXPECT_EQ(browser.path, Folder(Sj("ゲーム")));
}

TEST_F(FolderBrowserTest, ANewSelectionIsReportedAndReturned) {
    CFolderBrowser browser(Folder(Sj("ゲーム")));
    std::string status;
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        const std::wstring other = test::Wide(Folder("other"));
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
        status = StatusOnceItShows(picker, Folder("other"));
        test::PressButton(picker, IDOK);
    });
    ASSERT_TRUE(pickerFound);
    EXPECT_EQ(status, Folder("other"));
    EXPECT_TRUE(chosen);
    EXPECT_EQ(browser.path, Folder("other"));
}

TEST_F(FolderBrowserTest, CancelReturnsNothingAndKeepsThePath) {
    CFolderBrowser browser(Folder(Sj("ゲーム")));
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        const std::wstring other = test::Wide(Folder("other"));
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
        StatusOnceItShows(picker, Folder("other"));
        test::PressButton(picker, IDCANCEL);
    });
    ASSERT_TRUE(pickerFound);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(browser.path, Folder(Sj("ゲーム")));
}

TEST_F(FolderBrowserTest, UnusableStartFolderStillOpensAndOwnerOwnsThePicker) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    for (const std::string& start : {std::string(), Folder("no such folder"), std::string("::garbage::")}) {
        CFolderBrowser browser(start);
        HWND pickerOwner = nullptr;
        const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, owner,
                                         [&](HWND picker) { pickerOwner = GetWindow(picker, GW_OWNER); });
        ASSERT_TRUE(pickerFound) << start;
        EXPECT_EQ(pickerOwner, owner);
        EXPECT_FALSE(chosen);
        EXPECT_EQ(browser.path, start);
    }
    DestroyWindow(owner);
}

// Refuses "locked", allows "other", leaves the rest to the picker.
class GatedBrowser : public CFolderBrowser {
public:
    using CFolderBrowser::CFolderBrowser;
    std::string locked, open;
    std::vector<std::string> checked;

protected:
    int CheckFolder(std::string_view folder) override {
        checked.emplace_back(folder);
        if (folder == locked) return 1;
        if (folder == open) return 2;
        return 0;
    }
};

TEST_F(FolderBrowserTest, CheckFolderDisablesAndEnablesOk) {
    GatedBrowser browser(Folder(Sj("ゲーム")));
    browser.locked = Folder("locked");
    browser.open = Folder("other");
    bool okAtStart = false, okWhenLocked = true, okWhenOpen = false, okAfterLockedAgain = true;
    // Whether OK settles in the expected state after selecting `folder`.
    const auto select = [](HWND picker, const std::string& folder, bool expectEnabled) {
        const std::wstring wide = test::Wide(folder);
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
        StatusOnceItShows(picker, folder);
        const HWND ok = GetDlgItem(picker, IDOK);
        test::WaitUntil([&] { return (IsWindowEnabled(ok) != FALSE) == expectEnabled; }, std::chrono::seconds(3));
        return IsWindowEnabled(ok) != FALSE;
    };
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        okAtStart = IsWindowEnabled(GetDlgItem(picker, IDOK));
        okWhenLocked = select(picker, Folder("locked"), false);
        okWhenOpen = select(picker, Folder("other"), true);
        okAfterLockedAgain = select(picker, Folder("locked"), false);
        test::PressButton(picker, IDCANCEL);
    });
    ASSERT_TRUE(pickerFound);
    EXPECT_TRUE(okAtStart);
    EXPECT_FALSE(okWhenLocked);
    EXPECT_TRUE(okWhenOpen);
    EXPECT_FALSE(okAfterLockedAgain);
    EXPECT_FALSE(chosen);
    ASSERT_FALSE(browser.checked.empty());
    EXPECT_EQ(browser.checked.front(), Folder(Sj("ゲーム")));
    EXPECT_EQ(browser.checked.back(), Folder("locked"));
}

class ThrowingBrowser : public CFolderBrowser {
public:
    using CFolderBrowser::CFolderBrowser;

protected:
    int CheckFolder(std::string_view) override { throw std::runtime_error("check failed"); }
};

TEST_F(FolderBrowserTest, AFailureInsideTheCallbackClosesThePickerAndReachesTheCaller) {
    ThrowingBrowser browser(Folder(Sj("ゲーム")));
    const DWORD self = GetCurrentThreadId();
    std::atomic<bool> returned = false;
    bool leftOpen = false;
    // Should the picker stay open, the watcher closes it so the test ends.
    std::thread watcher([&] {
        if (test::WaitUntil([&] { return returned.load(); }, std::chrono::seconds(15))) return;
        leftOpen = true;
        if (const HWND picker = test::WaitForThreadWindow(self, IsPicker)) test::PressButton(picker, IDCANCEL);
    });
    EXPECT_THROW(browser.Browse(BIF_RETURNONLYFSDIRS, "x"), std::runtime_error);
    returned = true;
    watcher.join();
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(browser.path, Folder(Sj("ゲーム")));
}

TEST_F(FolderBrowserTest, AFolderCodePage932CannotNameIsNeverReturned) {
    // "é" has no CP932 form: the program could neither store nor enter this folder.
    const std::u16string wide = Cp932ToUtf16(Folder("")) + u"caf\u00e9";
    ASSERT_TRUE(CreateDirectoryW(reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr));
    CFolderBrowser browser(Folder(Sj("ゲーム")));
    bool okEnabled = true;
    std::u16string status;
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
        const HWND ok = GetDlgItem(picker, IDOK);
        test::WaitUntil([&] { return !IsWindowEnabled(ok); }, std::chrono::seconds(3));
        okEnabled = IsWindowEnabled(ok);
        wchar_t text[MAX_PATH] = {};
        GetDlgItemTextW(picker, kPickerStatus, text, MAX_PATH);
        status = reinterpret_cast<const char16_t*>(text);
        test::PressButton(picker, IDOK);  // as if OK had been pressed all the same
    });
    ASSERT_TRUE(pickerFound);
    EXPECT_EQ(status, wide);
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(chosen);
    EXPECT_EQ(browser.path, Folder(Sj("ゲーム")));
}

TEST_F(FolderBrowserTest, PathToItemIdList) {
    EXPECT_EQ(CFolderBrowser::PathToItemIdList(std::nullopt), nullptr);
    EXPECT_EQ(CFolderBrowser::PathToItemIdList(""), nullptr);
    EXPECT_EQ(CFolderBrowser::PathToItemIdList(Folder("no such folder")), nullptr);

    const ItemIdList item = CFolderBrowser::PathToItemIdList(Folder(Sj("ゲーム")));
    ASSERT_NE(item, nullptr);
    wchar_t back[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDListW(item.get(), back));
    EXPECT_EQ(Utf16ToCp932(reinterpret_cast<const char16_t*>(back)), Folder(Sj("ゲーム")));
}

}  // namespace
}  // namespace kolt
