#include <mensurel/win32/screens.h>

#include <shellscalingapi.h>

#include <algorithm>

namespace mensurel::win32 {

namespace {

MONITORINFO monitorInfo(HMONITOR monitor)
{
    MONITORINFO info { sizeof info, {}, {}, 0 };
    GetMonitorInfoW(monitor, &info);
    return info;
}

} // namespace

ui::PixelRect toPixelRect(const RECT& r)
{
    return { .left = r.left, .top = r.top, .width = r.right - r.left, .height = r.bottom - r.top };
}

std::vector<ui::ScreenArea> screenAreas()
{
    std::vector<ui::ScreenArea> screens;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM list) {
            const MONITORINFO info = monitorInfo(monitor);
            UINT dpi = ui::kDesignDpi;
            UINT unused = ui::kDesignDpi;
            GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpi, &unused);
            reinterpret_cast<std::vector<ui::ScreenArea>*>(list)->push_back(
                { toPixelRect(info.rcMonitor), toPixelRect(info.rcWork), static_cast<int>(dpi) });
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&screens));
    return screens;
}

ui::PixelRect workAreaAt(POINT point)
{
    return toPixelRect(monitorInfo(MonitorFromPoint(point, MONITOR_DEFAULTTOPRIMARY)).rcWork);
}

void keepSizeOnSmallScreens(MINMAXINFO& limits, const ui::PixelRect& window)
{
    limits.ptMaxTrackSize.x = std::max<LONG>(limits.ptMaxTrackSize.x, window.width);
    limits.ptMaxTrackSize.y = std::max<LONG>(limits.ptMaxTrackSize.y, window.height);
}

ui::RememberedPlace placeOf(HWND window)
{
    POINT client {};
    ClientToScreen(window, &client);
    return { .client = { client.x, client.y },
        .screen
        = toPixelRect(monitorInfo(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)).rcMonitor),
        .dpi = static_cast<int>(GetDpiForWindow(window)) };
}

} // namespace mensurel::win32
