// The two frames: outlines painted on the window surface in the design's
// colour, their line width scaled with the DPI, never controls.
#pragma once

#include <mensurel/ui/layout.h>

#include <windows.h>

namespace mensurel::win32 {

// Paints both frames' outlines of `layout` on `dc`, whose origin is the
// client area's.
void paintFrames(HDC dc, const ui::Layout& layout);

// Labels are opaque in the 3D-face colour; where a frame's line runs under a
// label ("Mm" covers one column of the inner frame), the label draws that
// part of the line over itself, so the line stays unbroken. `layout`, the
// window's, must outlive the label.
void paintFramesOverLabel(HWND label, const ui::Layout& layout);

} // namespace mensurel::win32
