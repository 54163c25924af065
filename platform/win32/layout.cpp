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
    const ui::PixelRect client = ui::ToPixels(ui::kWindow.clientArea, dpi);
    layout.clientWidth = client.width;
    layout.clientHeight = client.height;
    for (std::size_t i = 0; i < ui::kControls.size(); ++i) {
        const ui::PixelRect r = ui::ToPixels(ui::kControls[i].rect, dpi);
        layout.controls[i] = { r.left, r.top, r.width, r.height };
    }
    layout.faceScale = FaceScaleFor(dpi);
    layout.faceWidth = (ui::kWindow.pictureWidth * dpi + 48) / 96;
    layout.faceHeight = (ui::kWindow.pictureHeight * dpi + 48) / 96;
    layout.fontPoints = 9;
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
