// The main window created in process from the program's own resources on a
// game folder written by the test, and operated the way a user does it:
// through the tree, the menu, the toolbar, the keyboard.
#include "app/main_frame.h"

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "about_ids.h"
#include "app/selector_app.h"
#include "base/owners_win.h"
#include "catalogue/catalogue_scan.h"
#include "catalogue/stage_tree_win.h"
#include "main_window_fixture.h"
#include "options_ids.h"
#include "resource.h"
#include "scenario/property_form_win.h"
#include "support/child_process.h"
#include "support/dialog_template.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"
#include "win/application.h"
#include "win/screen_text.h"

namespace kolt {
namespace {

using test::Pump;
using test::RectIn;
using test::Sj;
using test::WindowText;

constexpr UINT kBoxes[] = {IDC_FILE_NAME, IDC_STAGE_NAME,   IDC_CLEAR_SCORE,        IDC_HIGH_SCORE, IDC_TIME_BAND,
                           IDC_WIND,      IDC_COMMAND_LINE, IDC_CONTROLLED_FLIGHTS, IDC_DIFFICULTY, IDC_MODE};

class MainFrameTest : public test::MainWindowTest {
protected:
    HWND Child(HWND parent, UINT id) const { return GetDlgItem(parent, static_cast<int>(id)); }
    HWND Tree() const { return frame->stageTree()->hwnd(); }
    HWND Form() const { return frame->propertyForm()->hwnd(); }
    HWND Box(UINT id) const { return Child(Form(), id); }
    std::string BoxText(UINT id) const { return Narrow(WindowText(Box(id))); }
    std::string MessagePane() const { return Narrow(WindowText(Child(frame->hwnd(), IDW_STATUS_BAR))); }

    std::vector<HTREEITEM> Items(HTREEITEM parent) const {
        std::vector<HTREEITEM> items;
        auto next = [&](UINT flag, HTREEITEM from) {
            return reinterpret_cast<HTREEITEM>(
                SendMessageW(Tree(), TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(from)));
        };
        for (HTREEITEM i = parent ? next(TVGN_CHILD, parent) : next(TVGN_ROOT, nullptr); i; i = next(TVGN_NEXT, i))
            items.push_back(i);
        return items;
    }
    std::string Label(HTREEITEM item) const {
        wchar_t buffer[260] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = 260;
        SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        return Narrow(buffer);
    }
    HTREEITEM Find(const std::string& label, HTREEITEM parent = nullptr) const {
        for (HTREEITEM i : Items(parent))
            if (Label(i) == label) return i;
        return nullptr;
    }
    HTREEITEM Scenario(const std::string& port, const std::string& file) const { return Find(file, Find(port)); }
    void Select(HTREEITEM item) const {
        ASSERT_NE(item, nullptr);
        SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    HTREEITEM Selected() const {
        return reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    }
    bool Expanded(HTREEITEM item) const {
        return (SendMessageW(Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    void Command(UINT id) const { SendMessageW(frame->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::vector<std::string> AllBoxes() const {
        std::vector<std::string> texts;
        for (UINT id : kBoxes)
            texts.push_back(BoxText(id));
        return texts;
    }
    // The state a popup menu shows for an item once the frame updated it.
    UINT MenuState(int popup, UINT id) const {
        HMENU sub = GetSubMenu(GetMenu(frame->hwnd()), popup);
        SendMessageW(frame->hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(popup, FALSE));
        const UINT state = GetMenuState(sub, id, MF_BYCOMMAND);
        // A missing item answers -1, every bit set, grey included.
        EXPECT_NE(state, static_cast<UINT>(-1)) << "no item " << id << " in popup " << popup;
        return state;
    }
    // Whether toolbar button `id` is enabled; a missing button fails the test.
    bool ButtonEnabled(UINT id) const {
        HWND toolbar = Child(frame->hwnd(), IDW_TOOLBAR);
        EXPECT_NE(SendMessageW(toolbar, TB_COMMANDTOINDEX, id, 0), -1) << "no button " << id;
        return SendMessageW(toolbar, TB_ISBUTTONENABLED, id, 0) != 0;
    }
};

TEST_F(MainFrameTest, OpensWithTheCatalogueInTheTreeAndAnEmptyForm) {
    Open();
    EXPECT_EQ(WindowText(frame->hwnd()), L"koltシナリオセレクタ");
    EXPECT_EQ(test::ClassName(Child(frame->hwnd(), IDW_TOOLBAR)), TOOLBARCLASSNAMEW);
    EXPECT_EQ(test::ClassName(Child(frame->hwnd(), IDW_STATUS_BAR)), STATUSCLASSNAMEW);
    HWND splitter = Child(frame->hwnd(), IDW_PANE_FIRST);
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(Child(splitter, IDW_PANE_FIRST), Tree());
    EXPECT_EQ(Child(splitter, IDW_PANE_FIRST + 1), Form());
    EXPECT_EQ(test::ClassName(Tree()), L"SysTreeView32");
    EXPECT_EQ(GetWindowLongPtrW(Tree(), GWL_STYLE) & 0xFFFF, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);

    // The left column opens 200 pixels wide; the form takes the rest.
    RECT tree = RectIn(Tree(), splitter);
    EXPECT_EQ(tree.left, 0);
    EXPECT_EQ(tree.right, 200);
    RECT form = RectIn(Form(), splitter);
    RECT client{};
    GetClientRect(splitter, &client);
    EXPECT_EQ(form.right, client.right);

    std::set<std::string> ports;
    for (HTREEITEM port : Items(nullptr)) {
        ports.insert(Label(port));
        EXPECT_FALSE(Expanded(port));
    }
    EXPECT_EQ(ports, (std::set<std::string>{"Alpha", Sj("羽田")}));
    std::set<std::string> alpha;
    for (HTREEITEM s : Items(Find("Alpha")))
        alpha.insert(Label(s));
    EXPECT_EQ(alpha, (std::set<std::string>{"s01.sd3", "s02.sd3"}));
    EXPECT_EQ(Selected(), nullptr);

    EXPECT_EQ(AllBoxes(), std::vector<std::string>(10));
    EXPECT_EQ(MessagePane(), Sj("レディ"));
    // Nobody asked for the focus to go into a pane.
    HWND focus = GetFocus();
    EXPECT_NE(focus, Tree());
    EXPECT_FALSE(IsChild(Form(), focus));
    EXPECT_TRUE(boxes.Take().empty());
}

TEST_F(MainFrameTest, SelectingAScenarioFillsTheTenBoxesAndAPortLeavesThemAlone) {
    Open();
    Select(Scenario("Alpha", "s01.sd3"));
    const std::vector<std::string> s01 = {
        "port\\Alpha\\scenario\\s01.sd3", "Alpha Day",          "1500", "1200",  "09:30 - 11:00",
        test::Expected::S01Wind(),        "velq.exe Alpha s01", "4",    Sj("★"), "Normal Mode"};
    EXPECT_EQ(AllBoxes(), s01);
    EXPECT_EQ(frame->propertyForm()->commandLine, "velq.exe Alpha s01");
    EXPECT_EQ(ProgramNameText(frame->propertyForm()->programName), "qmz48");
    EXPECT_EQ(MessagePane(), "");  // the load cleared the message pane

    Select(Find(Sj("羽田")));
    EXPECT_EQ(AllBoxes(), s01);
    EXPECT_EQ(frame->propertyForm()->commandLine, "velq.exe Alpha s01");

    Select(Scenario("Alpha", "s02.sd3"));
    EXPECT_EQ(AllBoxes(),
              (std::vector<std::string>{"port\\Alpha\\scenario\\s02.sd3", "Alpha Night", "800", "-3", "22:00 - 25:00",
                                        Sj("23:00 090°05kt "), "", "1", Sj("★"), "Normal Mode"}));
    EXPECT_EQ(frame->propertyForm()->commandLine, "");
    EXPECT_TRUE(boxes.Take().empty());
}

TEST_F(MainFrameTest, ArrowingDownThroughAPortLoadsEachScenario) {
    Open();
    const std::vector<HTREEITEM> scenarios = Items(Find("Alpha"));
    ASSERT_EQ(scenarios.size(), 2u);
    Select(scenarios[0]);
    EXPECT_EQ(BoxText(IDC_FILE_NAME), "port\\Alpha\\scenario\\" + Label(scenarios[0]));
    SetFocus(Tree());
    SendMessageW(Tree(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Selected(), scenarios[1]);
    EXPECT_EQ(BoxText(IDC_FILE_NAME), "port\\Alpha\\scenario\\" + Label(scenarios[1]));
}

TEST_F(MainFrameTest, AMissingStageIniShowsMinusOneAndItsErrorInTheMessagePane) {
    Open();
    Select(Scenario(Sj("羽田"), "h01.sd3"));
    EXPECT_EQ(BoxText(IDC_HIGH_SCORE), "-1");
    EXPECT_EQ(BoxText(IDC_COMMAND_LINE), "");
    EXPECT_EQ(BoxText(IDC_CLEAR_SCORE), "4294967295");
    EXPECT_EQ(BoxText(IDC_CONTROLLED_FLIGHTS), "0");
    EXPECT_EQ(BoxText(IDC_DIFFICULTY), "");
    const std::string status = MessagePane();
    EXPECT_NE(status.find(Sj("stage\\羽田\\朝.ini")), std::string::npos) << status;
    EXPECT_TRUE(boxes.Take().empty());  // no message box for it

    Select(Scenario("Alpha", "s01.sd3"));
    EXPECT_EQ(MessagePane(), "");
}

TEST_F(MainFrameTest, RefreshKeepsTheBoxesCollapsesTheTreeAndTheSameScenarioLoadsAgain) {
    Open();
    Select(Scenario("Alpha", "s01.sd3"));
    const std::vector<std::string> before = AllBoxes();
    dir.WriteFile("game\\stage\\Alpha\\Day.ini", "highscore=1300\r\nexe=velq.exe\r\n");

    Command(ID_REFRESH_CATALOGUE);
    EXPECT_EQ(AllBoxes(), before);
    EXPECT_EQ(frame->propertyForm()->commandLine, "velq.exe Alpha s01");
    EXPECT_EQ(Selected(), nullptr);
    for (HTREEITEM port : Items(nullptr))
        EXPECT_FALSE(Expanded(port));

    Select(Scenario("Alpha", "s01.sd3"));
    EXPECT_EQ(BoxText(IDC_HIGH_SCORE), "1300");
}

TEST_F(MainFrameTest, ExpertModeFromARefreshShowsOnlyAtTheNextLoad) {
    Open();
    Select(Scenario("Alpha", "s01.sd3"));
    EXPECT_EQ(BoxText(IDC_MODE), "Normal Mode");
    dir.WriteFile("game\\config.ini", "level=1\r\n");
    Command(ID_REFRESH_CATALOGUE);
    EXPECT_TRUE(frame->propertyForm()->expertMode);
    EXPECT_EQ(BoxText(IDC_MODE), "Normal Mode");
    EXPECT_EQ(BoxText(IDC_CLEAR_SCORE), "1500");
    Select(Scenario("Alpha", "s01.sd3"));
    EXPECT_EQ(BoxText(IDC_MODE), "Expert Mode");
    EXPECT_EQ(BoxText(IDC_CLEAR_SCORE), "2500");
}

TEST_F(MainFrameTest, AMissingPortFolderGivesItsMessageOncePerScan) {
    ASSERT_TRUE(
        MoveFileW(Wide(dir.Native("game") + "\\port").c_str(), Wide(dir.Native("game") + "\\port.old").c_str()));
    Open();
    auto seen = boxes.Take();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"koltシナリオセレクタ");
    EXPECT_EQ(seen[0].text, L"シナリオファイルフォルダのパスが見つかりません");
    EXPECT_TRUE(seen[0].errorIcon);
    EXPECT_TRUE(Items(nullptr).empty());

    Command(ID_REFRESH_CATALOGUE);
    EXPECT_EQ(boxes.Take().size(), 1u);
    EXPECT_TRUE(Items(nullptr).empty());

    // Back in place, a refresh finds it again.
    ASSERT_TRUE(
        MoveFileW(Wide(dir.Native("game") + "\\port.old").c_str(), Wide(dir.Native("game") + "\\port").c_str()));
    Command(ID_REFRESH_CATALOGUE);
    EXPECT_TRUE(boxes.Take().empty());
    EXPECT_EQ(Items(nullptr).size(), 2u);
}

TEST_F(MainFrameTest, AMissingConfigIniGivesItsMessageAtStartAndOnEveryRefresh) {
    ASSERT_TRUE(DeleteFileW(Wide(dir.Native("game") + "\\config.ini").c_str()));
    Open();
    auto seen = boxes.Take();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"config.ini が読めません");
    EXPECT_TRUE(seen[0].exclamationIcon);
    EXPECT_EQ(Items(nullptr).size(), 2u);  // the tree is filled all the same
    Command(ID_REFRESH_CATALOGUE);
    EXPECT_EQ(boxes.Take().size(), 1u);
    Select(Scenario("Alpha", "s01.sd3"));
    EXPECT_EQ(BoxText(IDC_MODE), "Normal Mode");
}

TEST_F(MainFrameTest, TheMenuHasItsFourPopupsAndTheEditCommandsAreAlwaysDisabled) {
    Open();
    HMENU menu = GetMenu(frame->hwnd());
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    const wchar_t* titles[] = {L"ファイル(&F)", L"編集(&E)", L"表示(&V)", L"ヘルプ(&H)"};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, titles[i]);
    }
    // Separators after "元に戻す" and before refresh and options.
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 1), 1), 0u);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 2), 2), 0u);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 2), 4), 0u);

    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
        EXPECT_TRUE(MenuState(1, id) & MF_GRAYED) << id;
    for (UINT id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_REFRESH_CATALOGUE, ID_SHOW_OPTIONS})
        EXPECT_FALSE(MenuState(2, id) & MF_GRAYED) << id;
    EXPECT_FALSE(MenuState(3, ID_APP_ABOUT) & MF_GRAYED);
    EXPECT_FALSE(MenuState(0, ID_APP_EXIT) & MF_GRAYED);

    for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
        EXPECT_FALSE(ButtonEnabled(id)) << id;
    EXPECT_TRUE(ButtonEnabled(ID_APP_ABOUT));
    EXPECT_EQ(SendMessageW(Child(frame->hwnd(), IDW_TOOLBAR), TB_BUTTONCOUNT, 0, 0), 5);

    // Choosing one anyway (its accelerator, say) changes nothing.
    Select(Scenario("Alpha", "s01.sd3"));
    const auto before = AllBoxes();
    for (UINT id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
        Command(id);
    EXPECT_EQ(AllBoxes(), before);
}

TEST_F(MainFrameTest, TheBarsHideAndComeBackInPlaceWithTheirCheckMarks) {
    Open();
    HWND toolbar = Child(frame->hwnd(), IDW_TOOLBAR);
    HWND status = Child(frame->hwnd(), IDW_STATUS_BAR);
    HWND splitter = Child(frame->hwnd(), IDW_PANE_FIRST);
    const RECT toolbarAt = RectIn(toolbar, frame->hwnd());
    const RECT splitterAt = RectIn(splitter, frame->hwnd());
    EXPECT_TRUE(MenuState(2, ID_VIEW_TOOLBAR) & MF_CHECKED);
    EXPECT_TRUE(MenuState(2, ID_VIEW_STATUS_BAR) & MF_CHECKED);

    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(IsWindowVisible(toolbar));
    EXPECT_FALSE(MenuState(2, ID_VIEW_TOOLBAR) & MF_CHECKED);
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).top, 0);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(IsWindowVisible(status));
    EXPECT_FALSE(MenuState(2, ID_VIEW_STATUS_BAR) & MF_CHECKED);
    RECT client{};
    GetClientRect(frame->hwnd(), &client);
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).bottom, client.bottom);

    Command(ID_VIEW_TOOLBAR);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(IsWindowVisible(toolbar));
    EXPECT_TRUE(IsWindowVisible(status));
    EXPECT_TRUE(MenuState(2, ID_VIEW_TOOLBAR) & MF_CHECKED);
    EXPECT_TRUE(MenuState(2, ID_VIEW_STATUS_BAR) & MF_CHECKED);
    const RECT toolbarNow = RectIn(toolbar, frame->hwnd());
    EXPECT_TRUE(EqualRect(&toolbarAt, &toolbarNow));
    const RECT splitterNow = RectIn(splitter, frame->hwnd());
    EXPECT_TRUE(EqualRect(&splitterAt, &splitterNow));
}

TEST_F(MainFrameTest, PromptsAndTooltipsComeFromTheStringTable) {
    Open();
    HMENU view = GetSubMenu(GetMenu(frame->hwnd()), 2);
    SendMessageW(frame->hwnd(), WM_MENUSELECT, MAKEWPARAM(ID_REFRESH_CATALOGUE, MF_STRING),
                 reinterpret_cast<LPARAM>(view));
    EXPECT_EQ(MessagePane(), Sj("関連ファイルを読み込み直す"));
    SendMessageW(frame->hwnd(), WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_STRING | MF_SYSMENU),
                 reinterpret_cast<LPARAM>(GetSystemMenu(frame->hwnd(), FALSE)));
    EXPECT_EQ(MessagePane(), Sj("作業中のウィンドウを閉じ、変更したファイルの保存を指示"));
    SendMessageW(frame->hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(MessagePane(), Sj("レディ"));

    HWND toolbar = Child(frame->hwnd(), IDW_TOOLBAR);
    NMTBHOTITEM hot{};
    hot.hdr = {toolbar, IDW_TOOLBAR, static_cast<UINT>(TBN_HOTITEMCHANGE)};
    hot.idNew = ID_APP_ABOUT;
    SendMessageW(frame->hwnd(), WM_NOTIFY, IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(MessagePane(), Sj("プログラム情報、バージョン、著作権を表示します。"));
    hot.dwFlags = HICF_LEAVING;
    SendMessageW(frame->hwnd(), WM_NOTIFY, IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(MessagePane(), Sj("レディ"));

    NMTTDISPINFOW tip{};
    tip.hdr = {reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0)), ID_EDIT_COPY,
               static_cast<UINT>(TTN_GETDISPINFOW)};
    SendMessageW(frame->hwnd(), WM_NOTIFY, ID_EDIT_COPY, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_STREQ(tip.lpszText, L"保存");
}

TEST_F(MainFrameTest, ANotificationFromAnotherThreadIsReadOnlyWhenOneOfOurWindowsSentIt) {
    Open();
    // Another thread stands for another process: the system copies nothing
    // for WM_NOTIFY, so its address may point anywhere.
    HWND tips = reinterpret_cast<HWND>(SendMessageW(Child(frame->hwnd(), IDW_TOOLBAR), TB_GETTOOLTIPS, 0, 0));
    void* reserved = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_READWRITE);  // no memory behind it
    ASSERT_NE(reserved, nullptr);
    NMTTDISPINFOW foreign{}, ours{};
    ours.hdr = {tips, ID_EDIT_COPY, static_cast<UINT>(TTN_GETDISPINFOW)};
    std::atomic<bool> done = false;
    std::vector<LRESULT> results;
    std::thread sender([&] {
        // A header from a window of the sending thread.
        HWND own = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        foreign.hdr = {own, ID_EDIT_COPY, static_cast<UINT>(TTN_GETDISPINFOW)};
        for (const LPARAM lParam : {LPARAM{0x14}, reinterpret_cast<LPARAM>(reserved),
                                    reinterpret_cast<LPARAM>(&foreign), reinterpret_cast<LPARAM>(&ours)}) {
            DWORD_PTR result = 1;
            SendMessageTimeoutW(frame->hwnd(), WM_NOTIFY, ID_EDIT_COPY, lParam, SMTO_NORMAL, 10000, &result);
            results.push_back(static_cast<LRESULT>(result));
        }
        DestroyWindow(own);
        done = true;
    });
    while (!done) {
        Pump();
        Sleep(1);
    }
    sender.join();
    VirtualFree(reserved, 0, MEM_RELEASE);
    EXPECT_EQ(results, (std::vector<LRESULT>{0, 0, 0, 0}));
    EXPECT_EQ(foreign.lpszText, nullptr);
    ASSERT_NE(ours.lpszText, nullptr);  // the toolbar's tooltip is ours, whoever passes its header on
    EXPECT_STREQ(ours.lpszText, L"保存");
}

TEST_F(MainFrameTest, TheToolbarDocksAtEveryEdgeAndFloatsInAToolWindow) {
    Open();
    HWND toolbar = Child(frame->hwnd(), IDW_TOOLBAR);
    auto* bar = dynamic_cast<win::DockToolBar*>(win::Window::FromHandle(toolbar));
    ASSERT_NE(bar, nullptr);
    HWND splitter = Child(frame->hwnd(), IDW_PANE_FIRST);
    HWND status = Child(frame->hwnd(), IDW_STATUS_BAR);

    bar->Dock(win::DockSide::Left);
    RECT at = RectIn(toolbar, frame->hwnd());
    EXPECT_EQ(at.left, 0);
    EXPECT_GT(at.bottom - at.top, at.right - at.left);
    RECT first{}, last{};
    SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(toolbar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&last));
    EXPECT_GE(last.top, first.bottom);  // a column of buttons
    EXPECT_LE(last.left, first.right);
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).left, at.right);
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).top, 0);

    bar->Dock(win::DockSide::Right);
    at = RectIn(toolbar, frame->hwnd());
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).right, at.left);

    bar->Dock(win::DockSide::Bottom);
    at = RectIn(toolbar, frame->hwnd());
    EXPECT_EQ(at.bottom, RectIn(status, frame->hwnd()).top);
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).bottom, at.top);

    bar->Float({200, 200});
    HWND floating = GetParent(toolbar);
    ASSERT_NE(floating, frame->hwnd());
    EXPECT_TRUE(GetWindowLongPtrW(floating, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(IsWindowVisible(floating));
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).top, 0);
    EXPECT_TRUE(MenuState(2, ID_VIEW_TOOLBAR) & MF_CHECKED);

    // Floating, the buttons reflow to the width the user gives the window.
    RECT wide{};
    GetWindowRect(floating, &wide);
    RECT narrow = wide;
    narrow.right = narrow.left + (wide.right - wide.left) / 3;
    SendMessageW(floating, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&narrow));
    EXPECT_LT(narrow.right - narrow.left, wide.right - wide.left);
    EXPECT_GT(narrow.bottom - narrow.top, wide.bottom - wide.top);

    // Its close box hides the bar; the menu command brings it back floating.
    SendMessageW(floating, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(floating));
    EXPECT_FALSE(MenuState(2, ID_VIEW_TOOLBAR) & MF_CHECKED);
    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(IsWindowVisible(floating));

    // A double click on its caption docks it where it was docked last.
    SendMessageW(floating, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(GetParent(toolbar), frame->hwnd());
    EXPECT_EQ(bar->side(), win::DockSide::Bottom);
    bar->Dock(win::DockSide::Top);
    EXPECT_EQ(RectIn(toolbar, frame->hwnd()).top, 0);
    EXPECT_EQ(RectIn(splitter, frame->hwnd()).top, RectIn(toolbar, frame->hwnd()).bottom);
}

TEST_F(MainFrameTest, DraggingTheGripperDocksTheToolbarWhereItIsDropped) {
    Open();
    HWND toolbar = Child(frame->hwnd(), IDW_TOOLBAR);
    auto* bar = dynamic_cast<win::DockToolBar*>(win::Window::FromHandle(toolbar));
    ASSERT_NE(bar, nullptr);
    RECT window{};
    GetWindowRect(toolbar, &window);
    const POINT grip{window.left + 3, window.top + 5};
    ASSERT_EQ(SendMessageW(toolbar, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
    auto drag = [&](POINT from, POINT to) {
        SendMessageW(toolbar, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(from.x, from.y));
        SetCursorPos(to.x, to.y);
        POINT client = to;
        ScreenToClient(toolbar, &client);
        SendMessageW(toolbar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        SendMessageW(toolbar, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    };
    RECT client{};
    GetClientRect(Child(frame->hwnd(), IDW_PANE_FIRST), &client);
    MapWindowPoints(Child(frame->hwnd(), IDW_PANE_FIRST), nullptr, reinterpret_cast<POINT*>(&client), 2);
    // Onto the left edge of the client area: docked there.
    drag(grip, {client.left + 2, (client.top + client.bottom) / 2});
    EXPECT_EQ(bar->side(), win::DockSide::Left);
    EXPECT_EQ(GetCapture(), nullptr);
    // Into the middle of the window: floating.
    GetWindowRect(toolbar, &window);
    drag({window.left + 5, window.top + 3}, {(client.left + client.right) / 2, (client.top + client.bottom) / 2});
    EXPECT_EQ(bar->side(), win::DockSide::Floating);
    EXPECT_NE(GetParent(toolbar), frame->hwnd());
}

TEST_F(MainFrameTest, TheKeyIndicatorsShowWhileTheirLockIsOn) {
    Open();
    HWND status = Child(frame->hwnd(), IDW_STATUS_BAR);
    auto pane = [&](int i) {
        wchar_t text[32] = {};
        SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE saved[3] = {keys[VK_CAPITAL], keys[VK_NUMLOCK], keys[VK_SCROLL]};
    // Each lock's toggle bit set or cleared, then the idle update.
    const auto locks = [&](bool caps, bool num, bool scroll) {
        const int vk[3] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
        const bool on[3] = {caps, num, scroll};
        for (int i = 0; i < 3; ++i)
            keys[vk[i]] = static_cast<BYTE>(on[i] ? keys[vk[i]] | 1 : keys[vk[i]] & ~1);
        SetKeyboardState(keys);
        app.OnIdle();
    };
    locks(true, false, true);
    EXPECT_EQ(pane(1), L"CAP");
    EXPECT_EQ(pane(2), L"");
    EXPECT_EQ(pane(3), L"SCRL");
    locks(false, true, true);
    EXPECT_EQ(pane(1), L"");
    EXPECT_EQ(pane(2), L"NUM");
    keys[VK_CAPITAL] = saved[0];
    keys[VK_NUMLOCK] = saved[1];
    keys[VK_SCROLL] = saved[2];
    SetKeyboardState(keys);
}

TEST_F(MainFrameTest, F6AndShiftF6MoveBetweenThePanes) {
    Open();
    SetForegroundWindow(frame->hwnd());
    SetFocus(frame->hwnd());
    auto press = [&](bool shift) {
        // Through the program's own loop: the accelerator table turns the key into the command.
        if (shift) PostMessageW(frame->hwnd(), WM_KEYDOWN, VK_SHIFT, 0);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus() ? GetFocus() : frame->hwnd(), WM_KEYDOWN, VK_F6, 0);
        Pump();
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    };
    press(false);
    EXPECT_EQ(GetFocus(), Tree());
    press(false);
    EXPECT_TRUE(GetFocus() == Form() || IsChild(Form(), GetFocus()));
    press(true);
    EXPECT_EQ(GetFocus(), Tree());
    EXPECT_EQ(frame->activeView(), frame->stageTree());
}

TEST_F(MainFrameTest, TheExitCommandClosesTheMainWindow) {
    Open();
    HWND hwnd = frame->hwnd();
    Command(ID_APP_EXIT);
    EXPECT_FALSE(IsWindow(hwnd));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the loop would end now
}

TEST_F(MainFrameTest, OptionsAndAboutChosenFromTheMenuOpenOwnedByTheMainWindow) {
    Open();
    const struct {
        UINT command;
        int control;  // one of the dialog's own controls
    } cases[] = {{ID_SHOW_OPTIONS, IDC_OPTIONS_PRIORITY}, {ID_APP_ABOUT, IDC_ABOUT_PRODUCT_NAME}};
    for (const auto& c : cases) {
        HWND owner = nullptr;
        // As the menu sends it: WM_COMMAND with notification code 0 and no control.
        const bool shown = test::DriveModal([&] { Command(c.command); }, test::DialogWith(c.control),
                                            [&](HWND dialog) { owner = GetWindow(dialog, GW_OWNER); });
        EXPECT_TRUE(shown) << c.command;
        EXPECT_EQ(owner, frame->hwnd()) << c.command;
    }
    EXPECT_EQ(boxes.Take().size(), 0u);
}

// Dialog template 103, read back from the program's resources.
TEST(PropertyFormTemplate, HasTheFontTheSizeAndTheTwentyControlsInOrder) {
    const test::DialogTemplate t = test::LoadDialogTemplate(IDD_PROPERTY_FORM);
    EXPECT_TRUE(t.style & WS_CHILD);
    EXPECT_FALSE(t.style & WS_CAPTION);
    EXPECT_EQ(t.controls.size(), 20u);
    EXPECT_EQ(t.cx, 320);
    EXPECT_EQ(t.cy, 224);
    EXPECT_EQ(t.menu, "");
    EXPECT_EQ(t.windowClass, "");
    EXPECT_EQ(t.caption, "");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, test::Sj("ＭＳ Ｐゴシック"));
}

TEST_F(MainFrameTest, TheFormsControlsComeInTemplateOrderWithTheirStyles) {
    Open();
    struct Want {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
    };
    const Want want[] = {
        {-1, L"Static", L"ファイル名："},
        {-1, L"Static", L"時間帯："},
        {-1, L"Static", L"管制便数："},
        {-1, L"Static", L"風向・風速："},
        {-1, L"Static", L"予想難易度："},
        {1000, L"Edit", L""},
        {1001, L"Edit", L""},
        {1002, L"Edit", L""},
        {1003, L"Edit", L""},
        {1004, L"Edit", L""},
        {-1, L"Static", L"ステージ："},
        {1005, L"Edit", L""},
        {-1, L"Static", L"クリアスコア："},
        {1006, L"Edit", L""},
        {1007, L"Button", L"ゲーム開始"},
        {1008, L"Edit", L""},
        {-1, L"Static", L"実行コマンド："},
        {-1, L"Static", L"ハイスコア："},
        {1009, L"Edit", L""},
        {1020, L"Edit", L""},
    };
    std::vector<HWND> children;
    for (HWND c = GetWindow(Form(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    ASSERT_EQ(children.size(), std::size(want));
    for (std::size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(i);
        HWND c = children[i];
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(c)), want[i].id);
        EXPECT_EQ(test::ClassName(c), want[i].cls);
        EXPECT_EQ(WindowText(c), want[i].text);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(c, GWL_STYLE));
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_FALSE(style & WS_DISABLED);
        if (want[i].id == -1) {
            EXPECT_FALSE(style & WS_TABSTOP);
            EXPECT_TRUE(style & WS_GROUP);
        } else {
            EXPECT_TRUE(style & WS_TABSTOP);
        }
        if (std::wstring(want[i].cls) == L"Edit") {
            EXPECT_FALSE(style & ES_READONLY);
            EXPECT_TRUE(style & ES_AUTOHSCROLL);
            EXPECT_EQ((style & ES_MULTILINE) != 0, want[i].id == 1003);
            EXPECT_EQ((style & ES_AUTOVSCROLL) != 0, want[i].id == 1003);
            EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));
        }
        if (want[i].id == 1007) {
            EXPECT_EQ(style & 0x0F, static_cast<DWORD>(BS_PUSHBUTTON));
        }
    }
}

// Bytes in the busy blocks of every heap of this process: much finer than the
// process's memory counters, which move by whole reserved regions.
std::size_t HeapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr));
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t used = 0;
    for (HANDLE heap : heaps) {
        HeapLock(heap);
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData;
        HeapUnlock(heap);
    }
    return used;
}

TEST_F(MainFrameTest, AScreenReaderHearsEachBoxByTheLabelOnItsRow) {
    ComApartment com;  // the program's thread is in one; the answer is marshalled through it
    ASSERT_TRUE(com.Enter());
    Open();
    const struct {
        UINT id;
        const wchar_t* name;
    } want[] = {
        {IDC_FILE_NAME, L"ファイル名："},      {IDC_STAGE_NAME, L"ステージ："},
        {IDC_CLEAR_SCORE, L"クリアスコア："},  {IDC_HIGH_SCORE, L"ハイスコア："},
        {IDC_TIME_BAND, L"時間帯："},          {IDC_CONTROLLED_FLIGHTS, L"管制便数："},
        {IDC_WIND, L"風向・風速："},           {IDC_DIFFICULTY, L"予想難易度："},
        {IDC_COMMAND_LINE, L"実行コマンド："}, {IDC_MODE, L""},  // no label of its own: no name
        {IDC_START_GAME, L"ゲーム開始"},                         // its own text
    };
    auto hearAll = [&](const char* when) {
        for (const auto& w : want) {
            SCOPED_TRACE(testing::Message() << when << ", control " << w.id);
            const test::Heard heard = test::Hear(Box(w.id));
            ASSERT_TRUE(heard.answered);
            EXPECT_EQ(heard.name, w.name);
            if (w.id != IDC_START_GAME) {
                EXPECT_EQ(heard.value, WindowText(Box(w.id)));
            }
        }
    };
    hearAll("empty form");
    Select(Scenario("Alpha", "s01.sd3"));
    hearAll("s01 loaded");
    EXPECT_EQ(test::Hear(Box(IDC_MODE)).value, L"Normal Mode");

    // Many selections, then as many with every box asked for after each:
    // nothing stays behind but what the system's own way of handing an object
    // over leaves (Wine's keeps about a kilobyte per answer in the asking
    // apartment), measured alike in the same run.
    const HTREEITEM scenarios[] = {Scenario("Alpha", "s01.sd3"), Scenario("Alpha", "s02.sd3")};
    auto soak = [&](void (*ask)(HWND)) {
        const auto before = static_cast<long>(HeapBytesInUse());
        for (int i = 0; i < 50; ++i) {
            Select(scenarios[i % 2]);
            for (UINT id : kBoxes)
                if (ask) ask(Box(id));
        }
        return static_cast<long>(HeapBytesInUse()) - before;
    };
    soak([](HWND box) { test::Hear(box); });  // everything made once is made by now
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    const long selecting = soak(nullptr);
    const long heard = soak([](HWND box) { test::Hear(box); });
    const long systems = soak([](HWND box) {
        IAccessible* object = nullptr;
        if (FAILED(CreateStdAccessibleObject(box, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
            return;
        const LRESULT handedOver = LresultFromObject(IID_IAccessible, 0, object);
        object->Release();
        if (SUCCEEDED(ObjectFromLresult(handedOver, IID_IAccessible, 0, reinterpret_cast<void**>(&object))))
            object->Release();
    });
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 2);
    // A named object left behind per answer would add some 25 KB here.
    EXPECT_LT(selecting, 4096);
    EXPECT_LT(heard, systems + 4096) << "the system's own: " << systems;
}

TEST_F(MainFrameTest, TheStartButtonWithoutACommandDoesNothing) {
    Open();
    SendMessageW(Box(IDC_START_GAME), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsIconic(frame->hwnd()));  // a launch would minimise the window
    // Typing into the command box does not give the form a command.
    SetWindowTextW(Box(IDC_COMMAND_LINE), L"velq.exe");
    SendMessageW(Box(IDC_START_GAME), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(frame->propertyForm()->commandLine, "");
    EXPECT_FALSE(IsIconic(frame->hwnd()));
}

TEST_F(MainFrameTest, ASelectionMessageFromAnyoneButTheTreeIsIgnored) {
    Open();
    // Another program's number, and the address of a real path that the tree
    // did not send: neither may be read as the tree's path.
    const ScenarioPath unsent = MakeScenarioPath("Alpha", "s01.sd3");
    for (const WPARAM foreign : {WPARAM{0x14}, reinterpret_cast<WPARAM>(&unsent)}) {
        EXPECT_EQ(SendMessageW(frame->hwnd(), WM_SELECT_SCENARIO, foreign, 0), 0);
        PostMessageW(frame->hwnd(), WM_SELECT_SCENARIO, foreign, 0);
        Pump();
        EXPECT_EQ(AllBoxes(), std::vector<std::string>(10));
    }
    Select(Scenario("Alpha", "s01.sd3"));  // the tree's own send still loads
    EXPECT_EQ(BoxText(IDC_FILE_NAME), "port\\Alpha\\scenario\\s01.sd3");
}

// Refuses to insert the port item labelled "Alpha".
WNDPROC treeProc = nullptr;
LRESULT CALLBACK RefuseAlpha(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TVM_INSERTITEMW) {
        const auto* insert = reinterpret_cast<const TVINSERTSTRUCTW*>(lParam);
        if (insert->item.pszText && std::wstring_view(insert->item.pszText) == L"Alpha") return 0;
    }
    return CallWindowProcW(treeProc, hwnd, message, wParam, lParam);
}

TEST_F(MainFrameTest, APortThatCannotBeInsertedIsLeftOutWithItsFiles) {
    Open();
    treeProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(Tree(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefuseAlpha)));
    Command(ID_REFRESH_CATALOGUE);
    SetWindowLongPtrW(Tree(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProc));
    std::vector<std::string> top;
    for (HTREEITEM port : Items(nullptr))
        top.push_back(Label(port));
    EXPECT_EQ(top, std::vector<std::string>{Sj("羽田")});
    EXPECT_EQ(SendMessageW(Tree(), TVM_GETCOUNT, 0, 0), 1 + static_cast<LRESULT>(Items(Find(Sj("羽田"))).size()));
}

}  // namespace
}  // namespace kolt
