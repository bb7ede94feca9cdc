// Owners for the handles the program opens: each closes its handle exactly
// once with the matching function. Raw handles elsewhere never own.
#pragma once

#include <windows.h>

#include <utility>

namespace kolt::win {

template <class Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Invalid));
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }
    Handle release() { return std::exchange(handle_, Invalid); }
    void Reset(Handle h = Invalid) {
        if (handle_ != Invalid) Close(handle_);
        handle_ = h;
    }

private:
    Handle handle_ = Invalid;
};

namespace detail {
inline void CloseKernel(HANDLE h) {
    ::CloseHandle(h);
}
inline void DestroyIconHandle(HICON h) {
    ::DestroyIcon(h);
}
inline void DestroyMenuHandle(HMENU h) {
    ::DestroyMenu(h);
}
inline void DestroyAccel(HACCEL h) {
    ::DestroyAcceleratorTable(h);
}
inline void DeleteBitmapObject(HBITMAP h) {
    ::DeleteObject(h);
}
inline void DeleteFontObject(HFONT h) {
    ::DeleteObject(h);
}
inline void DeleteBrushObject(HBRUSH h) {
    ::DeleteObject(h);
}
}  // namespace detail

using KernelHandle = UniqueHandle<HANDLE, detail::CloseKernel>;  // events, threads, processes
using IconHandle = UniqueHandle<HICON, detail::DestroyIconHandle>;
using MenuHandle = UniqueHandle<HMENU, detail::DestroyMenuHandle>;
using AccelHandle = UniqueHandle<HACCEL, detail::DestroyAccel>;
using BitmapHandle = UniqueHandle<HBITMAP, detail::DeleteBitmapObject>;
using FontHandle = UniqueHandle<HFONT, detail::DeleteFontObject>;
using BrushHandle = UniqueHandle<HBRUSH, detail::DeleteBrushObject>;

// A device context borrowed with GetDC/GetWindowDC, given back on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd, bool wholeWindow = false)
        : hwnd_(hwnd), dc_(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintDc() { EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

}  // namespace kolt::win
