// A flat toolbar: the buttons of a toolbar resource, laid out in as many rows
// as its owner asks for, each button enabled and checked as the frame's
// command route says, its pictures drawn for its DPI (tool_bar_images.h).
// Button clicks, tooltips and hot-item changes go to the frame, wherever the
// bar is. Docking and floating are DockToolBar's (dock_bar.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "win/bar_host.h"
#include "win/dpi.h"
#include "win/tool_bar_images.h"
#include "win/window.h"

namespace kolt::win {

class ToolBar : public Window {
public:
    static const MessageMap& Messages();
    const MessageMap& GetMessageMap() const override { return Messages(); }

    // A toolbar control inside the host's window, of the host's DPI, with
    // `extraStyle` besides the flat, tooltip-showing style.
    bool Create(BarHost& host, UINT id, DWORD extraStyle = 0);
    // Loads a toolbar description (RT_TOOLBAR) and the bitmap of the same id,
    // drawn at the image size the description gives (the size at 96 dpi);
    // `larger` lists the strips drawn for higher DPIs.
    bool LoadToolBar(UINT resourceId, std::vector<ImageStrip> larger = {});
    // The command ids of the buttons, separators left out.
    std::vector<UINT> ButtonIds() const;

    // Sets the buttons' command-UI states from the host's route.
    void UpdateButtons();

    Dpi dpi() const { return dpi_; }
    // Picks the pictures and lays the buttons out again for a DPI.
    virtual void SetDpi(Dpi dpi);
    // Draws the images again in the system's colours of the moment (the bar
    // does so itself on WM_SYSCOLORCHANGE; its frame forwards that one).
    void RefreshImages();

    // From now on the buttons are laid out in `rows` rows (at least one).
    void LayOutInRows(int rows);
    int rows() const { return rows_; }
    // The buttons' size in `rows` rows, as measured for the button size of
    // the moment; more rows than buttons lay out as one button a row.
    SIZE ButtonsSize(int rows) const;
    // The number of buttons that are not separators.
    int buttonCount() const { return static_cast<int>(layoutSizes_.size()); }

protected:
    BarHost& host() const { return *host_; }

private:
    Result OnSysColorChange(WPARAM, LPARAM);

    // Every item of the bar, separators included, in their order: the one
    // list of the buttons that everything else here walks.
    std::vector<TBBUTTON> Items() const;
    // Sets the line breaks for `rows` rows without keeping them as the
    // layout (the measuring goes through every number of rows).
    void BreakLinesFor(int rows);
    // Measures the buttons' size in every number of rows, for the button
    // size of the moment, then breaks the lines again for the layout.
    void MeasureLayouts();
    // The pictures for the DPI, and the button size that goes with them.
    bool ApplyImages(bool redraw);

    BarHost* host_ = nullptr;
    Dpi dpi_;
    ToolBarImages images_;
    int rows_ = 1;                   // the rows the buttons are laid out in
    std::vector<SIZE> layoutSizes_;  // the buttons' size in 1, 2, ... rows
    // Sizes at 96 dpi: the button's padding around its image, a separator's width.
    static constexpr SIZE kPadding{7, 6};
    static constexpr int kSeparator = 8;
};

}  // namespace kolt::win
