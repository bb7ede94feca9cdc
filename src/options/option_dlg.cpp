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
    const HWND list = Item(IDC_OPTIONS_PRIORITY);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const PriorityEntry& entry : kPriorities) {
        const LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(entry.value));
    }

    // The first entry with the stored value; a value the list does not offer
    // selects nothing and stays as it is unless the user picks an entry.
    WPARAM selection = static_cast<WPARAM>(-1);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<std::int32_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == priority) {
            selection = static_cast<WPARAM>(i);
            break;
        }
    }
    SendMessageW(list, CB_SETCURSEL, selection, 0);

    win::SetWindowTextCp932(Item(IDC_OPTIONS_GAME_FOLDER), folder);
    return true;
}

void COptionDlg::OnSelchangePriority() {
    const HWND list = Item(IDC_OPTIONS_PRIORITY);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    priority = static_cast<std::int32_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void COptionDlg::OnBrowseFolder() {
    CFolderBrowser browser(folder);
    if (!browser.Browse(BIF_RETURNONLYFSDIRS, Narrow(L"ゲームインストール先フォルダ"), hwnd())) return;
    folder = browser.path;
    win::SetWindowTextCp932(Item(IDC_OPTIONS_GAME_FOLDER), folder);
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
