// A top-level frame: menu, accelerators, a docking toolbar, a status bar with
// the message pane and the key indicators, and one client window (the
// splitter, child id 59648) in the space the bars leave.
//
// Commands travel frame -> active pane -> application object. Menu items and
// toolbar buttons show the command-UI state found along that route: a
// command with no handler anywhere is disabled, and choosing it does nothing.
// Prompts for the message pane and tooltips come from the string table: the
// text before "\n" and the text after it. The message pane shows "レディ"
// (string 57345) when nothing is being tracked.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win/bar_host.h"
#include "win/dock_bar.h"
#include "win/dpi.h"
#include "win/framework_ids.h"
#include "win/status_bar.h"
#include "win/view.h"
#include "win/window.h"

namespace kolt::win {

class StaticSplitter;

class FrameWindow : public Window, public BarHost {
public:
    // The frame style that adds the document's name to the caption, which
    // the main window is created with. It lies in the low word of the style,
    // which a window class defines for itself, and this layer's frame class
    // gives it no meaning: there is never a document.
    static constexpr DWORD kAddToTitle = 0x8000;

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    // Creates the window with menu, accelerators, caption (string) and class
    // of resource `id`, then gives every view its initial update.
    bool LoadFrame(UINT id, DWORD style);

    // The frame that `window` (a pane, the splitter, a bar, the frame itself)
    // lives in; null outside a frame of this layer.
    static FrameWindow* Of(HWND window);

    // The status bar's two operations, named and ordered as the scenario
    // reader and the stage record's callers know them: a pane's text (pane
    // 0 is the message pane), and a pane set back to the string numbered by
    // its indicator id, or to empty text when there is none (pane 0).
    void SetStatusPaneText(std::string_view cp932, std::size_t pane);
    void ResetStatusPaneText(std::size_t pane);

    View* activeView() const { return activeView_; }
    void SetActiveView(View* view) { activeView_ = view; }

    // Status bar, toolbar, splitter: each takes its part of the client area
    // and leaves the rest to the next.
    void RecalcLayout();
    // The DPI the frame is laid out for.
    Dpi dpi() const { return dpi_; }
    // The bars and the splitter are members of the derived frame, which hands
    // each one over once it exists.
    void DockControlBar(DockToolBar& bar, DockSide side = DockSide::Top);
    void SetStatusBar(StatusBar& bar) { statusBar_ = &bar; }
    void SetSplitter(StaticSplitter& splitter) { splitter_ = &splitter; }
    StaticSplitter* splitter() const { return splitter_; }

    // What the bars see of the frame.
    HWND HostWindow() const override { return hwnd(); }
    Dpi HostDpi() const override { return dpi_; }
    void UpdateCommandUi(CommandUi& ui) override { RouteUpdate(ui); }
    RECT DockArea() const override;
    void LayOutBars() override { RecalcLayout(); }

    bool PreTranslateMessage(MSG& msg) override;
    bool TranslateAccelerators(MSG& msg);
    // Idle work: toolbar buttons and status indicators follow their command UI.
    void OnIdleUpdate();

    bool RouteCommand(UINT id, UINT code) override;
    void RouteUpdate(CommandUi& ui) override;

    // The prompt (before "\n") or tooltip (after it) of string `id`.
    static std::wstring PromptText(UINT id, bool tooltip);

protected:
    // The creation hooks, called in this order inside WM_CREATE; false fails
    // the creation. The client area (the splitter and its panes) first, then
    // the bars, which the derived frame hands over as it makes them.
    virtual bool OnCreateClient() { return true; }
    virtual bool OnCreateBars() { return true; }
    // The frame moved to a display of another scale: the bars and panes are
    // re-scaled already; a derived frame reloads what it drew for the old one.
    virtual void OnDpiChange(Dpi /*old*/) {}

private:
    Result OnCreate(WPARAM, LPARAM);
    Result OnSize(WPARAM, LPARAM);
    Result OnDpiChanged(WPARAM, LPARAM);
    Result OnSysColorChange(WPARAM, LPARAM);
    Result OnThemeChanged(WPARAM, LPARAM);
    Result OnSettingChange(WPARAM, LPARAM);
    Result OnSetFocus(WPARAM, LPARAM);
    Result OnInitMenuPopup(WPARAM, LPARAM);
    Result OnMenuSelect(WPARAM, LPARAM);
    Result OnNotifyMessage(WPARAM, LPARAM);
    Result OnSetMessageString(WPARAM, LPARAM);
    Result OnNcDestroy(WPARAM, LPARAM);
    void OnViewToolBar();
    void OnViewStatusBar();
    void OnUpdateViewToolBar(CommandUi& ui);
    void OnUpdateViewStatusBar(CommandUi& ui);
    void OnUpdateKeyIndicator(CommandUi& ui);
    void OnNextPane();
    void OnPrevPane();
    // The prompt of a command (or the idle text for IDS_IDLEMESSAGE) in the message pane.
    void ShowPrompt(UINT id);

    HACCEL accelerators_ = nullptr;       // a resource: freed with the module
    View* activeView_ = nullptr;          // not owned
    DockToolBar* toolBar_ = nullptr;      // not owned: a member of the derived frame
    StatusBar* statusBar_ = nullptr;      // not owned: a member of the derived frame
    StaticSplitter* splitter_ = nullptr;  // not owned: a member of the derived frame
    std::wstring tooltip_;                // keeps the tooltip text alive while it shows
    RECT barSpace_{};                     // the client area less the status bar, as last laid out
    Dpi dpi_;
};

}  // namespace kolt::win
