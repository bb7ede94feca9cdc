// The main window and the dialogs at the display scale of the Wine prefix this
// program runs in (CTest runs it once per prefix: 96, 120, 144 and 192 dpi,
// given in KOLT_EXPECT_DPI), then the main window moved to another scale with
// WM_DPICHANGED. Every pixel size the window measures is its 96-dpi size
// scaled; the template dialogs keep their dialog units.
#include "win/dpi.h"

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
#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "app/selector_app.h"
#include "base/owners_win.h"
#include "base/text_win.h"
#include "main_window_fixture.h"
#include "options_ids.h"
#include "resource.h"
#include "support/dialog_template.h"
#include "support/game_fixture.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"
#include "win/application.h"
#include "win/dialog.h"
#include "win/splitter.h"
#include "win/tool_bar.h"

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

    void Close() {
        app.SetMainWnd(nullptr);
        frame = nullptr;
        test::Pump();
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

// Everything a change of scale could leave behind: the frame's rectangle and,
// for each window inside it (in the order of enumeration), its class, its
// rectangle in the frame and the height of its font.
struct Layout {
    RECT frame{};
    struct Item {
        std::wstring className;
        RECT rect;
        LONG fontHeight;
    };
    std::vector<Item> items;
};

BOOL CALLBACK MeasureChild(HWND child, LPARAM data) {
    auto& [frame, layout] = *reinterpret_cast<std::pair<HWND, Layout*>*>(data);
    LOGFONTW face{};
    const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
    if (font) GetObjectW(font, sizeof face, &face);
    layout->items.push_back({test::ClassName(child), test::RectIn(child, frame), face.lfHeight});
    return TRUE;
}

Layout Measure(HWND frame) {
    Layout layout;
    GetWindowRect(frame, &layout.frame);
    std::pair<HWND, Layout*> data{frame, &layout};
    EnumChildWindows(frame, &MeasureChild, reinterpret_cast<LPARAM>(&data));
    return layout;
}

void ExpectSameLayout(const Layout& got, const Layout& want, const std::string& where) {
    EXPECT_TRUE(EqualRect(&got.frame, &want.frame)) << where << ": frame";
    ASSERT_EQ(got.items.size(), want.items.size()) << where;
    for (std::size_t i = 0; i < got.items.size(); ++i) {
        const Layout::Item &g = got.items[i], &w = want.items[i];
        const std::string item = where + ": window " + std::to_string(i) + " " + Narrow(w.className);
        EXPECT_EQ(g.className, w.className) << item;
        EXPECT_TRUE(EqualRect(&g.rect, &w.rect))
            << item << " at " << g.rect.left << "," << g.rect.top << "-" << g.rect.right << "," << g.rect.bottom
            << ", not " << w.rect.left << "," << w.rect.top << "-" << w.rect.right << "," << w.rect.bottom;
        EXPECT_EQ(g.fontHeight, w.fontHeight) << item << ": font height";
    }
}

// The window's pixels as drawn (read back through its own device context).
std::vector<DWORD> Pixels(HWND window, RECT area) {
    const WindowDc source(window, true);
    const MemoryDc copy(CreateCompatibleDC(source.get()));
    const int width = area.right - area.left, height = area.bottom - area.top;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    const BitmapHandle bitmap(CreateDIBSection(copy.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<DWORD> pixels;
    if (!bitmap || !bits) return pixels;
    {
        const SelectedObject select(copy.get(), bitmap.get());
        BitBlt(copy.get(), 0, 0, width, height, source.get(), area.left, area.top, SRCCOPY);
        GdiFlush();
    }
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.assign(p, p + static_cast<std::size_t>(width) * height);
    return pixels;
}

// The whole window, painted afresh, with the mouse out of the way.
std::vector<DWORD> WindowPixels(HWND window) {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::Pump();
    RECT rect{};
    GetWindowRect(window, &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    return Pixels(window, rect);
}

// Sequences of display changes, each from the DPI the frame is created at;
// the prefix of each scale runs those that start at its own.
const std::vector<std::vector<UINT>> kTrips = {
    {96, 144, 192, 120, 96}, {96, 120, 96},        {120, 192, 96, 144, 120},
    {144, 96, 144},          {144, 192, 120, 144}, {192, 120, 96, 144, 192},
};

class DpiTripTest : public DpiTest {
protected:
    // A frame as the user left it: the tree pane narrowed, the form scrolled
    // a step to the right (it is wider than its pane).
    void OpenAsSet() {
        OpenScaled();
        GetWindowRect(frame->hwnd(), &created);
        win::StaticSplitter* splitter = frame->splitter();
        ASSERT_NE(splitter, nullptr);
        splitter->SetColumnWidth(win::Dpi(win::SystemDpi()).Scale(151));
        SendMessageW(Pane(1), WM_HSCROLL, SB_LINERIGHT, 0);
        test::Pump();
        ASSERT_GT(GetScrollPos(Pane(1), SB_HORZ), 0);
    }
    // The display changes to `dpi`; the system suggests the rectangle of the
    // creation scaled, as it does for a window moved to another monitor.
    void MoveTo(UINT dpi) {
        const int from = static_cast<int>(win::SystemDpi());
        RECT suggested = created;
        suggested.right = suggested.left + MulDiv(created.right - created.left, static_cast<int>(dpi), from);
        suggested.bottom = suggested.top + MulDiv(created.bottom - created.top, static_cast<int>(dpi), from);
        SendMessageW(frame->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        test::Pump();
        RECT now{};
        GetWindowRect(frame->hwnd(), &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << "the frame takes the suggested rectangle at " << dpi << " dpi";
    }
    RECT created{};
};

// After any sequence of changes the window is what one change from the DPI
// of its creation gives; back there it is the window it was, to the pixel.
TEST_F(DpiTripTest, AnySequenceOfChangesEndsAsASingleChangeWould) {
    const UINT start = ExpectedDpi();
    for (const std::vector<UINT>& trip : kTrips) {
        if (trip.front() != start) continue;
        std::string name;
        for (UINT dpi : trip)
            name += (name.empty() ? "" : "-") + std::to_string(dpi);
        // One window per scale, changed once.
        std::vector<Layout> single;
        for (UINT dpi : trip) {
            OpenAsSet();
            if (dpi != start) {
                MoveTo(dpi);
                ExpectFrameAt(dpi);
            }
            single.push_back(Measure(frame->hwnd()));
            Close();
        }
        OpenAsSet();
        const std::vector<DWORD> before = WindowPixels(frame->hwnd());
        for (std::size_t step = 1; step < trip.size(); ++step) {
            MoveTo(trip[step]);
            ExpectSameLayout(Measure(frame->hwnd()), single[step],
                             name + " at step " + std::to_string(step) + " (" + std::to_string(trip[step]) + " dpi)");
        }
        EXPECT_TRUE(WindowPixels(frame->hwnd()) == before) << name << ": not the window it was";
        Close();
    }
}

// Any process can send WM_DPICHANGED, with a number for a rectangle that
// means nothing here: the frame and the floating toolbar let it pass.
TEST_F(DpiTest, ADpiChangeWhoseRectangleCannotBeReadChangesNothing) {
    OpenScaled();
    auto* bar = dynamic_cast<win::DockToolBar*>(win::Window::FromHandle(Child(IDW_TOOLBAR)));
    ASSERT_NE(bar, nullptr);
    bar->Float({win::Dpi(win::SystemDpi()).Scale(100), win::Dpi(win::SystemDpi()).Scale(300)});
    test::Pump();
    HWND floating = GetParent(bar->hwnd());
    ASSERT_NE(floating, frame->hwnd());
    void* reserved = VirtualAlloc(nullptr, 4096, MEM_RESERVE, PAGE_NOACCESS);  // an address nothing can read
    const UINT other = ExpectedDpi() == 192 ? 96 : 192;
    for (HWND target : {frame->hwnd(), floating}) {
        for (LPARAM junk : {LPARAM{0}, LPARAM{1}, reinterpret_cast<LPARAM>(reserved)}) {
            RECT was{}, now{};
            GetWindowRect(target, &was);
            SendMessageW(target, WM_DPICHANGED, MAKEWPARAM(other, other), junk);
            test::Pump();
            GetWindowRect(target, &now);
            EXPECT_TRUE(EqualRect(&was, &now)) << "pointer " << junk;
            EXPECT_EQ(frame->dpi(), win::Dpi(ExpectedDpi()));
            EXPECT_EQ(bar->dpi(), win::Dpi(ExpectedDpi()));
        }
    }
    VirtualFree(reserved, 0, MEM_RELEASE);
}

// A scheme of the system's colours in force for one scope: a black button
// face (as high contrast has) and a button text colour found nowhere else.
class ButtonScheme {
public:
    static constexpr COLORREF kText = RGB(0x2B, 0xC4, 0x7E);
    ButtonScheme() {
        for (std::size_t i = 0; i < 2; ++i)
            saved_[i] = GetSysColor(kIndices[i]);
        const COLORREF scheme[2] = {RGB(0, 0, 0), kText};
        SetSysColors(2, kIndices, scheme);
    }
    ~ButtonScheme() { SetSysColors(2, kIndices, saved_); }
    ButtonScheme(const ButtonScheme&) = delete;
    ButtonScheme& operator=(const ButtonScheme&) = delete;

private:
    static constexpr int kIndices[2] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    COLORREF saved_[2]{};
};

// How many pixels of `image` of toolbar strip `bitmapId`, `width` wide, are black.
int BlackPixels(UINT bitmapId, int width, int image) {
    const BitmapHandle strip(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!strip || !GetObjectW(strip.get(), sizeof info, &info)) return -1;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB};
    std::vector<DWORD> pixels(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    const WindowDc dc(nullptr);
    GetDIBits(dc.get(), strip.get(), 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    int count = 0;
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = image * width; x < (image + 1) * width; ++x)
            count += (pixels[static_cast<std::size_t>(y) * info.bmWidth + x] & 0xFFFFFF) == 0;
    return count;
}

// The toolbar pictures follow the system's colours at every scale: the
// About picture's black outline is drawn in the button text colour, whether
// the scheme was there before the window or came while it runs, docked or
// floating.
TEST_F(DpiTest, ToolbarPicturesFollowTheSystemColours) {
    struct Case {
        const char* name;
        bool schemeFirst;
        bool floating;
    };
    for (const Case& c :
         {Case{"scheme before start-up", true, false}, Case{"scheme changed while running", false, false},
          Case{"changed while floating", false, true}}) {
        std::optional<ButtonScheme> scheme;
        if (c.schemeFirst) scheme.emplace();
        OpenScaled();
        HWND toolbar = Child(IDW_TOOLBAR);
        auto* bar = dynamic_cast<win::DockToolBar*>(win::Window::FromHandle(toolbar));
        ASSERT_NE(bar, nullptr);
        if (c.floating) bar->Float({win::Dpi(win::SystemDpi()).Scale(100), win::Dpi(win::SystemDpi()).Scale(300)});
        test::Pump();
        if (!scheme) scheme.emplace();
        test::Pump();
        ASSERT_NE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_APP_ABOUT, 0), 0) << c.name;

        int width = 0, height = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0)), &width,
                              &height);
        const UINT strip = width == 20   ? IDB_TOOLBAR_20
                           : width == 24 ? IDB_TOOLBAR_24
                           : width == 32 ? IDB_TOOLBAR_32
                           : width == 48 ? IDB_TOOLBAR_48
                                         : IDR_MAINFRAME;
        const int outline = BlackPixels(strip, width, 3);
        ASSERT_GT(outline, 0) << c.name;
        RECT button{};
        SendMessageW(toolbar, TB_GETRECT, ID_APP_ABOUT, reinterpret_cast<LPARAM>(&button));
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        // The button in client coordinates of the bar, read through its window's context.
        RECT window{};
        GetWindowRect(toolbar, &window);
        POINT origin{0, 0};
        ClientToScreen(toolbar, &origin);
        OffsetRect(&button, origin.x - window.left, origin.y - window.top);
        int text = 0;
        for (DWORD px : Pixels(toolbar, button))
            text += RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF) == ButtonScheme::kText;
        EXPECT_EQ(text, outline) << c.name << ": the About picture's outline in the button text colour";
        scheme.reset();
        Close();
    }
}

}  // namespace
}  // namespace kolt
