// CStageTree: the left pane, a two-level tree of the catalogue: ports at the
// top, each port's scenario files beneath it. Selecting a scenario item sends
// its path to the main window, which has the property form load it before
// the send returns.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "win/view.h"

namespace kolt {

// The program's one message of its own: sent (never posted) by the stage tree
// to the main window with the address of its ScenarioPath in wParam, valid
// during the call only; lParam 0, result 0.
inline constexpr UINT WM_SELECT_SCENARIO = WM_USER + 101;

class CStageTree : public win::TreeView {
public:
    static const win::MessageMap& Messages();
    const win::MessageMap& GetMessageMap() const override { return Messages(); }

    // Adds the buttons and lines (styles 7) and fills the tree.
    void OnInitialUpdate() override;
    // Rebuilds the tree from a new scan; reports a missing port folder.
    void FillStageTree();

private:
    win::Result OnTreeSelectionChanged(NMHDR& hdr);
    std::string ItemText(HTREEITEM item) const;
};

}  // namespace kolt
