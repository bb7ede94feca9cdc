#include "win/dpi.h"

#include "base/owners_win.h"
#include "base/system_library_win.h"

namespace kolt::win {
namespace {

// Functions of newer systems, found once. A null pointer means "not here".
struct NewerUser32 {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    using SetDialogControlDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

    NewerUser32() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32) return;
        getDpiForWindow = FindFunction<GetDpiForWindowFn>(user32, "GetDpiForWindow");
        getSystemMetricsForDpi = FindFunction<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
        adjustWindowRectExForDpi = FindFunction<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
        setDialogDpiChangeBehavior = FindFunction<SetDialogDpiChangeBehaviorFn>(user32, "SetDialogDpiChangeBehavior");
        setDialogControlDpiChangeBehavior =
            FindFunction<SetDialogControlDpiChangeBehaviorFn>(user32, "SetDialogControlDpiChangeBehavior");
    }

    GetDpiForWindowFn getDpiForWindow = nullptr;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
    SetDialogDpiChangeBehaviorFn setDialogDpiChangeBehavior = nullptr;
    SetDialogControlDpiChangeBehaviorFn setDialogControlDpiChangeBehavior = nullptr;
};

const NewerUser32& Newer() {
    static const NewerUser32 functions;
    return functions;
}

// DIALOG_DPI_CHANGE_BEHAVIORS and DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS (winuser.h
// declares them only for newer targets than ours).
constexpr int kDdcDisableAll = 0x0001;
constexpr int kDcdcDisableFontUpdate = 0x0001;
constexpr int kDcdcDisableRelayout = 0x0002;

BOOL CALLBACK TakeOverControl(HWND control, LPARAM) {
    const int both = kDcdcDisableFontUpdate | kDcdcDisableRelayout;
    Newer().setDialogControlDpiChangeBehavior(control, both, both);
    return TRUE;
}

}  // namespace

UINT SystemDpi() {
    static const UINT dpi = [] {
        const WindowDc screen(nullptr);
        const int value = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
        return value > 0 ? static_cast<UINT>(value) : kBaseDpi;
    }();
    return dpi;
}

UINT DpiOfWindow(HWND hwnd) {
    if (hwnd && Newer().getDpiForWindow) {
        if (const UINT dpi = Newer().getDpiForWindow(hwnd)) return dpi;
    }
    return SystemDpi();
}

int Dpi::Metric(int index) const {
    return SystemMetricForDpi(index, dpi_);
}

int SystemMetricForDpi(int index, UINT dpi) {
    if (dpi == SystemDpi()) return GetSystemMetrics(index);
    // Icon sizes grow in proportion on every system; Wine answers them for
    // the system DPI whatever DPI is asked for.
    const bool icon = index == SM_CXICON || index == SM_CYICON || index == SM_CXSMICON || index == SM_CYSMICON;
    if (!icon && Newer().getSystemMetricsForDpi) return Newer().getSystemMetricsForDpi(index, dpi);
    // The system's metrics are those of the system DPI.
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    if (Newer().adjustWindowRectExForDpi)
        return Newer().adjustWindowRectExForDpi(&rect, style, menu, exStyle, dpi) != FALSE;
    return AdjustWindowRectEx(&rect, style, menu, exStyle) != FALSE;
}

std::optional<RECT> ReadSuggestedRect(LPARAM lParam) {
    RECT rect{};
    SIZE_T read = 0;
    if (!ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(lParam), &rect, sizeof rect, &read) ||
        read != sizeof rect || rect.right <= rect.left || rect.bottom <= rect.top)
        return std::nullopt;
    return rect;
}

namespace {
BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}
}  // namespace

void ControlFont::Apply(HWND control, Dpi old, Dpi now, bool children) {
    if (!taken_) {
        original_ = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW face{};
        if (original_ && GetObjectW(original_, sizeof face, &face) == sizeof face) {
            face_ = {face, old};
        } else {
            // Without a font of its own a control writes in the message font,
            // which the system gives for its own DPI.
            original_ = nullptr;
            NONCLIENTMETRICSW metrics{};
            metrics.cbSize = sizeof metrics;
            if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
            face_ = {metrics.lfMessageFont, Dpi(SystemDpi())};
        }
        taken_ = true;
    }
    FontHandle font;
    HFONT use = original_;
    if (now != face_.setAt() || !original_) {
        const LOGFONTW face = face_.At(now);
        font.reset(CreateFontIndirectW(&face));
        if (!font) return;
        use = font.get();
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(use), TRUE);
    if (children) EnumChildWindows(control, &SetChildFont, reinterpret_cast<LPARAM>(use));
    scaled_ = std::move(font);  // the copy it replaces goes only once no control uses it
}

void TakeOverDialogScaling(HWND dialog) {
    if (Newer().setDialogDpiChangeBehavior) Newer().setDialogDpiChangeBehavior(dialog, kDdcDisableAll, kDdcDisableAll);
    if (Newer().setDialogControlDpiChangeBehavior) EnumChildWindows(dialog, &TakeOverControl, 0);
}

}  // namespace kolt::win
