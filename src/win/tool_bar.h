// A flat toolbar with a gripper that the user drags to any edge of its frame
// or off it, where it floats in a small tool window; floating, its buttons
// reflow into as many rows as the window's width asks for. Button clicks,
// tooltips and hot-item changes always go to the frame, wherever the bar is.
// Docked, the bar has its frame's DPI; floating, that of its own window. Its
// images come from the strip drawn for the size nearest below the one the DPI
// asks for, never a stretched one, in the colours of the system's scheme.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "base/owners_win.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kolt::win {

class FrameWindow;

enum class DockSide { Top, Bottom, Left, Right, Floating };

// A bitmap of the toolbar's images drawn at a larger size: `width` pixels per
// image, the images side by side in the order of the 96-dpi strip.
struct ImageStrip {
    int width;
    UINT bitmapId;
};

class DockToolBar : public Window {
public:
    DockToolBar();
    ~DockToolBar() override;

    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    bool Create(FrameWindow& frame, UINT id);
    // Loads a toolbar description (RT_TOOLBAR) and the bitmap of the same id,
    // drawn at the image size the description gives (the size at 96 dpi);
    // `larger` lists the strips drawn for higher DPIs.
    bool LoadToolBar(UINT resourceId, std::vector<ImageStrip> larger = {});
    std::vector<UINT> ButtonIds() const;

    DockSide side() const { return side_; }
    void Dock(DockSide side);
    void Float(POINT screenTopLeft);
    bool IsShown() const;
    void Show(bool on);

    // Size the bar takes when docked along a horizontal or vertical edge.
    SIZE DockedSize(bool vertical) const;
    // Sets the button command-UI states from the frame's route.
    void UpdateButtons();

    Dpi dpi() const { return dpi_; }
    // Lays the bar out and picks its images for a DPI.
    void SetDpi(Dpi dpi);
    // Draws the images again in the system's colours of the moment (the bar
    // does so itself on WM_SYSCOLORCHANGE; its frame forwards that one).
    void RefreshImages();

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
    Result OnSysColorChange(WPARAM, LPARAM);

    RECT GripperRect() const;  // in window coordinates
    bool vertical() const { return side_ == DockSide::Left || side_ == DockSide::Right; }
    void DrawDragFrame();
    RECT DragFrameAt(POINT screen) const;
    // The buttons in `rows` rows: a line break after every so many.
    void LayOutButtons(int rows);
    void WrapButtons(int rows);
    // Measures the buttons' size in every number of rows, for the button
    // size of the moment, then lays them out again as they were.
    void MeasureLayouts();
    SIZE ButtonsSize(int rows) const;  // as measured
    int DockedRows(bool verticalBar) const;
    void EndDrag(bool apply);
    bool LoadImages(bool rebuild = false);
    int gripper() const { return dpi_.Scale(kGripper); }
    int gripperSpace() const { return dpi_.Scale(kGripper + 2); }

    FrameWindow* frame_ = nullptr;
    std::unique_ptr<FloatFrame> floatFrame_;  // created on first float
    DockSide side_ = DockSide::Top;
    DockSide lastDocked_ = DockSide::Top;
    bool dragging_ = false;
    bool frameDrawn_ = false;
    RECT dragFrame_{};
    Dpi dpi_;
    UINT resourceId_ = 0;
    SIZE baseImage_{};  // the image size at 96 dpi
    int imageCount_ = 0;
    std::vector<ImageStrip> strips_;
    UINT stripShown_ = 0;  // the bitmap the images come from
    ImageListHandle images_;
    int rows_ = 1;                   // the rows the buttons are laid out in
    std::vector<SIZE> layoutSizes_;  // the buttons' size in 1, 2, ... rows
    // Sizes at 96 dpi: the gripper, the button's padding around its image,
    // a separator's width.
    static constexpr int kGripper = 8;
    static constexpr SIZE kPadding{7, 6};
    static constexpr int kSeparator = 8;
};

}  // namespace kolt::win
