#include <mensurel/win32/layout.h>

#include <cstdlib>

namespace mensurel::win32 {

int FaceScaleFor(int dpi)
{
    return dpi >= 144 ? 2 : 1;
}

Layout LayoutAt(int dpi)
{
    Layout layout {};
    layout.dpi = dpi;
    const ui::WindowDesign& window = ui::Window();
    const ui::PixelRect client = ui::ToPixels(window.clientArea, dpi);
    layout.clientWidth = client.width;
    layout.clientHeight = client.height;
    const auto controls = ui::Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ui::PixelRect r = ui::ToPixels(controls[i].rect, dpi);
        layout.controls[i] = { r.left, r.top, r.width, r.height };
    }
    layout.faceScale = FaceScaleFor(dpi);
    layout.faceWidth = (window.pictureWidth * dpi + ui::kDesignDpi / 2) / ui::kDesignDpi;
    layout.faceHeight = (window.pictureHeight * dpi + ui::kDesignDpi / 2) / ui::kDesignDpi;
    layout.fontPoints = window.defaultFont.pointSize;
    return layout;
}

Box WindowBoxAfterDpiChange(const Box& suggested, const Box& frameAtNewDpi)
{
    if (std::abs(suggested.width - frameAtNewDpi.width) <= 1
        && std::abs(suggested.height - frameAtNewDpi.height) <= 1)
        return suggested;
    return { suggested.left, suggested.top, frameAtNewDpi.width, frameAtNewDpi.height };
}

} // namespace mensurel::win32
