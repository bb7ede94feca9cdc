#include "catalogue/stage_tree_win.h"

#include <commctrl.h>

#include "catalogue/catalogue_scan.h"
#include "win/application.h"
#include "win/registered_pointer.h"
#include "win/screen_text.h"

namespace kolt {
namespace {
constexpr DWORD kTreeStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
const wchar_t kNoPortFolder[] = L"シナリオファイルフォルダのパスが見つかりません";

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::string& label) {
    std::wstring text = Wide(label);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = text.data();
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}
}  // namespace

const win::MessageMap& CStageTree::Messages() {
    static constexpr win::MessageEntry kEntries[] = {
        win::OnReflectedNotify<&CStageTree::OnTreeSelectionChanged>(TVN_SELCHANGEDW),
    };
    static constexpr win::MessageMap kMap{&win::TreeView::Messages, kEntries};
    return kMap;
}

void CStageTree::OnInitialUpdate() {
    win::TreeView::OnInitialUpdate();
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | kTreeStyles);
    FillStageTree();
}

void CStageTree::FillStageTree() {
    SendMessageW(hwnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    const std::optional<Catalogue> catalogue = ScanCatalogue();
    if (!catalogue) {
        win::ShowAppMessage(kNoPortFolder, MB_OK | MB_ICONERROR);
        return;
    }
    for (const PortEntry& port : *catalogue) {
        HTREEITEM portItem = InsertItem(hwnd(), TVI_ROOT, port.portName);
        // Without its item the port's files would land at the top level,
        // where a selection of one finds no port.
        if (!portItem) continue;
        for (const std::string& file : port.scenarioFiles)
            InsertItem(hwnd(), portItem, file);
    }
}

std::string CStageTree::ItemText(HTREEITEM item) const {
    // A label's length is not known in advance: grow until it fits.
    for (std::size_t size = 256;; size *= 2) {
        std::wstring buffer(size, L'\0');
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer.data();
        tv.cchTextMax = static_cast<int>(size);
        if (!SendMessageW(hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return {};
        const std::size_t length = wcsnlen(buffer.c_str(), size);
        if (length + 1 < size || size >= 65536) return Narrow(std::wstring_view(buffer.c_str(), length));
    }
}

win::Result CStageTree::OnTreeSelectionChanged(NMHDR& hdr) {
    const auto& change = reinterpret_cast<const NMTREEVIEWW&>(hdr);
    HTREEITEM item = change.itemNew.hItem;
    HTREEITEM parent = item ? reinterpret_cast<HTREEITEM>(
                                  SendMessageW(hwnd(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)))
                            : nullptr;
    if (!parent) return 0;  // a port item, or nothing: the form stays as it is
    const ScenarioPath path = MakeScenarioPath(ItemText(parent), ItemText(item));
    const win::RegisteredPointer sent(WM_SELECT_SCENARIO, &path);
    SendMessageW(TopLevel(), WM_SELECT_SCENARIO, sent.wParam(), 0);
    return 0;
}

}  // namespace kolt
