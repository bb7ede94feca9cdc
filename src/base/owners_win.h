// Owners of everything the program opens or borrows from Windows: kernel
// handles, find handles, icons, fonts, bitmaps, image lists, GDI selections,
// device contexts (borrowed and memory ones), COM interfaces, the COM
// apartment and shell item-ID lists. Each gives its
// object back exactly once with the matching function and is never copied.
// A raw handle elsewhere never owns.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shtypes.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace kolt {

// `Close` is the function that gives a handle back (CloseHandle, DeleteObject,
// ...); its result is not looked at: there is nothing to do about a failure.
template <class Handle, auto Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, Handle{}));
        return *this;
    }

    Handle get() const { return handle_; }
    // Kernel calls report failure either as null or as INVALID_HANDLE_VALUE
    // (CreateFile, FindFirstFile, CreateToolhelp32Snapshot): neither is owned.
    explicit operator bool() const {
        if constexpr (std::is_same_v<Handle, HANDLE>) return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
        return handle_ != nullptr;
    }
    Handle release() { return std::exchange(handle_, Handle{}); }
    void reset(Handle h = Handle{}) {
        if (*this) Close(handle_);
        handle_ = h;
    }

private:
    Handle handle_{};
};

using KernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;  // files, events, threads, processes, snapshots
using FindHandle = UniqueHandle<HANDLE, &::FindClose>;
using IconHandle = UniqueHandle<HICON, &::DestroyIcon>;
using FontHandle = UniqueHandle<HFONT, &::DeleteObject>;
using BitmapHandle = UniqueHandle<HBITMAP, &::DeleteObject>;
using ImageListHandle = UniqueHandle<HIMAGELIST, &::ImageList_Destroy>;
using MemoryDc = UniqueHandle<HDC, &::DeleteDC>;  // from CreateCompatibleDC

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

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// An object selected into a device context for one scope; the one it replaced
// is selected back on exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer, released on exit.
struct ReleaseInterface {
    void operator()(IUnknown* unknown) const { unknown->Release(); }
};
template <class Interface>
using ComInterface = std::unique_ptr<Interface, ReleaseInterface>;

// An item-ID list allocated by the shell, freed with CoTaskMemFree.
struct ItemIdListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemIdList = std::unique_ptr<ITEMIDLIST, ItemIdListFree>;

// This thread's single-threaded COM apartment, entered by Enter and left when
// the owner goes, only if entering succeeded.
class ComApartment {
public:
    ComApartment() = default;
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool Enter() {
        if (!entered_) entered_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        return entered_;
    }

private:
    bool entered_ = false;
};

}  // namespace kolt
