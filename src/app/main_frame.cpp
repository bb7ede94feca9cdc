#include "app/main_frame.h"

#include <memory>

#include "app/selector_app.h"
#include "catalogue/stage_tree_win.h"
#include "resource.h"
#include "scenario/property_form_win.h"
#include "win/registered_pointer.h"

namespace kolt {

std::int32_t CurrentGamePriority() {
    const CSelectorApp* app = CSelectorApp::Get();
    return app ? app->gamePriority : NORMAL_PRIORITY_CLASS;
}

const win::MessageMap& CMainFrame::Messages() {
    static constexpr win::MessageEntry kEntries[] = {
        win::OnMessage<&CMainFrame::OnCreate>(WM_CREATE),
        win::OnMessage<&CMainFrame::OnSelectScenario>(WM_SELECT_SCENARIO),
        win::OnCommand<&CMainFrame::OnRefreshCatalogue>(ID_REFRESH_CATALOGUE),
    };
    static constexpr win::MessageMap kMap{&win::FrameWindow::Messages, kEntries};
    return kMap;
}

bool CMainFrame::OnCreateClient() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME))));
    smallIcon_.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    if (!splitter_.CreateStatic(hwnd(), IDW_PANE_FIRST)) return false;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const LONG height = client.bottom - client.top;
    // The form reads config.ini as it is constructed: its message, if any, comes here.
    return splitter_.CreateView(0, 0, std::make_unique<CStageTree>(), SIZE{200, height}) &&
           splitter_.CreateView(0, 1, std::make_unique<CPropertyForm>(), SIZE{400, height});
}

win::Result CMainFrame::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (win::FrameWindow::OnCreate(wParam, lParam) != 0) return -1;
    if (!toolBar_.Create(*this, IDW_TOOLBAR) || !toolBar_.LoadToolBar(IDR_MAINFRAME)) return -1;
    if (!statusBar_.Create(hwnd(), IDW_STATUS_BAR) ||
        !statusBar_.SetIndicators({0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL}))
        return -1;
    DockControlBar(toolBar_, win::DockSide::Top);
    return 0;
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
