#include "win/application.h"

#include "win/frame_window.h"
#include "win/screen_text.h"

namespace kolt::win {
namespace {
Application* instance = nullptr;

// Messages after which the interface may have changed and is worth updating.
bool IsIdleMessage(const MSG& msg) {
    static POINT lastMouse{-1, -1};
    static UINT lastMouseMessage = 0;
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        if (lastMouseMessage == msg.message && lastMouse.x == msg.pt.x && lastMouse.y == msg.pt.y) return false;
        lastMouse = msg.pt;
        lastMouseMessage = msg.message;
        return true;
    }
    return msg.message != WM_PAINT && msg.message != 0x0118 /* WM_SYSTIMER: caret blink */;
}
}  // namespace

Application::Application() {
    instance = this;
}

Application::~Application() {
    mainWindow_.reset();
    if (instance == this) instance = nullptr;
}

Application* Application::Instance() {
    return instance;
}

const MessageMap& Application::Messages() {
    static constexpr MessageEntry kEntries[] = {
        OnCommand<&Application::OnAppExit>(ID_APP_EXIT),
    };
    static constexpr MessageMap kMap{&CommandTarget::Messages, kEntries};
    return kMap;
}

void Application::OnAppExit() {
    if (mainWindow_ && mainWindow_->hwnd()) SendMessageW(mainWindow_->hwnd(), WM_CLOSE, 0, 0);
}

bool Application::PreTranslate(MSG& msg) {
    HWND main = mainWindow_ ? mainWindow_->hwnd() : nullptr;
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        if (Window* w = Window::FromHandle(h); w && w->PreTranslateMessage(msg)) return true;
        if (h == main) return false;
    }
    // Messages to windows outside the main window's family (a floating bar)
    // still get the frame's accelerators.
    if (mainWindow_ && msg.hwnd && GetAncestor(msg.hwnd, GA_ROOTOWNER) == main)
        return mainWindow_->PreTranslateMessage(msg);
    return false;
}

void Application::OnIdle() {
    if (auto* frame = dynamic_cast<FrameWindow*>(mainWindow_.get()); frame && frame->hwnd()) frame->OnIdleUpdate();
}

int Application::Run() {
    MSG msg{};
    bool idle = true;
    int exitCode = -1;
    for (;;) {
        if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            OnIdle();
            idle = false;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) idle = true;
    }
    // The windows are gone; the objects behind them go before the exit work.
    mainWindow_.reset();
    return exitCode;
}

namespace {
HWND MessageOwner() {
    const Application* app = Application::Instance();
    return app ? app->mainWindow() : nullptr;
}
}  // namespace

int ShowAppMessage(std::string_view cp932, UINT flags) {
    return ShowMessage(MessageOwner(), cp932, flags);
}

int ShowAppMessage(const wchar_t* text, UINT flags) {
    return ShowMessage(MessageOwner(), std::wstring_view(text), flags);
}

}  // namespace kolt::win
