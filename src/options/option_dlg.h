// COptionDlg edits copies of the two settings: the game folder (shown
// read-only, changed only through the folder picker) and the priority class
// of the game process. The caller takes the copies back only after IDOK.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "win/controls.h"
#include "win/dialog.h"

namespace kolt {

class COptionDlg : public win::Dialog {
public:
    COptionDlg();

    std::int32_t priority = NORMAL_PRIORITY_CLASS;
    std::string folder;  // CP932

    static const win::MessageMap& Messages();
    const win::MessageMap& GetMessageMap() const override { return Messages(); }

protected:
    bool OnInitDialog() override;

private:
    void OnSelchangePriority();
    void OnBrowseFolder();

    win::ComboBox priorityList_;
    win::Edit folderBox_;
};

// The options command: runs the dialog over `owner` with copies of the two
// values and writes them back only when it ends with OK. Returns whether it did.
bool RunOptionsDialog(std::int32_t& gamePriority, std::string& gameFolder, HWND owner);

}  // namespace kolt
