// A flat toolbar with a gripper that the user drags to any edge of its frame
// or off it, where it floats in a small tool window; floating, its buttons
// reflow into as many rows as the window's width asks for. Button clicks,
// tooltips and hot-item changes always go to the frame, wherever the bar is.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "win/window.h"

namespace kolt::win {

class FrameWindow;

enum class DockSide { Top, Bottom, Left, Right, Floating };

class DockToolBar : public Window {
public:
    DockToolBar();
    ~DockToolBar() override;

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create(FrameWindow& frame, UINT id);
    // Loads a toolbar description (RT_TOOLBAR) and the bitmap of the same id.
    bool LoadToolBar(UINT resourceId);
    std::vector<UINT> ButtonIds() const;

    DockSide side() const { return side_; }
    void Dock(DockSide side);
    void Float(POINT screenTopLeft);
    bool IsShown() const;
    void Show(bool on);

    // Size the bar takes when docked along a horizontal or vertical edge.
    SIZE DockedSize(bool vertical);
    // Sets the button command-UI states from the frame's route.
    void UpdateButtons();

private:
    class FloatFrame;

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
    void DrawDragFrame();
    RECT DragFrameAt(POINT screen) const;
    SIZE ButtonsSize(int rows);
    void EndDrag(bool apply);

    FrameWindow* frame_ = nullptr;
    std::unique_ptr<FloatFrame> floatFrame_;  // created on first float
    DockSide side_ = DockSide::Top;
    DockSide lastDocked_ = DockSide::Top;
    bool dragging_ = false;
    bool frameDrawn_ = false;
    POINT dragPoint_{};
    RECT dragFrame_{};
    static constexpr int kGripper = 8;
};

}  // namespace kolt::win
