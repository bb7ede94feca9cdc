// The display scale's arithmetic, without a window: a value kept at the DPI
// it was set at reads as the system's MulDiv would scale it, from the value as
// set whatever was read before, and a toolbar shows the widest picture strip
// that is not wider than its scale asks for.
#include <gtest/gtest.h>

#include <cstdint>

#include "win/dpi_scale.h"
#include "win/image_strip.h"

namespace kolt::win {
namespace {

TEST(Scale, RoundsAsTheSystemsMulDiv) {
    struct Case {
        int value, multiplier, divisor, expected;
    };
    const Case cases[] = {
        {151, 144, 96, 227},  // 226.5: halves away from zero
        {-151, 144, 96, -227}, {3, 1, 2, 2},   {-3, 1, 2, -2},
        {5, 1, 3, 2},          {-5, 1, 3, -2}, {7, 2, -4, -4},  // a negative divisor
        {1, 1, 0, -1},                                          // no divisor
        {INT32_MAX, 2, 1, -1},                                  // beyond 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDivRounded(c.value, c.multiplier, c.divisor), c.expected)
            << c.value << " * " << c.multiplier << " / " << c.divisor;
    EXPECT_EQ(Dpi(144).Scale(7), 11);  // 10.5
    EXPECT_EQ(Dpi(0), Dpi(96));        // no DPI is 100 %
}

struct Rect {
    long left, top, right, bottom;
};
struct Font {
    long lfHeight, lfWidth, lfWeight;
};

TEST(DpiKeptValue, EveryReadScalesTheValueAsSetNeverAnEarlierRead) {
    const DpiKept<int> width(151, Dpi(120));
    // A trip through other scales changes nothing of what is kept.
    for (unsigned dpi : {168u, 144u, 96u, 192u, 120u}) {
        SCOPED_TRACE(dpi);
        EXPECT_EQ(width.At(Dpi(dpi)), MulDivRounded(151, static_cast<int>(dpi), 120));
    }
    EXPECT_EQ(width.At(Dpi(120)), 151);  // back where it was set: the very value
    // Scaled in steps, 102 at 120 dpi would be 122 at 144 and then 81 at 96; from the value as set, 82.
    const DpiKept<int> kept(102, Dpi(120));
    EXPECT_EQ(DpiKept<int>(kept.At(Dpi(144)), Dpi(144)).At(Dpi(96)), 81);
    EXPECT_EQ(kept.At(Dpi(96)), 82);

    // Each part of a rectangle and a font's height and width, nothing else of the font.
    const Rect rect = DpiKept<Rect>({3, 10, 101, 33}, Dpi(96)).At(Dpi(144));
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.top, 15);
    EXPECT_EQ(rect.right, 152);
    EXPECT_EQ(rect.bottom, 50);
    const Font font = DpiKept<Font>({-12, 0, 700}, Dpi(96)).At(Dpi(120));
    EXPECT_EQ(font.lfHeight, -15);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, 700);
}

TEST(PictureStrip, TheWidestThatIsNotWiderThanTheScaleAsks) {
    constexpr ImageStrip base{16, 128};
    constexpr ImageStrip larger[] = {{20, 20}, {24, 24}, {32, 32}, {48, 48}};
    struct Case {
        unsigned dpi;
        unsigned expected;
    };
    const Case cases[] = {{96, 128}, {100, 128}, {120, 20}, {144, 24}, {168, 24},
                          {192, 32}, {240, 32},  {288, 48}, {480, 48}};
    for (const Case& c : cases)
        EXPECT_EQ(ChooseStrip(base, Dpi(c.dpi).Scale(base.width), larger).bitmapId, c.expected) << c.dpi << " dpi";
    // The order of the list does not matter; of two of one width the first listed wins.
    constexpr ImageStrip shuffled[] = {{48, 48}, {24, 24}, {32, 32}, {24, 99}};
    EXPECT_EQ(ChooseStrip(base, 40, shuffled).bitmapId, 32u);
    EXPECT_EQ(ChooseStrip(base, 30, shuffled).bitmapId, 24u);
    EXPECT_EQ(ChooseStrip(base, 15, shuffled).bitmapId, 128u);  // none below: the 96-dpi strip
}

}  // namespace
}  // namespace kolt::win
