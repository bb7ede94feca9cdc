#include "win/window.h"

#include <cstdint>
#include <exception>
#include <mutex>
#include <set>
#include <utility>

#include "win/screen_text.h"

namespace kolt::win {
namespace {

std::mutex lastExceptionLock;
std::string lastException;

void RecordException(UINT message, const char* what) {
    std::string text = "exception in the window procedure (message " + std::to_string(message) + "): " + what;
    OutputDebugStringW(Wide(text + "\n").c_str());
    std::lock_guard lock(lastExceptionLock);
    lastException = std::move(text);
}

constexpr ATOM kDialogClassAtom = 32770;  // WC_DIALOG

// Messages whose dialog-procedure result is the value itself rather than
// TRUE with the value in DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM:
            return true;
        default:
            return false;
    }
}

// Whether `hwnd` is a window of this thread (false for no window at all).
bool IsThisThreads(HWND hwnd) {
    return hwnd && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

// Where a control's own procedure is kept for it once its object has gone
// while a hook put in after ours still calls ours (see Detach).
constexpr wchar_t kControlProcProperty[] = L"KoltControlProc";

Window::~Window() {
    if (!hwnd_) return;
    // The object goes before its window: hand the window back to its own
    // procedure so that nothing reaches this object any more.
    HWND hwnd = hwnd_;
    const bool destroy = destroyWithObject_;
    Detach();
    if (destroy) DestroyWindow(hwnd);
}

void Window::Detach() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (controlProc_) {
        // Put back only while ours is the procedure in front. A hook put in
        // after ours keeps calling ours: taking ours out under it would cut
        // the hook off (or, put back over it, the control's own). Ours then
        // passes every message on to the control's procedure, kept for it
        // here, until the window goes.
        if (GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProc))
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc_));
        else
            SetPropW(hwnd_, kControlProcProperty, reinterpret_cast<HANDLE>(controlProc_));
    }
    controlProc_ = nullptr;
    hwnd_ = nullptr;
}

Window* Window::FromHandle(HWND hwnd) {
    // Only a window of this thread: another copy of the program has its
    // window procedure at the same address, and what its window keeps in
    // GWLP_USERDATA is an address in that process. (Also no window at all.)
    if (!IsThisThreads(hwnd)) return nullptr;
    const auto proc = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    bool ours = proc == reinterpret_cast<LONG_PTR>(&WindowProc);
    if (!ours && GetClassLongW(hwnd, GCW_ATOM) == kDialogClassAtom)
        ours = GetWindowLongPtrW(hwnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&DialogProc);
    return ours ? reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

const wchar_t* Window::RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                                           HICON icon) {
    static std::set<std::wstring> registered;
    if (registered.insert(name).second) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = &WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        RegisterClassExW(&wc);
    }
    return name;
}

bool Window::Create(DWORD exStyle, const wchar_t* className, std::string_view title, DWORD style, const RECT& rect,
                    HWND parent, UINT_PTR menuOrId) {
    return CreateAt(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, menuOrId);
}

bool Window::CreateAt(DWORD exStyle, const wchar_t* className, std::string_view title, DWORD style, int x, int y,
                      int width, int height, HWND parent, UINT_PTR menuOrId) {
    HWND hwnd = CreateWindowExW(exStyle, className, Wide(title).c_str(), style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(menuOrId), GetModuleHandleW(nullptr), this);
    return hwnd != nullptr && hwnd == hwnd_;
}

bool Window::CreateControl(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& rect, HWND parent,
                           UINT id) {
    HWND hwnd = CreateWindowExW(exStyle, className, L"", style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return false;
    if (Subclass(hwnd)) {
        destroyWithObject_ = true;
        return true;
    }
    DestroyWindow(hwnd);
    return false;
}

bool Window::Subclass(HWND control) {
    if (hwnd_ || !IsThisThreads(control) || GetWindowLongPtrW(control, GWLP_USERDATA) != 0) return false;
    hwnd_ = control;
    destroyWithObject_ = false;
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    controlProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    if (controlProc_) return true;
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    return false;
}

void Window::AttachDialog(HWND hwnd) {
    hwnd_ = hwnd;
    isDialog_ = true;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND Window::TopLevel() const {
    HWND root = hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
    return root ? root : hwnd_;
}

bool Window::PreTranslateMessage(MSG&) {
    return false;
}

bool Window::RouteCommand(UINT id, UINT code) {
    return ExecuteCommand(id, code);
}

void Window::RouteUpdate(CommandUi& ui) {
    ResolveCommandUi({this}, ui);
}

void ResolveCommandUi(std::initializer_list<CommandTarget*> route, CommandUi& ui) {
    for (CommandTarget* target : route)
        if (target && target->UpdateCommand(ui)) break;
    if (!ui.enabled) {
        bool handled = false;
        for (CommandTarget* target : route)
            handled = handled || (target && target->HasCommandHandler(ui.id));
        ui.enabled = handled;
    }
}

bool RouteCommandTo(std::initializer_list<CommandTarget*> route, UINT id, UINT code) {
    for (CommandTarget* target : route)
        if (target && target->ExecuteCommand(id, code)) return true;
    return false;
}

namespace {
struct MessageToSend {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Whether a WM_NOTIFY's header is one that a window of this thread sent. The
// controls send their notifications from this thread, a direct call that
// InSendMessage does not see; another thread's or another process's WM_NOTIFY
// comes with an address that the system does not copy and that may mean
// nothing here. Such a one is taken only if the address is readable memory of
// this process holding a header from a window of this thread (a control's
// notification made while this thread answers another's message, a screen
// reader's say, is one).
bool IsOwnNotification(LPARAM lParam) {
    if (!InSendMessage()) return true;
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(reinterpret_cast<const void*>(lParam), &region, sizeof region) != sizeof region) return false;
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const auto start = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
    const auto at = static_cast<std::uintptr_t>(lParam);
    // The region found is the one that holds `at`: the header must end in it.
    if (region.State != MEM_COMMIT || !(region.Protect & kReadable) || (region.Protect & PAGE_GUARD) ||
        region.RegionSize - (at - start) < sizeof(NMHDR))
        return false;
    return IsThisThreads(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom);
}

BOOL CALLBACK SendToChild(HWND child, LPARAM data) {
    const auto& m = *reinterpret_cast<const MessageToSend*>(data);
    SendMessageW(child, m.message, m.wParam, m.lParam);
    return TRUE;
}
}  // namespace

void SendToDescendants(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageToSend sent{message, wParam, lParam};
    EnumChildWindows(parent, &SendToChild, reinterpret_cast<LPARAM>(&sent));
}

Result Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const UINT id = LOWORD(wParam);
        // Menus and accelerators both count as code 0, like a button's click.
        const UINT code = lParam == 0 ? 0 : HIWORD(wParam);
        if (RouteCommand(id, code)) return 0;
    } else if (message == WM_NOTIFY) {
        if (!IsOwnNotification(lParam)) return 0;
        auto& hdr = *reinterpret_cast<NMHDR*>(lParam);
        // A control's own notification goes back to the control's object first.
        if (Window* child = FromHandle(hdr.hwndFrom); child && child != this)
            if (Result r = child->Offer(ReflectedNotifyMatch{hdr.code}, wParam, lParam)) return r;
    }
    return Offer(MessageMatch{message}, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (isDialog_) return 0;
    if (controlProc_) return CallWindowProcW(controlProc_, hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

Result Window::GuardedDispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return Dispatch(message, wParam, lParam);
    } catch (const std::exception& e) {
        RecordException(message, e.what());
    } catch (...) {
        RecordException(message, "unknown exception");
    }
    return std::nullopt;
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) {
        // A control whose object went while a later hook still calls us (Detach).
        if (GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&WindowProc)) {
            if (auto own = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kControlProcProperty))) {
                if (message == WM_NCDESTROY) RemovePropW(hwnd, kControlProcProperty);
                return CallWindowProcW(own, hwnd, message, wParam, lParam);
            }
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    Result r = self->GuardedDispatch(message, wParam, lParam);
    const LRESULT result = r ? *r : self->DefaultProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}

INT_PTR CALLBACK Window::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && message == WM_INITDIALOG) {
        self = reinterpret_cast<Window*>(lParam);
        if (self) self->AttachDialog(hwnd);
    }
    if (!self) return FALSE;
    const Result r = self->GuardedDispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->Detach();
        self->PostNcDestroy();
        return FALSE;
    }
    // Not handled: FALSE lets the dialog manager's own processing go on; for
    // WM_INITDIALOG that is TRUE, which asks it to put the focus on the first
    // control that takes it.
    if (!r) return message == WM_INITDIALOG ? TRUE : FALSE;
    if (ReturnsDirectly(message)) return static_cast<INT_PTR>(*r);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *r);
    return TRUE;
}

std::string Window::TakeLastException() {
    std::lock_guard lock(lastExceptionLock);
    return std::exchange(lastException, std::string());
}

}  // namespace kolt::win
