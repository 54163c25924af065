// The window in pixels: the design's twips at any resolution, the controls'
// rectangles, the faces' size, the frames' outlines, where the window first
// opens and where an out-of-range warning stands. Pure arithmetic, the same
// for every desktop layer.
#pragma once

#include "mensurel/ui/design.h"

#include <array>

namespace mensurel::ui {

// Twips to pixels at `dpi` dots per inch; at 96 dpi 15 twips make a pixel.
// Rounded to the nearest pixel, halves away from zero (at 96 dpi no twip
// count lies half-way, 15 being odd).
//   twipsToPixels(878) == 59, twipsToPixels(2745) == 183,
//   twipsToPixels(878, 192) == 117
int twipsToPixels(int twips, int dpi = kDesignDpi);

// A size given in pixels at 96 dpi, at `dpi`: the one scaling of every
// length that is not in twips (line widths, insets, picture sizes), rounded
// as twipsToPixels rounds.
//   scaled(1, 144) == 2, scaled(2, 144) == 3, scaled(3, 120) == 4,
//   scaled(400, 192) == 800
int scaled(int pixelsAt96, int dpi);

// A rectangle in pixels: its edges are rounded and the size taken between
// them, so controls that touch in twips touch on the screen.
//   {878, 1560, 2745, 735} -> {59, 104, 183, 49} at 96 dpi
PixelRect toPixels(const TwipRect& rect, int dpi = kDesignDpi);

// Everything a desktop layer needs to place the window's parts at one
// resolution.
struct Layout {
    int dpi = kDesignDpi;
    int clientWidth = 0;
    int clientHeight = 0;
    std::array<PixelRect, kControlCount> controls {}; // in the order of controls()
    int faceScale = 1; // which rendition of the faces to draw: 1, or 2 (the "@2x" one)
    int faceWidth = 0; // the faces' drawn size
    int faceHeight = 0;
};

// The layout at `dpi`. The "@2x" faces are used from 144 dpi (150 %) up.
//   layoutAt(96): client 300 x 176, Command2 {59, 104, 183, 49}, faces 1
//   layoutAt(192): client 600 x 352, Command2 {117, 208, 366, 98}, faces 2
Layout layoutAt(int dpi);

// The four bars that draw a frame's outline inside `frame`, each `lineWidth`
// pixels thick (top, bottom, left, right); the inside is not filled.
//   {7, 8, 289, 92}, 2 -> {7, 8, 289, 2}, {7, 98, 289, 2}, {7, 8, 2, 92},
//                         {294, 8, 2, 92}
std::array<PixelRect, 4> outlineOf(const PixelRect& frame, int lineWidth);

// A frame's line width at `dpi`: its design width scaled, never below one.
int lineWidthAt(const ControlDesign& frame, int dpi);

// Where the client area goes when the window first opens, in pixels: at the
// design position when the whole window, `frame` included, fits inside
// `available`; otherwise the window is centred on `available`, its top-left
// corner kept on it when the window is larger.
PixelPoint firstClientPosition(
    const PixelRect& available, int clientWidth, int clientHeight, const PixelMargins& frame);

// Where the window goes when it moves to a screen of another resolution: the
// rectangle the desktop suggests, unless its size misses the one the new
// layout needs (`frameAtNewDpi`, the whole window at the origin) by more than
// a pixel of rounding; then the suggested position with the needed size.
PixelRect windowAfterDpiChange(const PixelRect& suggested, const PixelRect& frameAtNewDpi);

// Where an out-of-range warning `width` x `height` pixels goes beside the
// field at `field`, all in screen coordinates: below the field, its left
// edge on the field's; above the field when there is no room below; shifted
// left or up as far as needed to stay inside `available`, and never starting
// outside it.
//   field {483, 189, 291, 63}, warning 420 x 60, available {0, 0, 1280, 800}
//     -> {483, 252} (below, left edges aligned)
//   same field and warning, available {0, 0, 800, 300} -> {380, 129}
//     (shifted left to fit, above the field: no room below)
PixelPoint placeWarning(const PixelRect& field, int width, int height, const PixelRect& available);

} // namespace mensurel::ui
