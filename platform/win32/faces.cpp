#include <mensurel/win32/faces.h>

#include <mensurel/ui/layout.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace mensurel::win32 {

FaceBitmap::FaceBitmap(FaceBitmap&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr))
    , width_(other.width_)
    , height_(other.height_)
{
}

FaceBitmap& FaceBitmap::operator=(FaceBitmap&& other) noexcept
{
    if (this != &other) {
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        width_ = other.width_;
        height_ = other.height_;
    }
    return *this;
}

FaceBitmap::~FaceBitmap()
{
    if (bitmap_) DeleteObject(bitmap_);
}

namespace {

// The focus rectangle's inset on a face, in pixels at 96 dpi.
constexpr int kFocusInset = 3;
// The subclass id of everyClickProc.
constexpr UINT_PTR kEveryClickSubclass = 3;

} // namespace

FaceBitmap FaceBitmap::load(HINSTANCE module, int resourceId)
{
    FaceBitmap face;
    // RT_BITMAP, whose macro is the narrow kind.
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(2));
    const auto* header = found
        ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)))
        : nullptr;
    const DWORD size = header ? SizeofResource(module, found) : 0;
    if (!header || size < sizeof(BITMAPINFOHEADER) || header->biSize != sizeof(BITMAPINFOHEADER)
        || header->biBitCount != 8 || header->biCompression != BI_RGB || header->biClrUsed != 256
        || header->biWidth <= 0 || header->biHeight <= 0)
        return face;
    const auto width = static_cast<std::size_t>(header->biWidth);
    const auto height = static_cast<std::size_t>(header->biHeight);
    const std::size_t stride = (width + 3) / 4 * 4; // rows of whole 32-bit words
    std::array<std::uint32_t, 256> palette {};
    if (size < sizeof(BITMAPINFOHEADER) + sizeof palette + stride * height) return face;
    std::memcpy(palette.data(), header + 1, sizeof palette);
    const auto* indices = reinterpret_cast<const BYTE*>(header + 1) + sizeof palette;

    // 32-bit pixels, rows bottom-up as stored.
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), header->biWidth, header->biHeight, 1, 32, BI_RGB,
        0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return face;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x)
            pixels[(y * width) + x] = palette[indices[(y * stride) + x]];
    }
    face.bitmap_ = bitmap;
    face.width_ = header->biWidth;
    face.height_ = header->biHeight;
    return face;
}

void FaceBitmap::drawCentred(HDC dc, const RECT& box, int drawWidth, int drawHeight) const
{
    if (!bitmap_) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_);
    const int x = box.left + ((box.right - box.left - drawWidth) / 2);
    const int y = box.top + ((box.bottom - box.top - drawHeight) / 2);
    BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    SetStretchBltMode(dc, HALFTONE);
    // AlphaBlend, from gdi32 itself rather than msimg32, which only passes
    // the call on to it.
    GdiAlphaBlend(dc, x, y, drawWidth, drawHeight, source, 0, 0, width_, height_, blend);
    SelectObject(source, old);
    DeleteDC(source);
}

void drawFaceButton(
    const DRAWITEMSTRUCT& item, const FaceBitmap& picture, int drawWidth, int drawHeight, int dpi)
{
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    RECT box = item.rcItem;
    DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    RECT inner = item.rcItem;
    if (pushed) OffsetRect(&inner, 1, 1);
    picture.drawCentred(item.hDC, inner, drawWidth, drawHeight);
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        const int inset = ui::scaled(kFocusInset, dpi);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

namespace {

// The second press of a double-click made a press like the first.
LRESULT CALLBACK everyClickProc(
    HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR /*data*/)
{
    return DefSubclassProc(
        button, message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message, wParam, lParam);
}

} // namespace

void pressOnEveryClick(HWND button)
{
    SetWindowSubclass(button, everyClickProc, kEveryClickSubclass, 0);
}

} // namespace mensurel::win32
