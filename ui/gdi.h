#pragma once
#include <windows.h>

// Owning wrappers for GDI objects and device contexts: each object made for
// drawing is deleted when its wrapper goes, and a selection guard puts the
// previous object back first, so that nothing is deleted while selected.

template <typename GdiHandle> class OwnedGdiObject {
  public:
    explicit OwnedGdiObject(GdiHandle handle) : handle(handle) {}
    ~OwnedGdiObject() {
        if (handle)
            DeleteObject(handle);
    }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
    GdiHandle get() const { return handle; }

  private:
    GdiHandle handle;
};

using OwnedPen = OwnedGdiObject<HPEN>;
using OwnedBrush = OwnedGdiObject<HBRUSH>;

inline OwnedPen solidPen(COLORREF colour) {
    return OwnedPen(CreatePen(PS_SOLID, 1, colour));
}

class SelectionGuard {
  public:
    SelectionGuard(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~SelectionGuard() { SelectObject(dc, previous); }
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;

  private:
    HDC dc;
    HGDIOBJ previous;
};

// The window's device context outside painting (GetDC / ReleaseDC).
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window(window), dc(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window, dc); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc; }

  private:
    HWND window;
    HDC dc;
};

// The device context of a WM_PAINT (BeginPaint / EndPaint).
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window(window), dc(BeginPaint(window, &paint)) {}
    ~PaintDc() { EndPaint(window, &paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc; }

  private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};
