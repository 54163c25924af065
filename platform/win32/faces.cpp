#include <mensurel/win32/faces.h>

#include <mensurel/ui/layout.h>

#include <commctrl.h>
#include <wincodec.h>

#include <cstring>
#include <span>
#include <utility>

namespace mensurel::win32 {

namespace {

// Releases a COM interface pointer at the end of a scope.
template<class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr()
    {
        if (p_) p_->Release();
    }
    T** out() noexcept { return &p_; }
    T* operator->() const noexcept { return p_; }
    T* get() const noexcept { return p_; }

private:
    T* p_ = nullptr;
};

} // namespace

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

// Resources of type RCDATA (RT_RCDATA, whose macro is the narrow kind).
const LPCWSTR kRawData = MAKEINTRESOURCEW(10);
// The focus rectangle's inset on a face, in pixels at 96 dpi.
constexpr int kFocusInset = 3;
// The subclass id of everyClickProc.
constexpr UINT_PTR kEveryClickSubclass = 3;

// The bytes of RCDATA `resourceId` in `module`; empty when there is none.
std::span<BYTE> rawResource(HINSTANCE module, int resourceId)
{
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), kRawData);
    if (!info) return {};
    auto* bytes = static_cast<BYTE*>(LockResource(LoadResource(module, info)));
    const DWORD size = SizeofResource(module, info);
    if (!bytes) return {};
    return { bytes, size };
}

// The picture in `bytes` decoded by WIC and converted to premultiplied
// 32-bit pixels; false on any failure.
bool decode(std::span<BYTE> bytes, ComPtr<IWICFormatConverter>& converter)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    return !bytes.empty()
        && SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
            IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())))
        && SUCCEEDED(factory->CreateStream(stream.out()))
        && SUCCEEDED(stream->InitializeFromMemory(bytes.data(), static_cast<DWORD>(bytes.size())))
        && SUCCEEDED(factory->CreateDecoderFromStream(
            stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out()))
        && SUCCEEDED(decoder->GetFrame(0, frame.out()))
        && SUCCEEDED(factory->CreateFormatConverter(converter.out()))
        && SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
            WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom));
}

} // namespace

FaceBitmap FaceBitmap::load(HINSTANCE module, int resourceId)
{
    FaceBitmap face;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (!decode(rawResource(module, resourceId), converter)
        || FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0)
        return face;

    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) return face;
    const UINT stride = width * 4;
    if (FAILED(
            converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) {
        DeleteObject(bitmap);
        return face;
    }
    face.bitmap_ = bitmap;
    face.width_ = static_cast<int>(width);
    face.height_ = static_cast<int>(height);
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
    AlphaBlend(dc, x, y, drawWidth, drawHeight, source, 0, 0, width_, height_, blend);
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
