#include <mensurel/win32/frames.h>

#include <commctrl.h>

namespace mensurel::win32 {

namespace {

// The subclass id of labelProc.
constexpr UINT_PTR kLabelSubclass = 1;

// After the label has painted itself, the frames' lines over it, in the
// coordinates of its parent's client area.
LRESULT CALLBACK labelProc(
    HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR layout)
{
    const LRESULT result = DefSubclassProc(label, message, wParam, lParam);
    if (message == WM_PAINT) {
        RECT box;
        GetWindowRect(label, &box);
        MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&box), 2);
        HDC dc = GetDC(label);
        SetViewportOrgEx(dc, -box.left, -box.top, nullptr);
        paintFrames(dc, *reinterpret_cast<const ui::Layout*>(layout));
        ReleaseDC(label, dc);
    }
    return result;
}

} // namespace

void paintFrames(HDC dc, const ui::Layout& layout)
{
    const ui::Rgb& colour = ui::windowDesign().frameColour;
    HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
    const auto designs = ui::controls();
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].kind != ui::ControlKind::Frame) continue;
        const int width = ui::lineWidthAt(designs[i], layout.dpi);
        for (const ui::PixelRect& bar : ui::outlineOf(layout.controls[i], width)) {
            const RECT line { bar.left, bar.top, bar.right(), bar.bottom() };
            FillRect(dc, &line, brush);
        }
    }
    DeleteObject(brush);
}

void paintFramesOverLabel(HWND label, const ui::Layout& layout)
{
    SetWindowSubclass(label, labelProc, kLabelSubclass, reinterpret_cast<DWORD_PTR>(&layout));
}

} // namespace mensurel::win32
