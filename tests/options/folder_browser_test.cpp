// The folder picker driven for real: the test's thread runs Browse while a
// second thread finds the picker, reads its status line and OK button, moves
// the selection and closes it.
#include "options/folder_browser.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "base/text_win.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

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
        folders.Make(Sj("ゲーム"));
        folders.Make("other");
        folders.Make("locked");
    }
    void TearDown() override { CoUninitialize(); }

    // The CP932 absolute path of a folder of this test.
    std::string Folder(std::string_view name) const { return folders.Path(name); }

    // Runs `drive` on a second thread with the picker window once it shows;
    // the picker is cancelled afterwards if `drive` left it open. A session
    // in which Wine's picker lost a selection (see Lose) is run again.
    bool BrowseDriven(CFolderBrowser& browser, UINT flags, HWND owner, const std::function<void(HWND)>& drive) {
        bool chosen = false;
        for (int attempt = 0; attempt < 3; ++attempt) {
            lost = false;
            chosen = BrowseOnce(browser, flags, owner, drive);
            if (!lost) return chosen;
        }
        ADD_FAILURE() << "the picker lost a selection three times";
        return chosen;
    }

    bool BrowseOnce(CFolderBrowser& browser, UINT flags, HWND owner, const std::function<void(HWND)>& drive) {
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

    // Wine's picker now and then stops finding folders in its tree (it
    // compares the shell's raw item data, which a loaded machine can make
    // stale): the session is cancelled and BrowseDriven runs it again.
    void Lose(HWND picker) {
        lost = true;
        test::PressButton(picker, IDCANCEL);
    }

    // Status line text once it equals `expected`.
    std::string StatusOnceItShows(HWND picker, const std::string& expected) {
        std::string status;
        if (!test::WaitUntil([&] { return (status = Narrow(test::ItemText(picker, kPickerStatus))) == expected; },
                             std::chrono::seconds(8))) {
            Lose(picker);
        }
        return status;
    }

    void Select(HWND picker, const std::string& folder) {
        if (!test::SelectInPicker(picker, kPickerStatus, folder, std::chrono::seconds(8))) Lose(picker);
    }

    test::PickerFolders folders;
    bool pickerFound = false;
    std::atomic<bool> lost = false;
};

TEST_F(FolderBrowserTest, OpensOnTheStartFolderAndOkReturnsIt) {
    CFolderBrowser browser(Folder(Sj("ゲーム")));
    std::string status, title;
    bool okEnabled = false, statusVisible = false;
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        status = StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        statusVisible = IsWindowVisible(GetDlgItem(picker, kPickerStatus));
        okEnabled = IsWindowEnabled(GetDlgItem(picker, IDOK));
        title = Narrow(test::ItemText(picker, 0x3742));
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
        Select(picker, Folder("other"));
        status = Narrow(test::ItemText(picker, kPickerStatus));
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
        Select(picker, Folder("other"));
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
    const auto select = [this](HWND picker, const std::string& folder, bool expectEnabled) {
        Select(picker, folder);
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
    // The start folder was checked when the picker selected it (in the
    // session that was not lost, if Wine's picker lost one).
    EXPECT_NE(std::find(browser.checked.begin(), browser.checked.end(), Folder(Sj("ゲーム"))), browser.checked.end());
    ASSERT_FALSE(browser.checked.empty());
    EXPECT_EQ(browser.checked.back(), Folder("locked"));
}

// Refuses "locked"; the first time, it holds the picker inside that check
// until the test has queued the next selection.
class StallingBrowser : public CFolderBrowser {
public:
    using CFolderBrowser::CFolderBrowser;
    std::string locked;
    std::atomic<bool> stalled = false;
    KernelHandle checking{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    KernelHandle nextQueued{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

protected:
    int CheckFolder(std::string_view folder) override {
        if (folder != locked) return 0;
        if (!stalled.exchange(true)) {
            SetEvent(checking.get());
            WaitForSingleObject(nextQueued.get(), 8000);
        }
        return 1;
    }
};

TEST_F(FolderBrowserTest, OkFollowsTheFolderSelectedWhenTheLateCheckArrives) {
    StallingBrowser browser(Folder(Sj("ゲーム")));
    browser.locked = Folder("locked");
    const std::wstring locked = Wide(Folder("locked")), other = Wide(Folder("other"));
    bool okForOther = false;
    BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        browser.stalled = false;
        ResetEvent(browser.checking.get());
        ResetEvent(browser.nextQueued.get());
        StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        SendNotifyMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(locked.c_str()));
        if (WaitForSingleObject(browser.checking.get(), 8000) != WAIT_OBJECT_0) return Lose(picker);
        // The picker is inside the check of "locked": the selection of
        // "other" is taken before anything that check posts.
        SendNotifyMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
        SetEvent(browser.nextQueued.get());
        StatusOnceItShows(picker, Folder("other"));
        const HWND ok = GetDlgItem(picker, IDOK);
        test::WaitUntil([&] { return !IsWindowEnabled(ok); }, std::chrono::seconds(1));
        okForOther = IsWindowEnabled(ok);  // the picker's own choice for a file-system folder
    });
    ASSERT_TRUE(pickerFound);
    EXPECT_TRUE(okForOther);
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
    // The start folder's selection already calls CheckFolder; should Wine's
    // picker have lost it, selecting another folder does. A picker still open
    // at the end is closed so that the test ends.
    std::thread driver([&] {
        const std::wstring other = Wide(Folder("other"));
        int polls = 0;
        const bool ended = test::WaitUntil(
            [&] {
                if (returned) return true;
                if (polls++ % 25 == 0) {
                    if (const HWND picker = test::WaitForThreadWindow(self, IsPicker, std::chrono::milliseconds(0))) {
                        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(other.c_str()));
                    }
                }
                return returned.load();
            },
            std::chrono::seconds(20));
        if (ended) return;
        leftOpen = true;
        if (const HWND picker = test::WaitForThreadWindow(self, IsPicker)) test::PressButton(picker, IDCANCEL);
    });
    EXPECT_THROW(browser.Browse(BIF_RETURNONLYFSDIRS, "x"), std::runtime_error);
    returned = true;
    driver.join();
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(browser.path, Folder(Sj("ゲーム")));
}

TEST_F(FolderBrowserTest, AFolderCodePage932CannotNameIsNeverReturned) {
    // "é" has no CP932 form: the program could neither store nor enter this folder.
    const std::wstring wide = Wide(Folder("caf")) + L"\u00e9";
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    CFolderBrowser browser(Folder(Sj("ゲーム")));
    bool okEnabled = true;
    std::wstring status;
    const bool chosen = BrowseDriven(browser, BIF_RETURNONLYFSDIRS, nullptr, [&](HWND picker) {
        StatusOnceItShows(picker, Folder(Sj("ゲーム")));
        const HWND ok = GetDlgItem(picker, IDOK);
        int polls = 0;
        const bool settled = test::WaitUntil(
            [&] {
                if (polls++ % 25 == 0) {
                    SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
                }
                return !IsWindowEnabled(ok);
            },
            std::chrono::seconds(8));
        if (!settled) Lose(picker);
        okEnabled = IsWindowEnabled(ok);
        status = test::ItemText(picker, kPickerStatus);
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
    EXPECT_EQ(Narrow(back), Folder(Sj("ゲーム")));
}

}  // namespace
}  // namespace kolt
