// What only the Windows window has, beside the window scenarios both
// desktops run (and compiled into the same program, on the same driver):
// the faces made from their resources, the common controls 6 of the
// manifest, the keyboard menus of Windows, the window's limits on a small
// screen, and a change of DPI.
#include "desktop.h"
#include "driver.h"

#include <mensurel/ui/layout.h>
#include <mensurel/win32/faces.h>
#include <mensurel/win32/screens.h>
#include <mensurel/win32/text.h>
#include <mensurel/win32/window.h>

#include <gtest/gtest.h>
#include <resource_ids.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace mensurel::test {

// The window behind a scenario's driver, and one of its controls.
HWND handleOf(const Driver& driver);
HWND handleOf(const Driver& driver, Control control);

namespace {

namespace desk = win32::testing;
using C = ui::Control;

// ---------------------------------------------------------------- faces

// A face drawn 1:1 over a canvas of one colour: the canvas's pixels, row
// by row.
std::vector<COLORREF> drawnOver(
    const win32::FaceBitmap& face, int width, int height, COLORREF under)
{
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    const RECT box { 0, 0, width, height };
    HBRUSH brush = CreateSolidBrush(under);
    FillRect(dc, &box, brush);
    DeleteObject(brush);
    face.drawCentred(dc, box, width, height);
    GdiFlush();
    std::vector<COLORREF> pixels;
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t p = static_cast<const std::uint32_t*>(bits)[i]; // 0x00RRGGBB
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(canvas);
    return pixels;
}

// Windows only: the faces are bitmap resources whose palettes hold
// premultiplied 32-bit pixels, drawn with AlphaBlend. Drawn over two
// colours, each pixel shows either the colour beneath (transparent) or the
// same colour over both (opaque): the pictures, drawn as GIFs, have no
// partial transparency.
TEST(Win32Window, FacesLoadFromTheResourcesWithTheirTransparency)
{
    constexpr COLORREF kUnder[] = { RGB(10, 20, 30), RGB(250, 240, 230) };
    struct Row {
        int id, width, height;
        bool framed; // the hover face has a green frame along its edges
    };
    for (const Row& row :
        { Row { IDB_COMMAND1, 175, 40, false }, Row { IDB_COMMAND1_2X, 350, 80, false },
            Row { IDB_COMMAND2, 175, 40, true }, Row { IDB_COMMAND2_2X, 350, 80, true } }) {
        const auto face = win32::FaceBitmap::load(GetModuleHandleW(nullptr), row.id);
        const auto dark = drawnOver(face, row.width, row.height, kUnder[0]);
        const auto light = drawnOver(face, row.width, row.height, kUnder[1]);
        const int size = row.width * row.height;
        ASSERT_EQ(dark.size(), static_cast<std::size_t>(size));
        ASSERT_EQ(light.size(), static_cast<std::size_t>(size));
        EXPECT_EQ(dark[0], row.framed ? RGB(0, 148, 66) : kUnder[0]) << row.id;
        int opaque = 0;
        int transparent = 0;
        for (int i = 0; i < size; ++i) {
            if (dark[i] == kUnder[0] && light[i] == kUnder[1])
                ++transparent;
            else if (dark[i] == light[i])
                ++opaque;
        }
        EXPECT_EQ(opaque + transparent, size) << row.id << ": partly transparent pixels";
        EXPECT_GT(opaque, size / 10) << row.id;
        EXPECT_GT(transparent, size / 3) << row.id;
    }
}

// Windows only: the manifest asks for common controls 6; only they know
// cue banners.
TEST(Win32Window, UsesTheCommonControls6)
{
    const auto d = openWindow();
    EXPECT_TRUE(
        SendMessageW(handleOf(*d, C::mils), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"")));
}

// Windows only: a menu opened from the keyboard (Shift+F10, Alt+Space) runs
// its own message loop, which takes the releases of the keys that opened
// it; the fields agree once the keys have stopped.
TEST(Win32Window, TheKeyboardMenusTakeTheKeysThatOpenedThem)
{
    const auto chord = [](WORD modifier, WORD key) {
        return [modifier, key] {
            desk::sendKey(modifier, false);
            desk::sendKey(key, false);
            desk::sendKey(key, true);
            desk::sendKey(modifier, true);
        };
    };
    struct Row {
        const char* what;
        std::function<void()> open; // the menu opened from the keyboard
        WORD choice;
        bool thenRightClickPaste;
    };
    const Row rows[] = {
        { "Shift+F10, Paste", chord(VK_SHIFT, VK_F10), 'P', false },
        { "Shift+F10, Escape, then a right-click Paste", chord(VK_SHIFT, VK_F10), VK_ESCAPE, true },
        { "Alt+Space, Escape, then a right-click Paste", chord(VK_MENU, VK_SPACE), VK_ESCAPE,
            true },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto d = openWindow();
        d->setClipboard("2");
        d->focusAndSelectAll(C::mils);
        d->type("5");
        SendMessageW(handleOf(*d, C::mils), EM_SETSEL, 0, -1);
        EXPECT_TRUE(desk::inMenu(row.open, row.choice));
        if (row.thenRightClickPaste) d->choose(C::mils, MenuEntry::Paste);
        d->wait(100);
        EXPECT_EQ(d->text(C::inchs), "0.002");
        EXPECT_EQ(d->text(C::mils), "2");
        EXPECT_EQ(d->text(C::ums), "50.8");
    }
}

// Windows only (WM_GETMINMAXINFO): on a screen smaller than the window the
// system would shrink it to the screen and push its title bar up out of
// reach; it keeps its size instead.
TEST(Win32Window, KeepsItsSizeOnAScreenSmallerThanItself)
{
    const auto d = openWindow();
    const ui::PixelRect box = d->frameOnScreen();
    MINMAXINFO limits {};
    limits.ptMaxTrackSize = { 160, 120 }; // a screen half the window's size
    SendMessageW(handleOf(*d), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_GE(limits.ptMaxTrackSize.x, box.width);
    EXPECT_GE(limits.ptMaxTrackSize.y, box.height);
}

// Windows only: WM_DPICHANGED, on a move to a monitor of another DPI. Wine
// never sends it; the message Windows would send is sent here by hand.
TEST(Win32Window, ADpiChangeLaysTheWindowOutAgain)
{
    const auto d = openWindow();
    RECT suggested { 40, 30, 40 + 700, 30 + 500 };
    SendMessageW(
        handleOf(*d), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    d->wait(30);
    const ui::Layout at192 = ui::layoutAt(192);
    for (const ui::ControlDesign& design : ui::controls()) {
        if (design.kind == ui::ControlKind::Frame) continue;
        EXPECT_EQ(d->rect(design.id), at192.controls[static_cast<std::size_t>(design.id)])
            << design.name;
    }
    LOGFONTW font {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handleOf(*d, C::ums), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(ui::windowDesign().defaultFont.pointSize, 192, 72));
    EXPECT_EQ(d->frameOnScreen().left, 40);
    EXPECT_EQ(d->frameOnScreen().top, 30);
}

// Windows only: a monitor's DPI is the one known from a window on it, or
// else the system's answer (shcore, loaded for it), which for the monitor a
// window is on is that window's DPI.
TEST(Win32Window, AMonitorsDpiIsTheKnownOneOrTheSystems)
{
    const auto d = openWindow();
    const HMONITOR monitor = MonitorFromWindow(handleOf(*d), MONITOR_DEFAULTTONEAREST);
    EXPECT_EQ(win32::dpiOf(monitor, { monitor, 123 }), 123);
    EXPECT_EQ(
        win32::dpiOf(monitor, { nullptr, 123 }), static_cast<int>(GetDpiForWindow(handleOf(*d))));
}

// Windows only (the registry): closed somewhere else, the window opens there
// again; a stored value of the wrong type, or a text that is not a place,
// is passed over and the window opens at its first placement.
TEST(Win32Window, ReopensWhereItWasLeft)
{
    const wchar_t* const key = L"Software\\Mensurel";
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    const auto open = [](const std::function<void(HWND)>& then) {
        win32::Window window;
        ASSERT_TRUE(window.create(GetModuleHandleW(nullptr)));
        window.loadAndShow(SW_SHOWNORMAL);
        desk::pump(50);
        then(window.handle());
        DestroyWindow(window.handle());
        desk::pump(30);
    };
    const auto clientAt = [](HWND window) {
        POINT client {};
        ClientToScreen(window, &client);
        return client;
    };
    POINT first {};
    POINT left {};
    open([&](HWND window) {
        first = clientAt(window);
        SetWindowPos(window, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        desk::pump(30);
        left = clientAt(window);
    });
    ASSERT_NE(left.x, first.x);
    open([&](HWND window) {
        EXPECT_EQ(clientAt(window).x, left.x);
        EXPECT_EQ(clientAt(window).y, left.y);
    });
    HKEY settings = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &settings), ERROR_SUCCESS);
    const DWORD number = 7;
    const wchar_t garbage[] = L"100 80 x";
    for (const bool wrongType : { true, false }) {
        SCOPED_TRACE(wrongType ? "a number" : "not a place");
        if (wrongType)
            RegSetValueExW(settings, L"WindowPlace", 0, REG_DWORD,
                reinterpret_cast<const BYTE*>(&number), sizeof number);
        else
            RegSetValueExW(settings, L"WindowPlace", 0, REG_SZ,
                reinterpret_cast<const BYTE*>(garbage), sizeof garbage);
        open([&](HWND window) {
            EXPECT_EQ(clientAt(window).x, first.x);
            EXPECT_EQ(clientAt(window).y, first.y);
        });
    }
    RegCloseKey(settings);
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
}

} // namespace
} // namespace mensurel::test
