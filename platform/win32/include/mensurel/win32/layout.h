// The window's geometry at a given DPI, computed from the design tables in
// twips: pure arithmetic, shared by the first layout and WM_DPICHANGED.
#pragma once

#include <mensurel/ui/design.h>

#include <array>

namespace mensurel::win32 {

struct Box {
    int left;
    int top;
    int width;
    int height;
    friend bool operator==(const Box&, const Box&) = default;
};

struct Layout {
    int dpi;
    int clientWidth;
    int clientHeight;
    std::array<Box, 13> controls; // in the order of ui::controls()
    int faceScale; // 1 or 2: which rendition of the button faces to draw
    int faceWidth; // the faces' drawn size in pixels
    int faceHeight;
    int fontPoints; // both fonts: 9 pt at this DPI
};

// Everything positioned and sized for `dpi`.
Layout layoutAt(int dpi);

// The picture rendition for `dpi`: 2 from 144 dpi (150 %) up, else 1.
int faceScaleFor(int dpi);

// Where the window goes on WM_DPICHANGED: the rectangle Windows suggests,
// unless its size misses the client area the layout needs by more than a
// pixel of rounding, in which case the suggested position keeps the size of
// `frameAtNewDpi` (the window rectangle AdjustWindowRectExForDpi gives for
// the new client area, at the origin).
Box windowBoxAfterDpiChange(const Box& suggested, const Box& frameAtNewDpi);

} // namespace mensurel::win32
