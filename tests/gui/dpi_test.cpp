// The main window and the dialogs at the display scale of the Wine prefix this
// program runs in (CTest runs it once per prefix: 96, 120, 144 and 192 dpi,
// given in KOLT_EXPECT_DPI), then the main window moved to another scale with
// WM_DPICHANGED. Every pixel size the window measures is its 96-dpi size
// scaled; the template dialogs keep their dialog units.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "about_ids.h"
#include "main_window_fixture.h"
#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/selector_app.h"
#include "base/owners_win.h"
#include "base/text_win.h"
#include "options_ids.h"
#include "resource.h"
#include "support/dialog_template.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"
#include "win/application.h"
#include "win/dialog.h"
#include "win/dpi.h"

namespace kolt {
namespace {

// What each display scale shows: the toolbar strip drawn for it (never one
// larger than the scale asks for) and the window icons' sizes.
struct Scale {
    UINT dpi;
    SIZE image;
    int largeIcon;
    int smallIcon;
};
constexpr Scale kScales[] = {
    {96, {16, 15}, 32, 16},
    {120, {20, 19}, 40, 20},
    {144, {24, 23}, 48, 24},
    {192, {32, 30}, 64, 32},
};

const Scale& ScaleFor(UINT dpi) {
    for (const Scale& s : kScales)
        if (s.dpi == dpi) return s;
    ADD_FAILURE() << "no expectations for " << dpi << " dpi";
    return kScales[0];
}

UINT ExpectedDpi() {
    const char* value = std::getenv("KOLT_EXPECT_DPI");
    return value ? static_cast<UINT>(std::atoi(value)) : win::kBaseDpi;
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    BITMAP bits{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
    const SIZE size{bits.bmWidth, info.hbmColor ? bits.bmHeight : bits.bmHeight / 2};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

// Whether the icon has smoothed edges (alpha between clear and opaque): the
// pictures drawn per size have, the 16-colour ones of icon 128 (and any
// stretched copy of them) have not.
bool Smoothed(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return false;
    bool smooth = false;
    BITMAP bits{};
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bits, &bits)) {
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), bits.bmWidth, -bits.bmHeight, 1, 32, BI_RGB};
        std::vector<DWORD> pixels(static_cast<std::size_t>(bits.bmWidth) * bits.bmHeight);
        const WindowDc dc(nullptr);
        if (GetDIBits(dc.get(), info.hbmColor, 0, bits.bmHeight, pixels.data(), &format, DIB_RGB_COLORS)) {
            for (DWORD px : pixels) {
                const DWORD alpha = px >> 24;
                smooth = smooth || (alpha > 0 && alpha < 255);
            }
        }
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return smooth;
}

// Each control of `dialog` sits on the MapDialogRect of its template
// rectangle (to a pixel), in template order, and shows its whole text.
void ExpectTemplateLayout(HWND dialog, UINT templateId, POINT origin = {}) {
    const std::vector<test::DialogControl> items = test::LoadDialogTemplate(templateId).controls;
    HWND control = GetWindow(dialog, GW_CHILD);
    for (std::size_t i = 0; i < items.size(); ++i, control = GetWindow(control, GW_HWNDNEXT)) {
        ASSERT_NE(control, nullptr) << "template " << templateId << " item " << i;
        RECT want = items[i].Units();
        MapDialogRect(dialog, &want);
        OffsetRect(&want, origin.x, origin.y);
        const RECT got = test::RectIn(control, dialog);
        const std::string where = "template " + std::to_string(templateId) + " item " + std::to_string(i);
        EXPECT_NEAR(got.left, want.left, 1) << where;
        EXPECT_NEAR(got.top, want.top, 1) << where;
        // An icon control takes the size of its icon, a combo box the height of its edit part.
        if (!items[i].IsIcon()) {
            EXPECT_NEAR(got.right, want.right, 1) << where;
        }
        if (!items[i].IsIcon() && !items[i].IsComboBox()) {
            EXPECT_NEAR(got.bottom, want.bottom, 1) << where;
        }

        wchar_t className[32] = {};
        GetClassNameW(control, className, 32);
        if (items[i].text.empty() || items[i].IsIcon() || lstrcmpiW(className, L"Edit") == 0) continue;
        std::wstring shown;
        for (wchar_t c : Wide(items[i].text))
            if (c != L'&') shown += c;
        SIZE text{};
        {
            const WindowDc dc(control);
            const SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
            GetTextExtentPoint32W(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &text);
        }
        RECT client{};
        GetClientRect(control, &client);
        EXPECT_LE(text.cx, client.right) << where << ": text clipped";
        EXPECT_LE(text.cy, client.bottom) << where << ": text clipped";
    }
}

class DpiTest : public test::MainWindowTest {
protected:
    // The frame, sized to fit the test screen at every scale.
    void OpenScaled() {
        const win::Dpi dpi(win::SystemDpi());
        Open(SIZE{dpi.Scale(600), dpi.Scale(480)});
    }

    HWND Child(UINT id) const { return GetDlgItem(frame->hwnd(), static_cast<int>(id)); }
    HWND Pane(UINT column) const {
        return GetDlgItem(Child(IDW_PANE_FIRST), static_cast<int>(IDW_PANE_FIRST + column));
    }

    // Everything the frame measures in pixels, for `dpi`.
    void ExpectFrameAt(UINT dpiValue) {
        const win::Dpi dpi(dpiValue);
        const Scale& scale = ScaleFor(dpiValue);
        EXPECT_EQ(frame->dpi(), dpi);

        const RECT tree = test::RectIn(Pane(0), Child(IDW_PANE_FIRST));
        const RECT form = test::RectIn(Pane(1), Child(IDW_PANE_FIRST));
        EXPECT_EQ(form.left - tree.right, dpi.Scale(6)) << "splitter bar";

        HWND toolbar = Child(IDW_TOOLBAR);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0)), &cx, &cy);
        EXPECT_EQ(cx, scale.image.cx) << "toolbar image";
        EXPECT_EQ(cy, scale.image.cy) << "toolbar image";
        const LRESULT button = SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0);
        EXPECT_EQ(LOWORD(button), scale.image.cx + dpi.Scale(7)) << "toolbar button";
        EXPECT_EQ(HIWORD(button), scale.image.cy + dpi.Scale(6)) << "toolbar button";
        const RECT bar = test::RectIn(toolbar, frame->hwnd());
        RECT barClient{};
        GetClientRect(toolbar, &barClient);
        MapWindowPoints(toolbar, frame->hwnd(), reinterpret_cast<POINT*>(&barClient), 2);
        EXPECT_EQ(barClient.left - bar.left, dpi.Scale(8 + 2)) << "gripper";

        // The status bar fits its font, and the indicators keep their padding.
        HWND status = Child(IDW_STATUS_BAR);
        TEXTMETRICW metrics{};
        SIZE cap{};
        {
            const WindowDc dc(status);
            const SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0)));
            GetTextMetricsW(dc.get(), &metrics);
            GetTextExtentPoint32W(dc.get(), L"CAP", 3, &cap);
        }
        RECT statusRect{};
        GetWindowRect(status, &statusRect);
        EXPECT_GE(statusRect.bottom - statusRect.top, metrics.tmHeight + 2) << "status bar";
        int edges[4] = {};
        ASSERT_EQ(SendMessageW(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 4);
        EXPECT_EQ(edges[1] - edges[0], cap.cx + dpi.Scale(12)) << "CAP pane";

        const auto big = reinterpret_cast<HICON>(SendMessageW(frame->hwnd(), WM_GETICON, ICON_BIG, 0));
        const auto small = reinterpret_cast<HICON>(SendMessageW(frame->hwnd(), WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(IconSize(big).cx, scale.largeIcon);
        EXPECT_EQ(IconSize(small).cx, scale.smallIcon);
        // Icon 128 at 100 %, the pictures drawn for the size above it.
        EXPECT_EQ(Smoothed(big), dpiValue != 96);
        EXPECT_EQ(Smoothed(small), dpiValue != 96);
    }
};

TEST_F(DpiTest, MainWindowAndDialogsFollowTheDisplayScale) {
    const UINT dpi = ExpectedDpi();
    ASSERT_EQ(win::SystemDpi(), dpi) << "the prefix is not set to the scale under test";
    OpenScaled();
    ExpectFrameAt(dpi);
    const RECT tree = test::RectIn(Pane(0), Child(IDW_PANE_FIRST));
    EXPECT_EQ(tree.right - tree.left, win::Dpi(dpi).Scale(200)) << "tree pane";
    ExpectTemplateLayout(Pane(1), IDD_PROPERTY_FORM);

    CAboutDlg about;
    win::Dialog options(IDD_OPTIONS);
    for (auto [dialog, id] : {std::pair<win::Dialog*, UINT>{&about, IDD_ABOUTBOX}, {&options, IDD_OPTIONS}}) {
        EXPECT_TRUE(test::DriveModal([&] { dialog->DoModal(frame->hwnd()); }, test::DialogWith(IDOK),
                                     [&](HWND window) {
                                         ExpectTemplateLayout(window, id);
                                         if (id != IDD_ABOUTBOX) return;
                                         HWND picture = GetWindow(window, GW_CHILD);
                                         const auto icon =
                                             reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0));
                                         EXPECT_EQ(IconSize(icon).cx, ScaleFor(dpi).largeIcon) << "About icon";
                                         EXPECT_EQ(Smoothed(icon), dpi != 96) << "About icon";
                                     }))
            << "dialog " << id;
    }
}

// The frame moved to a display of another scale: it lays itself out for the
// DPI in wParam, in the rectangle the system suggests, and the tree keeps its
// share of the width.
TEST_F(DpiTest, MovedToAnotherScaleLaysItselfOutAgain) {
    const UINT from = ExpectedDpi();
    const UINT to = from == 192 ? 96 : 192;
    OpenScaled();
    // The user had moved the splitter.
    auto* splitter = dynamic_cast<win::StaticSplitter*>(win::Window::FromHandle(Child(IDW_PANE_FIRST)));
    ASSERT_NE(splitter, nullptr);
    splitter->SetColumnWidth(win::Dpi(from).Scale(150));
    const double share = splitter->ColumnShare();
    std::vector<RECT> controls;
    for (HWND c = GetWindow(Pane(1), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        controls.push_back(test::RectIn(c, Pane(1)));

    RECT suggested{};
    GetWindowRect(frame->hwnd(), &suggested);
    suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, to, from);
    suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, to, from);
    SendMessageW(frame->hwnd(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    test::Pump();

    RECT now{};
    GetWindowRect(frame->hwnd(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    ExpectFrameAt(to);
    EXPECT_NEAR(splitter->ColumnShare(), share, 1.0 / 200) << "tree pane's share";
    std::size_t i = 0;
    for (HWND c = GetWindow(Pane(1), GW_CHILD); c && i < controls.size(); c = GetWindow(c, GW_HWNDNEXT), ++i) {
        const RECT got = test::RectIn(c, Pane(1));
        EXPECT_NEAR(got.left, MulDiv(controls[i].left, to, from), 1) << "form item " << i;
        EXPECT_NEAR(got.top, MulDiv(controls[i].top, to, from), 1) << "form item " << i;
        EXPECT_NEAR(got.right, MulDiv(controls[i].right, to, from), 1) << "form item " << i;
        EXPECT_NEAR(got.bottom, MulDiv(controls[i].bottom, to, from), 1) << "form item " << i;
    }
    EXPECT_EQ(i, controls.size());
}

}  // namespace
}  // namespace kolt
