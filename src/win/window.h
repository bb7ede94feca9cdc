// The base of every window of the program. One static window procedure (and
// one dialog procedure) serves all of them: it finds the C++ object through
// GWLP_USERDATA, set at WM_NCCREATE or WM_INITDIALOG and cleared at
// WM_NCDESTROY, looks the message up in the object's message table chain
// (message_map.h) and falls back to the default procedure. No exception ever
// leaves the procedure: it is recorded and the message gets its default
// handling.
//
// A system control the program hooks (the tree, the bars, a form's boxes) is
// subclassed one way: its window procedure is swapped for ours, which keeps
// the control's own behind it for whatever the object does not handle. So a
// message costs the control nothing more than a call, and FromHandle knows
// every window of this layer by its procedure.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/message_map.h"

namespace kolt::win {

class Window : public CommandTarget {
public:
    Window() = default;
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The object behind a window of this layer; null for any other window.
    static Window* FromHandle(HWND hwnd);

    // Creates a window of a class that this layer registered (RegisterWindowClass).
    bool Create(DWORD exStyle, const wchar_t* className, std::string_view title, DWORD style, const RECT& rect,
                HWND parent, UINT_PTR menuOrId);
    bool CreateAt(DWORD exStyle, const wchar_t* className, std::string_view title, DWORD style, int x, int y, int width,
                  int height, HWND parent, UINT_PTR menuOrId);
    // Creates a control of a system class ("SysTreeView32", a toolbar, ...) and
    // subclasses it (Subclass); the object destroys it when it goes first.
    bool CreateControl(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& rect, HWND parent, UINT id);
    // Puts this object in front of the procedure of a control of this thread
    // that was made elsewhere (a dialog template's box): the control's own
    // procedure stays the default for every message this object does not
    // handle. The control stays its dialog's: an object that goes first hands
    // it back and leaves it. False for a window that already has an object.
    bool Subclass(HWND control);
    void Destroy();

    // Registers a class served by this layer's window procedure, once per name.
    static const wchar_t* RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background,
                                              HICON icon = nullptr);

    // Called by the message loop for messages to this window or its children,
    // innermost window first; true when the message was consumed.
    virtual bool PreTranslateMessage(MSG& msg);

    // The command route. A plain window consults its own table; a frame adds
    // its active pane and the application.
    virtual bool RouteCommand(UINT id, UINT code);
    virtual void RouteUpdate(CommandUi& ui);

    // The top-level window this window belongs to (itself when top-level).
    HWND TopLevel() const;

    // Looks a message up in the table chain. Public so that a container can
    // hand a message on to the object that owns it.
    Result Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    // What the last exception caught in a window procedure said; empty when
    // none was caught since the last call.
    static std::string TakeLastException();

protected:
    virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after WM_NCDESTROY, when the handle is gone.
    virtual void PostNcDestroy() {}

    // The window is a dialog (modal, or a form built from a template).
    void AttachDialog(HWND hwnd);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Dispatch inside the one exception fence of both procedures.
    Result GuardedDispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    HWND hwnd_ = nullptr;            // the window owns itself; see ~Window
    WNDPROC controlProc_ = nullptr;  // a system control's own procedure when this object sits in front of it
    bool isDialog_ = false;
    bool destroyWithObject_ = true;  // false for a control made elsewhere (Subclass)
};

// Settles the command-UI state of `ui` along a route of targets: the first
// update handler found decides what it sets; what it leaves open follows the
// rule that a command without a handler anywhere on the route is disabled.
void ResolveCommandUi(std::initializer_list<CommandTarget*> route, CommandUi& ui);
bool RouteCommandTo(std::initializer_list<CommandTarget*> route, UINT id, UINT code);

// Hands a message that the system sends to top-level windows only
// (WM_SYSCOLORCHANGE) on to every window inside `parent`, as the common
// controls ask of the top-level window they live in.
void SendToDescendants(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kolt::win
