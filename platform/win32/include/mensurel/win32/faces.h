// The picture faces of the two buttons, decoded from the program's GIF
// resources into premultiplied 32-bit bitmaps that AlphaBlend draws with
// the button face showing through the transparent pixels.
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

    // Decodes the GIF stored as RCDATA `resourceId` in `module`. Needs COM
    // initialised on the calling thread. An empty bitmap on any failure.
    static FaceBitmap load(HINSTANCE module, int resourceId);

    bool empty() const noexcept { return bitmap_ == nullptr; }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    HBITMAP handle() const noexcept { return bitmap_; }

    // Draws the picture centred in `box` on `dc`, scaled to `drawWidth` x
    // `drawHeight`, blending its transparent pixels with what is there.
    void drawCentred(HDC dc, const RECT& box, int drawWidth, int drawHeight) const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace mensurel::win32
