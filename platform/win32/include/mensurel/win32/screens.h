// The monitors as the window's placement rules (ui/layout.h, ui/place.h)
// see them.
#pragma once

#include <mensurel/ui/place.h>

#include <windows.h>

#include <vector>

namespace mensurel::win32 {

ui::PixelRect toPixelRect(const RECT& r);

// A monitor whose DPI is known without asking: a window on it has it
// (GetDpiForWindow). Any other monitor's DPI is the shell's scaling API's
// (shcore's GetDpiForMonitor), so a window on one monitor never loads it.
struct KnownDpi {
    HMONITOR monitor = nullptr;
    int dpi = ui::kDesignDpi;
};

// The DPI of `monitor`: `known.dpi` when it is the known one, otherwise the
// shell's (`known.dpi` should the shell not tell).
int dpiOf(HMONITOR monitor, const KnownDpi& known);

// Every monitor: its rectangle, its work area and its DPI (dpiOf).
std::vector<ui::ScreenArea> screenAreas(const KnownDpi& known);

// The work area of the monitor at `point`, or of the main one when no
// monitor is there.
ui::PixelRect workAreaAt(POINT point);

// The window keeps its size even on a screen smaller than it (`window`:
// its whole rectangle): shrunk to the screen, the system would also move
// it up, title bar and all, out of reach. Placed by the first-placement
// rule, it runs off the bottom or the right instead.
void keepSizeOnSmallScreens(MINMAXINFO& limits, const ui::PixelRect& window);

// Where `window`'s client area is, on which monitor, at which DPI.
ui::RememberedPlace placeOf(HWND window);

} // namespace mensurel::win32
