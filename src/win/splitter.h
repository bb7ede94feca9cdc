// A static splitter of one row and two columns: two panes side by side with a
// bar between them that the user drags. Panes are found by row and column and
// carry the child ids IDW_PANE_FIRST + column, so they can be found by id as well.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "win/dpi.h"
#include "win/framework_ids.h"
#include "win/view.h"

namespace kolt::win {

class FrameWindow;

class StaticSplitter : public Window {
public:
    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool CreateStatic(FrameWindow& frame, UINT id);
    // Creates pane (row 0, column) from `view`, `initial` pixels wide at first.
    bool CreateView(int row, int column, std::unique_ptr<View> view, SIZE initial);
    View* GetPane(int row, int column) const;

    // Moves the focus to the other pane (F6 and Shift+F6).
    void ActivateNext(bool previous);
    // The left pane's width as the user sets it (dragging the bar), at the
    // splitter's DPI of the moment. The pane keeps it, scaled to each later
    // DPI, as far as the splitter's width lets it.
    void SetColumnWidth(int width);
    void RecalcLayout();
    // The splitter takes all of `space` (its frame's client coordinates) and
    // leaves nothing.
    RECT Layout(const RECT& space);

    // Re-scales the bar and the left pane's width and tells the panes.
    void SetDpi(Dpi dpi);

private:
    Result OnSize(WPARAM, LPARAM);
    Result OnPaint(WPARAM, LPARAM);
    Result OnSetCursor(WPARAM, LPARAM);
    Result OnLButtonDown(WPARAM, LPARAM);
    Result OnMouseMove(WPARAM, LPARAM);
    Result OnLButtonUp(WPARAM, LPARAM);
    Result OnCaptureChanged(WPARAM, LPARAM);
    RECT BarRect() const;
    int barWidth() const { return dpi_.Scale(kBarWidth); }

    static constexpr int kBarWidth = 6;  // at 96 dpi
    Dpi dpi_;
    std::array<std::unique_ptr<View>, 2> panes_;
    int firstWidth_ = 0;     // as laid out now
    RECT barLaidOut_{};      // where the bar was last drawn
    DpiKept<int> setWidth_;  // as last set
    bool dragging_ = false;
    int dragOffset_ = 0;
};

}  // namespace kolt::win
