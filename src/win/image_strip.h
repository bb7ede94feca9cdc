// Which picture strip a toolbar shows at a scale. The pictures are drawn for
// a few sizes, never stretched: the bar takes the widest strip that is not
// wider than its scale asks for. Plain arithmetic, no window involved.
#pragma once

#include <span>

namespace kolt::win {

// A bitmap of the toolbar's images: `width` pixels per image, the images side
// by side in the order of the 96-dpi strip.
struct ImageStrip {
    int width;
    unsigned bitmapId;
};

// The strip for images `wanted` pixels wide: the widest of `larger` that is
// wider than `base` (the 96-dpi strip) and not wider than `wanted`; `base`
// when there is none. Of two strips of one width, the first listed.
constexpr ImageStrip ChooseStrip(ImageStrip base, int wanted, std::span<const ImageStrip> larger) {
    ImageStrip chosen = base;
    for (const ImageStrip& strip : larger)
        if (strip.width <= wanted && strip.width > chosen.width) chosen = strip;
    return chosen;
}

}  // namespace kolt::win
