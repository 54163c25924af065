// The monitors as the window's placement rules (ui/layout.h, ui/place.h)
// see them.
#pragma once

#include <mensurel/ui/place.h>

#include <windows.h>

#include <vector>

namespace mensurel::win32 {

ui::PixelRect toPixelRect(const RECT& r);

// Every monitor: its rectangle, its work area and its DPI.
std::vector<ui::ScreenArea> screenAreas();

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
