#include "screens.h"

#include "text.h"

#include <mensurel/ui/layout.h>
#include <mensurel/ui/place.h>

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <vector>

namespace mensurel::qt {

namespace {

// Before the window is first shown the window manager's frame is not known
// yet; a usual one is allowed for. The window manager draws it in the
// screen's own pixels, unscaled by Qt, so in the window's scaled pixels it
// is that much smaller.
ui::PixelMargins usualFrameOn(const QScreen& screen)
{
    const double scale = screen.devicePixelRatio();
    const auto unscaled
        = [scale](int pixels) { return static_cast<int>(std::ceil(pixels / scale)); };
    const ui::PixelMargins& usual = ui::windowDesign().frameAllowance;
    return { .left = unscaled(usual.left),
        .top = unscaled(usual.top),
        .right = unscaled(usual.right),
        .bottom = unscaled(usual.bottom) };
}

ui::ScreenArea screenArea(const QScreen& screen)
{
    return { .geometry = toPixelRect(screen.geometry()),
        .available = toPixelRect(screen.availableGeometry()),
        .dpi = static_cast<int>(std::lround(screen.devicePixelRatio() * ui::kDesignDpi)) };
}

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

QPoint firstClientPosition(const QSize& client)
{
    const QRect design = toQRect(ui::toPixels(ui::windowDesign().clientArea));
    const QScreen* screen = QGuiApplication::screenAt(design.topLeft());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return design.topLeft();
    const ui::PixelPoint position
        = ui::firstClientPosition(toPixelRect(screen->availableGeometry()), client.width(),
            client.height(), usualFrameOn(*screen));
    return { position.x, position.y };
}

std::optional<QPoint> rememberedClientPosition(
    const std::optional<std::string>& text, int clientWidth)
{
    const auto place = text && !onWayland() ? ui::readPlace(*text) : std::nullopt;
    if (!place) return std::nullopt;
    std::vector<ui::ScreenArea> screens;
    const QScreen* was = nullptr; // the screen the window was on, if it is still there
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screenArea(*screen));
        if (screens.back().geometry == place->screen) was = screen;
    }
    if (was == nullptr) return std::nullopt;
    const auto client
        = ui::rememberedClientPosition(*place, screens, clientWidth, usualFrameOn(*was));
    if (!client) return std::nullopt;
    return QPoint(client->x, client->y);
}

std::optional<std::string> placeOf(const QRect& client, const QScreen* screen)
{
    if (onWayland() || screen == nullptr) return std::nullopt;
    return ui::placeText({ .client = { client.left(), client.top() },
        .screen = toPixelRect(screen->geometry()),
        .dpi = screenArea(*screen).dpi });
}

} // namespace mensurel::qt
