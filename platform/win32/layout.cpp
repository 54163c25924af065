#include <mensurel/win32/layout.h>

#include <cstdlib>

namespace mensurel::win32 {

int faceScaleFor(int dpi)
{
    return dpi >= 144 ? 2 : 1;
}

Layout layoutAt(int dpi)
{
    Layout layout {};
    layout.dpi = dpi;
    const ui::WindowDesign& window = ui::windowDesign();
    const ui::PixelRect client = ui::toPixels(window.clientArea, dpi);
    layout.clientWidth = client.width;
    layout.clientHeight = client.height;
    const auto controls = ui::controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ui::PixelRect r = ui::toPixels(controls[i].rect, dpi);
        layout.controls[i] = { r.left, r.top, r.width, r.height };
    }
    layout.faceScale = faceScaleFor(dpi);
    layout.faceWidth = (window.pictureWidth * dpi + ui::kDesignDpi / 2) / ui::kDesignDpi;
    layout.faceHeight = (window.pictureHeight * dpi + ui::kDesignDpi / 2) / ui::kDesignDpi;
    layout.fontPoints = window.defaultFont.pointSize;
    return layout;
}

Box windowBoxAfterDpiChange(const Box& suggested, const Box& frameAtNewDpi)
{
    if (std::abs(suggested.width - frameAtNewDpi.width) <= 1
        && std::abs(suggested.height - frameAtNewDpi.height) <= 1)
        return suggested;
    return { suggested.left, suggested.top, frameAtNewDpi.width, frameAtNewDpi.height };
}

} // namespace mensurel::win32
