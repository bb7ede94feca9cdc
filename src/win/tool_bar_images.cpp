#include "win/tool_bar_images.h"

#include <utility>

namespace kolt::win {
namespace {

// The toolbar pictures in the colours of the scheme of the moment, as the
// system maps a toolbar bitmap: black to the button text, dark grey to the
// shadow, light grey to the face, white to the highlight. Every strip is a
// 16-colour bitmap (res/icons/make_images.py), so the mapping is one of its
// colour table. The light grey, which no picture uses, is the mask, taken
// before the mapping: the face can be any colour, black under high contrast.
ImageListHandle MappedImages(UINT bitmapId, int width, int count) {
    BitmapHandle strip(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!strip || !GetObjectW(strip.get(), sizeof info, &info) || info.bmBitsPixel > 8 || info.bmWidth < width * count)
        return {};
    const MemoryDc source(CreateCompatibleDC(nullptr));
    const MemoryDc target(CreateCompatibleDC(nullptr));
    BitmapHandle mask(CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr));
    if (!source || !target || !mask) return {};
    constexpr COLORREF kFace = RGB(192, 192, 192);
    {
        const SelectedObject from(source.get(), strip.get());
        const SelectedObject to(target.get(), mask.get());
        // Colour to monochrome: the background colour becomes 1, transparent.
        SetBkColor(source.get(), kFace);
        BitBlt(target.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);

        RGBQUAD table[256]{};
        const UINT entries = GetDIBColorTable(source.get(), 0, 256, table);
        for (UINT i = 0; i < entries; ++i) {
            const COLORREF colour = RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
            // The masked pixels black, as an image list draws them.
            COLORREF mapped = colour == kFace                ? RGB(0, 0, 0)
                              : colour == RGB(0, 0, 0)       ? GetSysColor(COLOR_BTNTEXT)
                              : colour == RGB(128, 128, 128) ? GetSysColor(COLOR_BTNSHADOW)
                              : colour == RGB(255, 255, 255) ? GetSysColor(COLOR_BTNHIGHLIGHT)
                                                             : colour;
            table[i] = {GetBValue(mapped), GetGValue(mapped), GetRValue(mapped), 0};
        }
        if (entries == 0 || SetDIBColorTable(source.get(), 0, entries, table) != entries) return {};
    }
    ImageListHandle list(ImageList_Create(width, info.bmHeight, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!list || ImageList_Add(list.get(), strip.get(), mask.get()) < 0) return {};
    return list;
}

}  // namespace

void ToolBarImages::Define(ImageStrip base, int count, std::vector<ImageStrip> larger) {
    base_ = base;
    count_ = count;
    larger_ = std::move(larger);
    list_.reset();
    shown_ = 0;
}

bool ToolBarImages::ApplyTo(HWND bar, Dpi dpi, bool redraw) {
    const ImageStrip strip = ChooseStrip(base_, dpi.Scale(base_.width), larger_);
    if (list_ && strip.bitmapId == shown_ && !redraw) return true;
    ImageListHandle list = MappedImages(strip.bitmapId, strip.width, count_);
    int width = 0, height = 0;
    if (!list || !ImageList_GetIconSize(list.get(), &width, &height)) return false;
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
    list_ = std::move(list);  // the bar no longer uses the old list
    shown_ = strip.bitmapId;
    return true;
}

SIZE ToolBarImages::imageSize() const {
    int width = 0, height = 0;
    if (list_) ImageList_GetIconSize(list_.get(), &width, &height);
    return {width, height};
}

}  // namespace kolt::win
