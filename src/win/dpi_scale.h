// The arithmetic of the display scale, with no window involved: the Dpi value
// that every 96-dpi size is scaled with, and DpiKept, a value kept at the DPI
// it was set at. dpi.h, which holds the Windows half, includes this.
#pragma once

#include <cstdint>
#include <type_traits>

namespace kolt::win {

inline constexpr unsigned kBaseDpi = 96;

// value * multiplier / divisor, rounded to the nearest integer, halves away
// from zero, as the system's MulDiv rounds (and -1 where it gives -1: a zero
// divisor or a result beyond 32 bits).
constexpr int MulDivRounded(int value, int multiplier, int divisor) {
    if (divisor == 0) return -1;
    if (divisor < 0) {
        value = -value;
        divisor = -divisor;
    }
    const std::int64_t product = static_cast<std::int64_t>(value) * multiplier;
    const std::int64_t result = (product >= 0 ? product + divisor / 2 : product - divisor / 2) / divisor;
    return result > INT32_MAX || result < -INT32_MAX ? -1 : static_cast<int>(result);
}

class Dpi {
public:
    constexpr Dpi() = default;
    constexpr explicit Dpi(unsigned dpi) : dpi_(dpi ? dpi : kBaseDpi) {}

    constexpr unsigned value() const { return dpi_; }
    // A 96-dpi size at this DPI; rounded to the nearest pixel, halves away from zero.
    constexpr int Scale(int size96) const { return MulDivRounded(size96, static_cast<int>(dpi_), kBaseDpi); }
    // A system metric (SM_CXICON, SM_CXVSCROLL, ...) at this DPI (dpi.cpp).
    int Metric(int index) const;

    constexpr bool operator==(const Dpi&) const = default;

private:
    unsigned dpi_ = kBaseDpi;
};

// A size at DPI `from` made a size at DPI `to`.
constexpr int ScaleBetween(int value, Dpi from, Dpi to) {
    return MulDivRounded(value, static_cast<int>(to.value()), static_cast<int>(from.value()));
}
namespace detail {
template <class T, class... Parts>
constexpr T ScaleParts(T value, Dpi from, Dpi to, Parts... parts) {
    ((value.*parts = ScaleBetween(static_cast<int>(value.*parts), from, to)), ...);
    return value;
}
}  // namespace detail
// The parts of a point (x, y), a size (cx, cy), a rectangle or a font
// description (its height and width, nothing else of it).
template <class T>
requires(!std::is_arithmetic_v<T>) constexpr T ScaleBetween(T value, Dpi from, Dpi to) {
    if constexpr (requires { value.lfHeight; })
        return detail::ScaleParts(value, from, to, &T::lfHeight, &T::lfWidth);
    else if constexpr (requires { value.left; })
        return detail::ScaleParts(value, from, to, &T::left, &T::top, &T::right, &T::bottom);
    else if constexpr (requires { value.cx; })
        return detail::ScaleParts(value, from, to, &T::cx, &T::cy);
    else
        return detail::ScaleParts(value, from, to, &T::x, &T::y);
}

// A value kept at the DPI it was set at (a width the user dragged to, a
// scroll position, where a template put a control, a font) and read at any
// DPI. Every read scales the value as it was set, never an earlier read: so
// after any trip through other scales the window looks exactly as one change
// would leave it, and back at the DPI it was set at the value is the very one
// set. This is why the window is pixel-identical after any sequence of
// display changes.
template <class T>
class DpiKept {
public:
    constexpr DpiKept() = default;
    constexpr DpiKept(T value, Dpi setAt) : value_(value), setAt_(setAt) {}

    constexpr T At(Dpi dpi) const { return ScaleBetween(value_, setAt_, dpi); }
    constexpr Dpi setAt() const { return setAt_; }

private:
    T value_{};
    Dpi setAt_;
};

}  // namespace kolt::win
