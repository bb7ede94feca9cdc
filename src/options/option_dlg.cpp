#include "options/option_dlg.h"

#include <shlobj.h>

#include <iterator>

#include "options/folder_browser.h"
#include "options_ids.h"
#include "win/screen_text.h"

namespace kolt {
namespace {

struct PriorityEntry {
    const wchar_t* text;
    std::int32_t value;
};

// In list order; each entry carries its priority class.
constexpr PriorityEntry kPriorities[] = {
    {L"標準", NORMAL_PRIORITY_CLASS},
    {L"標準以下", BELOW_NORMAL_PRIORITY_CLASS},
    {L"アイドル", IDLE_PRIORITY_CLASS},
};

}  // namespace

COptionDlg::COptionDlg() : Dialog(IDD_OPTIONS) {}

const win::MessageMap& COptionDlg::Messages() {
    static constexpr win::MessageEntry kEntries[] = {
        win::OnCommand<&COptionDlg::OnSelchangePriority>(IDC_OPTIONS_PRIORITY, CBN_SELCHANGE),
        win::OnCommand<&COptionDlg::OnBrowseFolder>(IDC_OPTIONS_BROWSE, BN_CLICKED),
    };
    static constexpr win::MessageMap kMap{&Dialog::Messages, kEntries};
    return kMap;
}

bool COptionDlg::OnInitDialog() {
    priorityList_.Bind(hwnd(), IDC_OPTIONS_PRIORITY);
    folderBox_.Bind(hwnd(), IDC_OPTIONS_GAME_FOLDER);
    priorityList_.Clear();
    for (const PriorityEntry& entry : kPriorities)
        priorityList_.Add(entry.text, entry.value);
    // A value the list does not offer selects nothing and stays as it is
    // unless the user picks an entry.
    priorityList_.SelectValue(priority);
    folderBox_.SetText(folder);
    return true;
}

void COptionDlg::OnSelchangePriority() {
    if (const std::optional<LPARAM> value = priorityList_.SelectedValue()) priority = static_cast<std::int32_t>(*value);
}

void COptionDlg::OnBrowseFolder() {
    CFolderBrowser browser(folder);
    if (!browser.Browse(BIF_RETURNONLYFSDIRS, Narrow(L"ゲームインストール先フォルダ"), hwnd())) return;
    folder = browser.path;
    folderBox_.SetText(folder);
}

bool RunOptionsDialog(std::int32_t& gamePriority, std::string& gameFolder, HWND owner) {
    COptionDlg dialog;
    dialog.priority = gamePriority;
    dialog.folder = gameFolder;
    if (dialog.DoModal(owner) != IDOK) return false;
    gamePriority = dialog.priority;
    gameFolder = dialog.folder;
    return true;
}

}  // namespace kolt
