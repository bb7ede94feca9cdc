#include "app/main_frame.h"

#include <memory>

#include "catalogue/stage_tree_win.h"
#include "resource.h"
#include "scenario/property_form_win.h"
#include "win/registered_pointer.h"

namespace kolt {

const win::MessageMap& CMainFrame::Messages() {
    static constexpr win::MessageEntry kEntries[] = {
        win::OnMessage<&CMainFrame::OnSelectScenario>(WM_SELECT_SCENARIO),
        win::OnCommand<&CMainFrame::OnRefreshCatalogue>(ID_REFRESH_CATALOGUE),
    };
    static constexpr win::MessageMap kMap{&win::FrameWindow::Messages, kEntries};
    return kMap;
}

void CMainFrame::SetIcons() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    const win::Dpi dpi = this->dpi();
    const SIZE large{dpi.Metric(SM_CXICON), dpi.Metric(SM_CYICON)};
    const SIZE small{dpi.Metric(SM_CXSMICON), dpi.Metric(SM_CYSMICON)};
    auto load = [module](UINT id, SIZE size) {
        return IconHandle(
            static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size.cx, size.cy, 0)));
    };
    // 100 %: the two 16-colour pictures of icon 128; otherwise the sizes
    // drawn for higher scales, from which the system takes the one asked for.
    // Not LoadIcon: it gives the size of the system DPI, not the window's.
    const bool base = large.cx == 32 && large.cy == 32 && small.cx == 16 && small.cy == 16;
    const UINT id = base ? IDR_MAINFRAME : IDI_MAINFRAME_SIZES;
    IconHandle ownLarge = load(id, large);
    IconHandle ownSmall = load(id, small);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ownLarge.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ownSmall.get()));
    // The icons replaced go only now that the window no longer shows them.
    largeIcon_ = std::move(ownLarge);
    smallIcon_ = std::move(ownSmall);
}

bool CMainFrame::OnCreateClient() {
    SetIcons();

    if (!splitter_.CreateStatic(*this, IDW_PANE_FIRST)) return false;
    SetSplitter(splitter_);
    RECT client{};
    GetClientRect(hwnd(), &client);
    const LONG height = client.bottom - client.top;
    // The form reads config.ini as it is constructed: its message, if any, comes here.
    const win::Dpi dpi = this->dpi();
    return splitter_.CreateView(0, 0, std::make_unique<CStageTree>(), SIZE{dpi.Scale(200), height}) &&
           splitter_.CreateView(0, 1, std::make_unique<CPropertyForm>(gamePriority_), SIZE{dpi.Scale(400), height});
}

void CMainFrame::OnDpiChange(win::Dpi) {
    SetIcons();
}

bool CMainFrame::OnCreateBars() {
    if (!toolBar_.Create(*this, IDW_TOOLBAR) ||
        !toolBar_.LoadToolBar(IDR_MAINFRAME,
                              {{20, IDB_TOOLBAR_20}, {24, IDB_TOOLBAR_24}, {32, IDB_TOOLBAR_32}, {48, IDB_TOOLBAR_48}}))
        return false;
    if (!statusBar_.Create(*this, IDW_STATUS_BAR) ||
        !statusBar_.SetIndicators({0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL}))
        return false;
    SetStatusBar(statusBar_);
    DockControlBar(toolBar_, win::DockSide::Top);
    return true;
}

CStageTree* CMainFrame::stageTree() const {
    return dynamic_cast<CStageTree*>(splitter_.GetPane(0, 0));
}

CPropertyForm* CMainFrame::propertyForm() const {
    return dynamic_cast<CPropertyForm*>(splitter_.GetPane(0, 1));
}

win::Result CMainFrame::OnSelectScenario(WPARAM wParam, LPARAM) {
    // Only the stage tree's own send carries a path; any other number is
    // ignored, whoever sent or posted it.
    const auto* sent = win::RegisteredPointer::Find<ScenarioPath>(WM_SELECT_SCENARIO, wParam);
    if (!sent) return 0;
    const ScenarioPath path = *sent;
    if (CPropertyForm* form = propertyForm()) form->LoadScenario(path);
    return 0;
}

void CMainFrame::OnRefreshCatalogue() {
    // The level first, then the tree; the form's boxes stay as they are.
    if (CPropertyForm* form = propertyForm()) form->ReadLevelFile();
    if (CStageTree* tree = stageTree()) tree->FillStageTree();
}

}  // namespace kolt
