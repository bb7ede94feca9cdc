#include "app/about_dlg.h"

#include <exception>

#include "about_ids.h"
#include "app/version_info.h"
#include "win/text.h"

namespace kolt {

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

CAboutDlg::CAboutDlg(std::string moduleFile) : Dialog(IDD_ABOUTBOX), moduleFile_(std::move(moduleFile)) {}

bool CAboutDlg::OnInitDialog() {
    const auto set = [this](UINT id, const std::string& text) { win::SetWindowTextCp932(Item(id), text); };
    // The boxes fill in order; a failure stops there, and the boxes already
    // written keep their texts.
    try {
        const CVersionInfo info = moduleFile_ ? CVersionInfo(*moduleFile_) : CVersionInfo();
        set(IDC_ABOUT_DESCRIPTION, info.GetVersionValue("FileDescription"));
        set(IDC_ABOUT_PRODUCT_NAME, info.GetVersionValue("ProductName"));
        set(IDC_ABOUT_PRODUCT_VERSION, "Version: " + info.GetVersionValue("ProductVersion"));
        const bool debug = (info.GetFixedInfo().dwFileFlags & VS_FF_DEBUG) != 0;
        set(IDC_ABOUT_BUILD_KIND, debug ? "Debug Build" : "Release Build");
        set(IDC_ABOUT_FILE_VERSION, "FileVersion: " + info.GetVersionValue("FileVersion"));
        set(IDC_ABOUT_COPYRIGHT, info.GetVersionValue("LegalCopyright"));
    } catch (const std::exception&) {
        // The reader's own text is for developers; the user sees one line.
        SetWindowTextW(Item(IDC_ABOUT_DESCRIPTION), L"バージョン情報取得失敗");
    }
    return true;
}

void ShowAboutBox(HWND owner) {
    CAboutDlg dialog;
    dialog.DoModal(owner);
}

}  // namespace kolt
