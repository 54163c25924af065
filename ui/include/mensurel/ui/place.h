// Where the window was when it last closed, kept by the desktop between
// runs, and the rule that decides whether it opens there again.
#pragma once

#include "mensurel/ui/design.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mensurel::ui {

// A screen as the desktop reports it now, in the pixels window positions
// are given in.
struct ScreenArea {
    PixelRect geometry; // the whole screen
    PixelRect available; // without task bars and docks
    int dpi = kDesignDpi; // its resolution (96 times its scale)
};

// The window's place when it closed: its client area's top-left corner,
// and the screen it was on, by geometry and resolution.
struct RememberedPlace {
    PixelPoint client;
    PixelRect screen;
    int dpi = kDesignDpi;
    friend bool operator==(const RememberedPlace&, const RememberedPlace&) = default;
};

// The place as one line of text, seven whole numbers: the client corner,
// the screen's rectangle and its resolution.
//   {{466, 414}, {0, 0, 1280, 1024}, 96} -> "466 414 0 0 1280 1024 96"
std::string placeText(const RememberedPlace& place);

// The place a text stores; nothing when the text is not exactly such a line
// (other words, fewer or more numbers, a half-written line, a number beyond
// a million pixels, a screen without area, a resolution outside 24 to
// 2400 dpi).
//   "466 414 0 0 1280 1024 96" -> the place above
//   "466 414 0 0 1280" -> nothing, "466 414 0 0 1280 1024 0" -> nothing
std::optional<RememberedPlace> readPlace(std::string_view text);

// Where the client area goes at start when a place is remembered: there,
// when the screen it was on is still there with the same geometry and
// resolution, and the window's title bar (the top `frame.top` rows of the
// whole window, at least one) lies wholly on the available area of one of
// the screens as they are now, so it can always be grabbed. Nothing
// otherwise: the window then opens at its first placement.
//   place {{466, 414}, {0, 0, 1280, 1024}, 96}, one screen {0, 0, 1280, 1024}
//   at 96 dpi, client 300 wide, frame top 32 -> {466, 414}
//   the same screen at 192 dpi -> nothing (its scale changed)
std::optional<PixelPoint> rememberedClientPosition(const RememberedPlace& place,
    std::span<const ScreenArea> screens, int clientWidth, const PixelMargins& frame);

} // namespace mensurel::ui
