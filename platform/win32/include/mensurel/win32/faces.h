// The picture faces of the two buttons, made from the program's bitmap
// resources into premultiplied 32-bit bitmaps that AlphaBlend draws with the
// button face showing through the transparent pixels, and the owner-drawn
// buttons that show them.
#pragma once

#include <windows.h>

namespace mensurel::win32 {

class FaceBitmap {
public:
    FaceBitmap() = default;
    FaceBitmap(const FaceBitmap&) = delete;
    FaceBitmap& operator=(const FaceBitmap&) = delete;
    FaceBitmap(FaceBitmap&& other) noexcept;
    FaceBitmap& operator=(FaceBitmap&& other) noexcept;
    ~FaceBitmap();

    // The bitmap resource `resourceId` of `module`: 8 bits a pixel, its
    // 256-entry palette holding the 32-bit pixels to draw (alpha in the
    // fourth byte, the colour premultiplied by it), so each pixel is looked
    // up, not decoded. A bitmap that draws nothing when there is no such
    // resource.
    static FaceBitmap load(HINSTANCE module, int resourceId);

    // Whether there is a picture to draw.
    explicit operator bool() const noexcept { return bitmap_ != nullptr; }

    // Draws the picture centred in `box` on `dc`, scaled to `drawWidth` x
    // `drawHeight`, blending its transparent pixels with what is there.
    void drawCentred(HDC dc, const RECT& box, int drawWidth, int drawHeight) const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Draws an owner-drawn face button: the 3D face, pushed while pressed, the
// picture centred on it at `drawWidth` x `drawHeight`, and the focus
// rectangle inset as designed at `dpi`.
void drawFaceButton(
    const DRAWITEMSTRUCT& item, const FaceBitmap& picture, int drawWidth, int drawHeight, int dpi);

// An owner-drawn button turns the second click of a double-click into
// BN_DOUBLECLICKED, without pressing the button. This makes every click of
// `button` a press, so it shows pushed and clicks at the release.
void pressOnEveryClick(HWND button);

} // namespace mensurel::win32
