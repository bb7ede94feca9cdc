#include "app/about_dlg.h"

#include <exception>

#include "about_ids.h"
#include "app/version_info.h"
#include "resource.h"
#include "win/controls.h"
#include "win/dpi.h"
#include "win/screen_text.h"

namespace kolt {

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

CAboutDlg::CAboutDlg(std::string moduleFile) : Dialog(IDD_ABOUTBOX), moduleFile_(std::move(moduleFile)) {}

bool CAboutDlg::OnInitDialog() {
    // The dialog manager loads icon 128 at the system's icon size, stretching
    // its 32-pixel picture above 100 %; the picture drawn for the size replaces it.
    const int size = win::Dpi(win::DpiOfWindow(hwnd())).Metric(SM_CXICON);
    HWND picture = GetWindow(hwnd(), GW_CHILD);  // the template's first control
    if (size != 32 && picture && (GetWindowLongPtrW(picture, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        icon_.reset(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAINFRAME_SIZES), IMAGE_ICON, size, size, 0)));
        if (icon_) SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    }
    const auto set = [this](UINT id, const std::string& text) {
        win::Edit box;
        if (box.Bind(hwnd(), id)) box.SetText(text);
    };
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
        if (win::Edit box; box.Bind(hwnd(), IDC_ABOUT_DESCRIPTION))
            SetWindowTextW(box.hwnd(), L"バージョン情報取得失敗");
    }
    return true;
}

void ShowAboutBox(HWND owner) {
    CAboutDlg dialog;
    dialog.DoModal(owner);
}

}  // namespace kolt
