#include <mensurel/win32/screens.h>

#include <mensurel/win32/system.h>

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

int dpiOf(HMONITOR monitor, const KnownDpi& known)
{
    if (monitor == known.monitor) return known.dpi;
    static auto* const getDpi
        = systemFunction<decltype(GetDpiForMonitor)>(L"shcore.dll", "GetDpiForMonitor");
    UINT dpi = 0;
    UINT unused = 0;
    return getDpi && SUCCEEDED(getDpi(monitor, MDT_EFFECTIVE_DPI, &dpi, &unused))
        ? static_cast<int>(dpi)
        : known.dpi;
}

std::vector<ui::ScreenArea> screenAreas(const KnownDpi& known)
{
    struct Walk {
        const KnownDpi& known;
        std::vector<ui::ScreenArea> screens;
    } walk { known, {} };
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) {
            auto& walk = *reinterpret_cast<Walk*>(data);
            const MONITORINFO info = monitorInfo(monitor);
            walk.screens.push_back({ toPixelRect(info.rcMonitor), toPixelRect(info.rcWork),
                dpiOf(monitor, walk.known) });
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.screens;
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
