// A toolbar that docks: a gripper that the user drags to any edge of the
// frame or off it, where the bar floats in a small tool window; floating, its
// buttons reflow into as many rows as the window's width asks for. Docked,
// the bar has its frame's DPI; floating, that of its own window.
#pragma once

#include <windows.h>

#include <memory>

#include "win/bar_host.h"
#include "win/tool_bar.h"

namespace kolt::win {

enum class DockSide { Top, Bottom, Left, Right, Floating };

// The edge of `dockArea` (screen coordinates) that a bar dropped at `screen`
// docks to: the one within `margin` of the point, inside or outside the
// area; Floating anywhere else.
DockSide DockSideAt(const RECT& dockArea, POINT screen, int margin);

class FloatingBarWindow;

class DockToolBar : public ToolBar {
public:
    DockToolBar();
    ~DockToolBar() override;

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create(BarHost& host, UINT id);

    DockSide side() const { return side_; }
    void Dock(DockSide side);
    // Docks to the edge it was docked to last.
    void DockAgain() { Dock(lastDocked_); }
    // Docks to the edge near the screen point `screen`; false, and nothing
    // changes, when no edge is near.
    bool DockNear(POINT screen);
    void Float(POINT screenTopLeft);
    bool IsShown() const;
    void Show(bool on);

    // Docked and shown, the bar takes its edge of `space` (its frame's client
    // coordinates) and gives back the rest; floating or hidden, it takes nothing.
    RECT Layout(const RECT& space);
    // The frame's DPI changed: a docked bar follows it, a floating one keeps
    // that of its own window.
    void FollowFrameDpi(Dpi dpi);
    void SetDpi(Dpi dpi) override;

private:
    Result OnNcCalcSize(WPARAM, LPARAM);
    Result OnNcPaint(WPARAM, LPARAM);
    Result OnNcHitTest(WPARAM, LPARAM);
    Result OnNcLButtonDown(WPARAM, LPARAM);
    Result OnNcLButtonDblClk(WPARAM, LPARAM);
    Result OnMouseMove(WPARAM, LPARAM);
    Result OnLButtonUp(WPARAM, LPARAM);
    Result OnKeyDown(WPARAM, LPARAM);
    Result OnCaptureChanged(WPARAM, LPARAM);

    RECT GripperRect() const;  // in window coordinates
    bool vertical() const { return side_ == DockSide::Left || side_ == DockSide::Right; }
    DockSide SideAt(POINT screen) const;
    // Size the bar takes when docked along a horizontal or vertical edge.
    SIZE DockedSize(bool vertical) const;
    int DockedRows(bool verticalBar) const;
    void DrawDragFrame();
    RECT DragFrameAt(POINT screen) const;
    void EndDrag(bool apply);
    int gripper() const { return dpi().Scale(kGripper); }
    int gripperSpace() const { return dpi().Scale(kGripper + 2); }

    std::unique_ptr<FloatingBarWindow> floatFrame_;  // created on first float
    DockSide side_ = DockSide::Top;
    DockSide lastDocked_ = DockSide::Top;
    bool dragging_ = false;
    bool frameDrawn_ = false;
    RECT dragFrame_{};
    // Sizes at 96 dpi: the gripper, how near an edge a dropped bar docks.
    static constexpr int kGripper = 8;
    static constexpr int kDockMargin = 24;
};

}  // namespace kolt::win
