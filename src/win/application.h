// The application object: start-up, the message loop with accelerators and
// idle command-UI updating, and exit. It is the last stop of the command
// route; a derived application lists its own commands in its message table.
#pragma once

#include <windows.h>

#include <memory>

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

    // InitInstance, then the message loop while it succeeded, then
    // ExitInstance; returns ExitInstance's result.
    int Run();
    virtual bool InitInstance() { return true; }
    // The exit code is the main window's quit code.
    virtual int ExitInstance() { return exitCode_; }

    Window* mainWindow() const { return mainWindow_.get(); }
    void SetMainWindow(std::unique_ptr<Window> window) { mainWindow_ = std::move(window); }

    // Offers a message to the windows it is meant for (accelerators, dialog
    // keys); true when one of them consumed it.
    bool PreTranslate(MSG& msg);
    void OnIdle();

protected:
    void OnAppExit();

    int exitCode_ = 0;

private:
    std::unique_ptr<Window> mainWindow_;
};

}  // namespace kolt::win
