// CAboutDlg shows the version record: description, product name, product
// version and build kind, file version and copyright. A record that cannot be
// read leaves the boxes written so far and says so in the description box.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/owners_win.h"
#include "win/dialog.h"

namespace kolt {

class CAboutDlg : public win::Dialog {
public:
    // The program's own record.
    CAboutDlg();
    // The record of another module file (CP932), for showing a given record.
    explicit CAboutDlg(std::string moduleFile);

protected:
    bool OnInitDialog() override;

private:
    std::optional<std::string> moduleFile_;
    IconHandle icon_;  // the program's icon drawn for the box's DPI, above 100 %
};

// The About command: a fresh dialog and a fresh read of the record each time.
void ShowAboutBox(HWND owner);

}  // namespace kolt
