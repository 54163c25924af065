// The window's place on the screens Qt reports: where it first opens, and
// whether it reopens where it was closed (the rules of ui/layout.h and
// ui/place.h). On Wayland the compositor places windows and tells no
// program where: nothing is remembered or restored there.
#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <string>

class QScreen;

namespace mensurel::qt {

// The client area's first position: on the screen at the design position
// (else the main one), at the design position when the window fits there.
QPoint firstClientPosition(const QSize& client);

// The remembered place `text` when the window may reopen there, as the
// screens are now.
std::optional<QPoint> rememberedClientPosition(
    const std::optional<std::string>& text, int clientWidth);

// The place to remember for a client area at `client` on `screen`.
std::optional<std::string> placeOf(const QRect& client, const QScreen* screen);

} // namespace mensurel::qt
