// The layer's dispatch rules, on windows made for the purpose: tables chain
// from the derived class to the base, a handler can decline, commands follow
// their route, command-UI states follow the handlers, reflected notifications
// reach the control's object, and an exception never leaves the procedure.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "win/screen_text.h"
#include "win/window.h"

namespace kolt::win {
namespace {

constexpr UINT kPing = WM_APP + 1, kDecline = WM_APP + 2, kThrow = WM_APP + 3;
constexpr UINT kBaseCommand = 100, kDerivedCommand = 101, kChecked = 102, kNoHandler = 103, kShared = 104;

class BaseWindow : public Window {
public:
    static const MessageMap& Messages() {
        static constexpr MessageEntry kEntries[] = {
            OnMessage<&BaseWindow::OnPing>(kPing),
            OnMessage<&BaseWindow::OnDecline>(kDecline),
            OnCommand<&BaseWindow::OnBaseCommand>(kBaseCommand),
            OnCommand<&BaseWindow::OnShared>(kShared),
        };
        static constexpr MessageMap kMap{&Window::Messages, kEntries};
        return kMap;
    }
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create() {
        const wchar_t* cls = RegisterWindowClass(L"KoltTestWindow", 0, nullptr, nullptr);
        return Window::Create(0, cls, "", WS_OVERLAPPEDWINDOW, RECT{0, 0, 200, 100}, nullptr, 0);
    }

    std::vector<std::string> calls;

protected:
    Result OnPing(WPARAM, LPARAM) {
        calls.push_back("base ping");
        return 1;
    }
    Result OnDecline(WPARAM, LPARAM) {
        calls.push_back("base decline");
        return 7;
    }
    void OnBaseCommand() { calls.push_back("base command"); }
    void OnShared() { calls.push_back("base shared"); }
};

class DerivedWindow : public BaseWindow {
public:
    static const MessageMap& Messages() {
        static constexpr MessageEntry kEntries[] = {
            OnMessage<&DerivedWindow::OnPing>(kPing),
            OnMessage<&DerivedWindow::OnDecline>(kDecline),
            OnMessage<&DerivedWindow::OnThrow>(kThrow),
            OnMessage<&DerivedWindow::OnNcDestroy>(WM_NCDESTROY),
            OnCommand<&DerivedWindow::OnDerivedCommand>(kDerivedCommand),
            OnCommand<&DerivedWindow::OnChecked>(kChecked),
            OnUpdateUi<&DerivedWindow::OnUpdateChecked>(kChecked),
            OnReflectedNotify<&DerivedWindow::OnReflected>(NM_CLICK),
        };
        static constexpr MessageMap kMap{&BaseWindow::Messages, kEntries};
        return kMap;
    }
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool checked = false;
    int destroyed = 0;

private:
    Result OnPing(WPARAM, LPARAM) {
        calls.push_back("derived ping");
        return 2;
    }
    Result OnDecline(WPARAM, LPARAM) {
        calls.push_back("derived decline");
        return std::nullopt;
    }
    Result OnThrow(WPARAM, LPARAM) { throw std::runtime_error("broken handler"); }
    Result OnNcDestroy(WPARAM, LPARAM) {
        ++destroyed;
        return std::nullopt;
    }
    void OnDerivedCommand() { calls.push_back("derived command"); }
    void OnChecked() { checked = !checked; }
    void OnUpdateChecked(CommandUi& ui) { ui.SetCheck(checked); }
    Result OnReflected(NMHDR&) {
        calls.push_back("reflected click");
        return 5;
    }
};

// A second target on a route, with a command of its own.
class Other : public CommandTarget {
public:
    static const MessageMap& Messages() {
        static constexpr MessageEntry kEntries[] = {
            OnCommand<&Other::OnShared>(kShared),
            OnCommand<&Other::OnOwn>(kNoHandler + 10),
        };
        static constexpr MessageMap kMap{&CommandTarget::Messages, kEntries};
        return kMap;
    }
    const MessageMap& GetMessageMap() const override { return Messages(); }
    int shared = 0;

private:
    void OnShared() { ++shared; }
    void OnOwn() {}
};

TEST(MessageTables, TheDerivedTableComesFirstAndADeclinedMessageGoesOnToTheBase) {
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    EXPECT_EQ(Window::FromHandle(w.hwnd()), &w);
    EXPECT_EQ(SendMessageW(w.hwnd(), kPing, 0, 0), 2);
    EXPECT_EQ(SendMessageW(w.hwnd(), kDecline, 0, 0), 7);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"derived ping", "derived decline", "base decline"}));
    // Nothing in any table: the default procedure answers.
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(MessageTables, CommandsFindTheirHandlerAlongTheChain) {
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kBaseCommand, 0), 0);
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kDerivedCommand, 0), 0);
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kNoHandler, 0), 0);
    // An accelerator (code 1) counts as a menu command.
    SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kBaseCommand, 1), 0);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"base command", "derived command", "base command"}));
}

TEST(MessageTables, CommandUiFollowsTheHandlersOnTheRoute) {
    DerivedWindow w;
    Other other;
    auto state = [&](UINT id) {
        CommandUi ui{id};
        ResolveCommandUi({&w, &other}, ui);
        return ui;
    };
    EXPECT_TRUE(state(kBaseCommand).enabled.value());
    EXPECT_TRUE(state(kNoHandler + 10).enabled.value());  // handled further along the route
    EXPECT_FALSE(state(kNoHandler).enabled.value());      // nowhere: disabled
    EXPECT_FALSE(state(kNoHandler).checked.has_value());
    EXPECT_EQ(state(kChecked).checked, false);
    w.checked = true;
    EXPECT_EQ(state(kChecked).checked, true);
    EXPECT_TRUE(state(kChecked).enabled.value());

    // The first target with a handler runs it; later ones do not.
    EXPECT_TRUE(RouteCommandTo({&w, &other}, kShared, 0));
    EXPECT_EQ(w.calls, (std::vector<std::string>{"base shared"}));
    EXPECT_EQ(other.shared, 0);
    EXPECT_TRUE(RouteCommandTo({nullptr, &other}, kShared, 0));
    EXPECT_EQ(other.shared, 1);
    EXPECT_FALSE(RouteCommandTo({&w, &other}, kNoHandler, 0));
}

TEST(MessageTables, AControlsNotificationIsReflectedToItsOwnObject) {
    BaseWindow parent;
    ASSERT_TRUE(parent.Create());
    DerivedWindow control;
    ASSERT_TRUE(control.CreateControl(0, WC_BUTTONW, WS_CHILD, RECT{0, 0, 10, 10}, parent.hwnd(), 42));
    EXPECT_EQ(Window::FromHandle(control.hwnd()), &control);
    NMHDR hdr{control.hwnd(), 42, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(SendMessageW(parent.hwnd(), WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&hdr)), 5);
    EXPECT_EQ(control.calls, (std::vector<std::string>{"reflected click"}));
    // The control still behaves as a button: its own procedure is the default.
    SetWindowTextCp932(control.hwnd(), "OK");
    EXPECT_EQ(GetWindowTextCp932(control.hwnd()), "OK");
}

TEST(MessageTables, AnExceptionInAHandlerIsRecordedAndNeverLeavesTheProcedure) {
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    Window::TakeLastException();
    EXPECT_EQ(SendMessageW(w.hwnd(), kThrow, 0, 0), 0);  // the default procedure's answer
    EXPECT_NE(Window::TakeLastException().find("broken handler"), std::string::npos);
    EXPECT_EQ(Window::TakeLastException(), "");
    EXPECT_EQ(SendMessageW(w.hwnd(), kPing, 0, 0), 2);  // and the window goes on working
}

TEST(MessageTables, TheObjectLetsGoOfItsWindowAtNcDestroy) {
    DerivedWindow w;
    ASSERT_TRUE(w.Create());
    HWND hwnd = w.hwnd();
    DestroyWindow(hwnd);
    EXPECT_EQ(w.destroyed, 1);
    EXPECT_EQ(w.hwnd(), nullptr);
    EXPECT_EQ(Window::FromHandle(hwnd), nullptr);

    // A control the object made goes with the object.
    HWND control;
    {
        BaseWindow parent;
        ASSERT_TRUE(parent.Create());
        {
            DerivedWindow button;
            ASSERT_TRUE(button.CreateControl(0, WC_BUTTONW, WS_CHILD, RECT{0, 0, 10, 10}, parent.hwnd(), 7));
            control = button.hwnd();
        }
        EXPECT_FALSE(IsWindow(control));
    }
    // Foreign windows are never taken for ours.
    HWND desktop = GetDesktopWindow();
    EXPECT_EQ(Window::FromHandle(desktop), nullptr);
}

// A hook put in after ours, as another subclass would be: it counts what it
// sees and passes everything on.
WNDPROC hookedOver = nullptr;
int hookSaw = 0;
LRESULT CALLBACK CountingHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ++hookSaw;
    return CallWindowProcW(hookedOver, hwnd, message, wParam, lParam);
}

TEST(Subclassing, AControlMadeElsewhereIsHandedBackInTheRightOrderWhenItsObjectGoesFirst) {
    BaseWindow parent;
    ASSERT_TRUE(parent.Create());
    for (const bool hookAfterUs : {false, true}) {
        SCOPED_TRACE(hookAfterUs);
        // Made as a dialog template makes its boxes, not by the object.
        HWND box = CreateWindowExW(0, WC_EDITW, L"", WS_CHILD, 0, 0, 50, 20, parent.hwnd(), nullptr, nullptr, nullptr);
        ASSERT_NE(box, nullptr);
        const LONG_PTR own = GetWindowLongPtrW(box, GWLP_WNDPROC);
        {
            DerivedWindow object;
            ASSERT_TRUE(object.Subclass(box));
            EXPECT_EQ(Window::FromHandle(box), &object);
            DerivedWindow second;
            EXPECT_FALSE(second.Subclass(box));  // one object a window
            EXPECT_EQ(SendMessageW(box, kPing, 0, 0), 2);
            if (hookAfterUs)
                hookedOver = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingHook)));
        }
        ASSERT_TRUE(IsWindow(box));  // the box is its dialog's, not the object's
        EXPECT_EQ(GetWindowLongPtrW(box, GWLP_USERDATA), 0);
        EXPECT_EQ(Window::FromHandle(box), nullptr);
        // Ours out of the way where it was in front; the later hook kept in front of it otherwise.
        EXPECT_EQ(GetWindowLongPtrW(box, GWLP_WNDPROC), hookAfterUs ? reinterpret_cast<LONG_PTR>(&CountingHook) : own);
        hookSaw = 0;
        EXPECT_EQ(SendMessageW(box, kPing, 0, 0), 0);  // no object answers any more
        SetWindowTextCp932(box, "kept");               // and the box is still an edit box
        EXPECT_EQ(GetWindowTextCp932(box), "kept");
        EXPECT_EQ(hookSaw > 0, hookAfterUs);
        DestroyWindow(box);
    }
}

TEST(WindowText, TextsCrossTheEdgeAsCp932WhateverTheSystemCodePage) {
    BaseWindow w;
    ASSERT_TRUE(w.Create());
    const std::string text = "\x83\x56\x83\x69\x83\x8A\x83\x49 \x81\x9A";  // "シナリオ ★"
    SetWindowTextCp932(w.hwnd(), text);
    wchar_t wide[16] = {};
    GetWindowTextW(w.hwnd(), wide, 16);
    EXPECT_STREQ(wide, L"シナリオ ★");
    EXPECT_EQ(GetWindowTextCp932(w.hwnd()), text);
    EXPECT_EQ(Wide(text), L"シナリオ ★");
    EXPECT_EQ(Narrow(L"シナリオ ★"), text);
}

}  // namespace
}  // namespace kolt::win
