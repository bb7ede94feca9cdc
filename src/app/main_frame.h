// CMainFrame: the program's one top-level window. Menu, toolbar and status bar
// come from the frame layer; the client area is a 1 x 2 splitter with the
// stage tree on the left and the property form on the right. Of its own it
// passes a selected scenario from the tree to the form (WM_SELECT_SCENARIO)
// and carries out the refresh command.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/owners_win.h"
#include "win/frame_window.h"
#include "win/splitter.h"

namespace kolt {

class CStageTree;
class CPropertyForm;

class CMainFrame : public win::FrameWindow {
public:
    // `gamePriority` is the application's setting; the form reads it at each
    // launch, so a change made in the options dialog applies to the next one.
    explicit CMainFrame(const std::int32_t& gamePriority) : gamePriority_(gamePriority) {}

    static const win::MessageMap& Messages();
    const win::MessageMap& GetMessageMap() const override { return Messages(); }

    CStageTree* stageTree() const;
    CPropertyForm* propertyForm() const;

protected:
    bool OnCreateClient() override;
    bool OnCreateBars() override;
    void OnDpiChange(win::Dpi old) override;

private:
    win::Result OnSelectScenario(WPARAM, LPARAM);
    void OnRefreshCatalogue();
    // The window's large and small icons, drawn for the frame's DPI.
    void SetIcons();

    win::StatusBar statusBar_;
    win::DockToolBar toolBar_;
    win::StaticSplitter splitter_;
    IconHandle largeIcon_;
    IconHandle smallIcon_;
    const std::int32_t& gamePriority_;
};

}  // namespace kolt
