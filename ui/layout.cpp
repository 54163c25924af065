#include "mensurel/ui/layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mensurel::ui {

namespace {

constexpr int kTwipsPerPixelAt96 = kTwipsPerInch / kDesignDpi;
constexpr int kDoubleFacesFromDpi = 144;

} // namespace

int twipsToPixels(int twips, int dpi)
{
    return static_cast<int>(
        std::lround(static_cast<double>(twips) * dpi / static_cast<double>(kTwipsPerInch)));
}

int scaled(int pixelsAt96, int dpi)
{
    return twipsToPixels(pixelsAt96 * kTwipsPerPixelAt96, dpi);
}

PixelRect toPixels(const TwipRect& rect, int dpi)
{
    const int left = twipsToPixels(rect.left, dpi);
    const int top = twipsToPixels(rect.top, dpi);
    const int right = twipsToPixels(rect.left + rect.width, dpi);
    const int bottom = twipsToPixels(rect.top + rect.height, dpi);
    return { .left = left, .top = top, .width = right - left, .height = bottom - top };
}

Layout layoutAt(int dpi)
{
    const WindowDesign& window = windowDesign();
    const PixelRect client = toPixels(window.clientArea, dpi);
    Layout layout { .dpi = dpi,
        .clientWidth = client.width,
        .clientHeight = client.height,
        .faceScale = dpi >= kDoubleFacesFromDpi ? 2 : 1,
        .faceWidth = scaled(window.pictureWidth, dpi),
        .faceHeight = scaled(window.pictureHeight, dpi) };
    const auto designs = controls();
    std::ranges::transform(designs, layout.controls.begin(),
        [dpi](const ControlDesign& c) { return toPixels(c.rect, dpi); });
    return layout;
}

std::array<PixelRect, 4> outlineOf(const PixelRect& frame, int lineWidth)
{
    const PixelRect& r = frame;
    const int w = lineWidth;
    return { {
        { .left = r.left, .top = r.top, .width = r.width, .height = w },
        { .left = r.left, .top = r.bottom() - w, .width = r.width, .height = w },
        { .left = r.left, .top = r.top, .width = w, .height = r.height },
        { .left = r.right() - w, .top = r.top, .width = w, .height = r.height },
    } };
}

int lineWidthAt(const ControlDesign& frame, int dpi)
{
    return std::max(1, scaled(frame.lineWidth, dpi));
}

PixelPoint firstClientPosition(
    const PixelRect& available, int clientWidth, int clientHeight, const PixelMargins& frame)
{
    const PixelRect design = toPixels(windowDesign().clientArea);
    const int wholeWidth = clientWidth + frame.left + frame.right;
    const int wholeHeight = clientHeight + frame.top + frame.bottom;
    const PixelRect atDesign { .left = design.left - frame.left,
        .top = design.top - frame.top,
        .width = wholeWidth,
        .height = wholeHeight };
    if (available.contains(atDesign)) return { .x = design.left, .y = design.top };

    // Centred on the middle pixel of `available`; with an odd leftover the
    // extra pixel goes to the left and top.
    const auto centred = [](int start, int length, int whole) {
        return ((2 * start + length - 1) / 2) - ((whole - 1) / 2);
    };
    const int left = centred(available.left, available.width, wholeWidth);
    const int top = centred(available.top, available.height, wholeHeight);
    return { .x = std::max(left, available.left) + frame.left,
        .y = std::max(top, available.top) + frame.top };
}

PixelRect windowAfterDpiChange(const PixelRect& suggested, const PixelRect& frameAtNewDpi)
{
    if (std::abs(suggested.width - frameAtNewDpi.width) <= 1
        && std::abs(suggested.height - frameAtNewDpi.height) <= 1)
        return suggested;
    return { .left = suggested.left,
        .top = suggested.top,
        .width = frameAtNewDpi.width,
        .height = frameAtNewDpi.height };
}

PixelPoint placeWarning(const PixelRect& field, int width, int height, const PixelRect& available)
{
    int top = field.bottom();
    if (top + height > available.bottom() && field.top - height >= available.top)
        top = field.top - height;
    const int left = std::max(std::min(field.left, available.right() - width), available.left);
    top = std::max(std::min(top, available.bottom() - height), available.top);
    return { .x = left, .y = top };
}

} // namespace mensurel::ui
