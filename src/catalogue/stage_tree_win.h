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
