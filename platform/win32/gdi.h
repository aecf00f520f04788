#pragma once
#include <utility>

#include <windows.h>

// Owning wrappers for GDI objects and device contexts: each frees what it
// holds when it goes out of scope, so that no path forgets one.

// A pen, brush, bitmap, font or region, deleted with the wrapper. Empty when
// the creating call failed.
template <typename Handle> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset() {
        if (handle_)
            DeleteObject(handle_);
        handle_ = nullptr;
    }

  private:
    Handle handle_ = nullptr;
};

using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;

// A window's device context (GetDC), released with the wrapper.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The device context of a WM_PAINT (BeginPaint), ended with the wrapper.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A memory device context compatible with another, deleted with the wrapper.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back
// when it goes out of scope, so that the object can then be deleted.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Sets a raster operation (SetROP2) and puts the previous one back when it
// goes out of scope.
class RasterMode {
  public:
    RasterMode(HDC dc, int mode) : dc_(dc), previous_(SetROP2(dc, mode)) {}
    ~RasterMode() {
        if (previous_)
            SetROP2(dc_, previous_);
    }
    RasterMode(const RasterMode&) = delete;
    RasterMode& operator=(const RasterMode&) = delete;

  private:
    HDC dc_;
    int previous_;
};

// Clips drawing to a rectangle, and removes the clipping when it goes out of
// scope (a window class with its own device context would keep it).
class ClippedTo {
  public:
    ClippedTo(HDC dc, const RECT& area) : dc_(dc) {
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
    ~ClippedTo() { SelectClipRgn(dc_, nullptr); }
    ClippedTo(const ClippedTo&) = delete;
    ClippedTo& operator=(const ClippedTo&) = delete;

  private:
    HDC dc_;
};

// Draws scaled by numerator / denominator on both axes with the origin moved to
// (originX, originY) in device pixels, and puts the device context's state back
// when it goes out of scope. Pens of width 0 stay one device pixel wide.
class ScaledDrawing {
  public:
    ScaledDrawing(HDC dc, int numerator, int denominator, int originX, int originY)
        : dc_(dc), saved_(SaveDC(dc)) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, denominator, denominator, nullptr);
        SetViewportExtEx(dc, numerator, numerator, nullptr);
        SetViewportOrgEx(dc, originX, originY, nullptr);
    }
    ~ScaledDrawing() {
        if (saved_)
            RestoreDC(dc_, saved_);
    }
    ScaledDrawing(const ScaledDrawing&) = delete;
    ScaledDrawing& operator=(const ScaledDrawing&) = delete;

  private:
    HDC dc_;
    int saved_;
};
