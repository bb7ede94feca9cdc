// Views: the panes of a frame's splitter. A view tells its frame when it
// becomes the active pane (the second stop of the command route) and gets an
// initial update once the frame and all its panes exist.
#pragma once

#include <windows.h>

#include <vector>

#include "base/owners_win.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kolt::win {

class View : public Window {
public:
    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    // Creates the pane's window inside `parent` with the given child id.
    virtual bool CreateView(HWND parent, UINT id, const RECT& rect) = 0;
    virtual void OnInitialUpdate() {}
    // The frame moved to a display of another scale; the splitter sizes the
    // pane itself, the pane scales its contents.
    virtual void OnDpiChanged(Dpi /*old*/, Dpi /*now*/) {}

protected:
    Result OnMouseActivate(WPARAM, LPARAM);
    Result OnSetFocus(WPARAM, LPARAM);
    void BecomeActive();
};

// A view that is a system tree control ("SysTreeView32"). Its own
// notifications (TVN_...) come back to it through OnReflectedNotify entries.
class TreeView : public View {
public:
    bool CreateView(HWND parent, UINT id, const RECT& rect) override;
    void OnDpiChanged(Dpi old, Dpi now) override;

private:
    ControlFont font_;
};

// A view whose controls come from a dialog template; it scrolls when the pane
// is smaller than the template.
class FormView : public View {
public:
    explicit FormView(UINT templateId) : templateId_(templateId) {}

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool CreateView(HWND parent, UINT id, const RECT& rect) override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnDpiChanged(Dpi old, Dpi now) override;

private:
    Result OnInitDialog(WPARAM, LPARAM) { return FALSE; }  // the focus stays where it is
    Result OnSize(WPARAM, LPARAM);
    Result OnHScroll(WPARAM, LPARAM);
    Result OnVScroll(WPARAM, LPARAM);
    Result OnMouseWheel(WPARAM, LPARAM);
    void OnKeyboardOk() {}
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    void UserScrollTo(int x, int y);  // remembered, with the DPI
    POINT WantedScroll() const;
    int ScrollStep(int bar, UINT request) const;

    // A control where the template put it, at the DPI the form was created for.
    struct Placement {
        HWND control;
        DpiKept<RECT> rect;
    };

    UINT templateId_;
    SIZE total_{};    // the template's size in pixels
    POINT scroll_{};  // current scroll position
    Dpi dpi_;
    // Kept from the first change of DPI on, so that scaling never accumulates
    // rounding: every layout is computed from the one at creation.
    DpiKept<SIZE> createdTotal_;
    std::vector<Placement> placements_;
    ControlFont font_;
    DpiKept<POINT> userScroll_;  // where the user scrolled to
};

}  // namespace kolt::win
