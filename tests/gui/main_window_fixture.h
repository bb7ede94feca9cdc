// The main window driven in process: created from the program's own resources
// on the small game folder, with the application object as the last stop of
// the command route and message boxes answered and recorded.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "app/main_frame.h"
#include "app/selector_app.h"
#include "resource.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"
#include "win/application.h"

namespace kolt::test {

// `child`'s window rectangle in `parent`'s client coordinates.
inline RECT RectIn(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }

    void SetUp() override {
        WriteGame(dir, "game", 0);
        cwd.emplace(dir.Native("game"));
    }

    void TearDown() override {
        app.SetMainWnd(nullptr);
        Pump();
        EXPECT_EQ(win::Window::TakeLastException(), "");
    }

    // Creates and shows the main window; `size` (pixels) replaces the default one.
    void Open(std::optional<SIZE> size = std::nullopt) {
        auto* created = new CMainFrame(app.gamePriority);
        app.SetMainWnd(std::unique_ptr<win::Window>(created));
        ASSERT_TRUE(created->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | win::FrameWindow::kAddToTitle));
        frame = created;
        if (size) SetWindowPos(frame->hwnd(), nullptr, 0, 0, size->cx, size->cy, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOW);
        UpdateWindow(frame->hwnd());
        Pump();
    }

    CSelectorApp app;  // the last stop of the command route
    TempDir dir;
    std::optional<ScopedWorkingDir> cwd;
    MessageBoxWatcher boxes;
    CMainFrame* frame = nullptr;  // owned by app
};

}  // namespace kolt::test
