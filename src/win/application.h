// The application object: start-up, the message loop with accelerators and
// idle command-UI updating, and exit. It is the last stop of the command
// route; a derived application lists its own commands in its message table.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "win/window.h"

namespace kolt::win {

class Application : public CommandTarget {
public:
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Instance();

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    // The message loop, until the main window has been closed: accelerators
    // and dialog keys first, idle command-UI updates whenever the queue runs
    // empty. Releases the main window object at the end and returns the quit code.
    int Run();

    Window* mainWnd() const { return mainWindow_.get(); }
    // The main window's handle; null while there is none.
    HWND mainWindow() const { return mainWindow_ ? mainWindow_->hwnd() : nullptr; }
    void SetMainWnd(std::unique_ptr<Window> window) { mainWindow_ = std::move(window); }

    // Offers a message to the windows it is meant for (accelerators, dialog
    // keys); true when one of them consumed it.
    bool PreTranslate(MSG& msg);
    void OnIdle();

protected:
    void OnAppExit();

private:
    std::unique_ptr<Window> mainWindow_;
};

// A message box captioned with the application title, owned by the main
// window when there is one (also while it is still being created).
int ShowAppMessage(std::string_view cp932, UINT flags);
int ShowAppMessage(const wchar_t* text, UINT flags);

}  // namespace kolt::win
