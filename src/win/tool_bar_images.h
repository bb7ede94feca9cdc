// A toolbar's pictures as an image list: the strip drawn for the bar's scale
// (ChooseStrip), in the colours of the system's scheme of the moment.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "base/owners_win.h"
#include "win/dpi.h"
#include "win/image_strip.h"

namespace kolt::win {

class ToolBarImages {
public:
    // `base`: the 96-dpi strip, `count` images of `base.width` pixels;
    // `larger`: the strips drawn for higher scales.
    void Define(ImageStrip base, int count, std::vector<ImageStrip> larger);

    // Gives toolbar `bar` the list for `dpi`, made anew when there is none,
    // when the strip to show changes, or when `redraw` asks for the scheme's
    // colours of the moment. False when no list could be made: the bar keeps
    // the one it has, if any.
    bool ApplyTo(HWND bar, Dpi dpi, bool redraw);
    // The size of one image of the list the bar has.
    SIZE imageSize() const;

private:
    ImageStrip base_{};
    int count_ = 0;
    std::vector<ImageStrip> larger_;
    unsigned shown_ = 0;  // the bitmap the list comes from
    ImageListHandle list_;
};

}  // namespace kolt::win
