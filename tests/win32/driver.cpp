// The window scenarios' driver over the real Win32 window, built in this
// process as the program builds it and driven with SendInput through the
// program's own message handling (handleMessage). Runs under Wine and Xvfb
// in the test command.
#include "driver.h"
#include "desktop.h"

#include <mensurel/ui/layout.h>
#include <mensurel/win32/text.h>
#include <mensurel/win32/window.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <chrono>
#include <cstdlib>
#include <optional>

namespace mensurel::test {

namespace {

namespace desk = win32::testing;
using win32::narrow;
using win32::widen;
using win32::windowText;

ui::PixelRect toPixelRect(const RECT& r)
{
    return { .left = r.left, .top = r.top, .width = r.right - r.left, .height = r.bottom - r.top };
}

// Wine answers E_NOTIMPL to the annotations (IAccPropServices) the window
// sets, so what a screen reader would read of them cannot be read back
// there; Windows' own names for the buttons, their captions, can.
bool underWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// A property of a control as a screen reader reads it (Active
// Accessibility), if the control has it.
std::optional<std::string> accessible(
    HWND control, HRESULT (__stdcall IAccessible::*property)(VARIANT, BSTR*))
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
            IID_IAccessible, reinterpret_cast<void**>(&object))))
        return std::nullopt;
    VARIANT self {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT result = (object->*property)(self, &text);
    object->Release();
    if (result != S_OK || !text) return std::nullopt;
    std::string value = narrow(text);
    SysFreeString(text);
    return value;
}

// The key a scenario names: its virtual key, and whether it is one of the
// extended keys (the arrows and the keypad's Enter share their scan codes
// with other keys).
std::pair<WORD, bool> virtualKey(Key key)
{
    switch (key) {
    case Key::Return: return { VK_RETURN, false };
    case Key::KeypadEnter: return { VK_RETURN, true };
    case Key::Space: return { VK_SPACE, false };
    case Key::Tab: return { VK_TAB, false };
    case Key::Shift: return { VK_SHIFT, false };
    case Key::Control: return { VK_CONTROL, false };
    case Key::Escape: return { VK_ESCAPE, false };
    case Key::Backspace: return { VK_BACK, false };
    case Key::Left: return { VK_LEFT, true };
    case Key::Right: return { VK_RIGHT, true };
    case Key::Digit5: return { '5', false };
    case Key::Digit7: return { '7', false };
    case Key::V: return { 'V', false };
    }
    return { 0, false };
}

// The context menu's entries by their access keys, the same in Windows'
// and Wine's menus.
WORD accessKey(MenuEntry entry)
{
    switch (entry) {
    case MenuEntry::Undo: return 'U';
    case MenuEntry::Cut: return 'T';
    case MenuEntry::Paste: return 'P';
    case MenuEntry::Delete: return 'D';
    case MenuEntry::SelectAll: return 'A';
    }
    return 0;
}

// The tooltip windows of this thread.
std::vector<HWND> toolTipWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM list) {
            wchar_t name[32] {};
            GetClassNameW(w, name, 32);
            if (std::wstring(name) == TOOLTIPS_CLASSW)
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string toolText(HWND tips, TOOLINFOW tool)
{
    wchar_t text[1024] {};
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return narrow(text);
}

class Win32Driver final : public Driver {
public:
    explicit Win32Driver(const Options& options)
        : window_({ .launch =
                        [this, works = options.launchWorks](const std::wstring& address) {
                            launches_.push_back(narrow(address));
                            return works;
                        },
              .currentYear
              = [year = options.year] { return year != 0 ? year : win32::localYear(); },
              // Each window opens at its first placement and keeps nothing.
              .loadPlace = [] { return std::optional<std::string>(); },
              .savePlace = [](const std::string&) {} })
    {
    }

    ~Win32Driver() override
    {
        if (window_.handle()) DestroyWindow(window_.handle());
        if (other_) DestroyWindow(other_);
        // Takes the quit message the window posts at its end, which would
        // otherwise end the next window's message boxes.
        desk::pump(30);
    }

    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;

    bool open()
    {
        SetCursorPos(2, GetSystemMetrics(SM_CYSCREEN) - 2);
        desk::pump(20);
        if (!window_.create(GetModuleHandleW(nullptr))) return false;
        window_.loadAndShow(SW_SHOWNORMAL);
        SetForegroundWindow(window_.handle());
        const bool active
            = desk::pumpUntil([&] { return GetForegroundWindow() == window_.handle(); });
        desk::pump(100);
        // Run again with the system at another DPI, the window must come up
        // at that one.
        if (const char* dpi = std::getenv("MENSUREL_TEST_DPI")) {
            EXPECT_EQ(layoutDpi(), std::atoi(dpi));
        }
        return active;
    }

    void type(std::string_view text) override { desk::typeText(text); }

    void key(Key key, bool down) override
    {
        const auto [vk, extended] = virtualKey(key);
        desk::sendKey(vk, !down, extended);
        desk::pump(30);
    }

    // Windows repeats a held key itself; SendInput does not: the presses
    // come here at about the keyboard's rate.
    void hold(Key key, int ms) override
    {
        const auto [vk, extended] = virtualKey(key);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            desk::sendKey(vk, false, extended);
            desk::pump(33);
        } while (std::chrono::steady_clock::now() < end);
        desk::sendKey(vk, true, extended);
        desk::pump(30);
    }

    // The clicks are queued at once, as quick clicks reach a busy window: a
    // message box that the first one opens takes the window's input.
    void click(Control control, int times) override
    {
        movePointer(centreOf(control));
        for (int i = 0; i < times; ++i) {
            desk::mouseButton(false, false);
            desk::mouseButton(false, true);
        }
        desk::pump(100);
    }

    void movePointer(ui::PixelPoint client) override
    {
        POINT at { client.x, client.y };
        ClientToScreen(window_.handle(), &at);
        desk::movePointer(at);
        desk::pump(80);
    }

    void leftButton(bool down) override
    {
        desk::mouseButton(false, !down);
        desk::pump(60);
    }

    void choose(Control field, MenuEntry entry) override
    {
        const bool opened = desk::inMenu(
            [&] {
                movePointer(centreOf(field));
                desk::mouseButton(true, false);
                desk::mouseButton(true, true);
                desk::pump(60);
            },
            accessKey(entry));
        EXPECT_TRUE(opened) << "no context menu opened";
    }

    void focusAndSelectAll(Control field) override
    {
        SetFocus(window_.control(field));
        SendMessageW(window_.control(field), EM_SETSEL, 0, -1);
        desk::pump(20);
    }

    void focus(Control control) override
    {
        SetFocus(window_.control(control));
        desk::pump(20);
    }

    void setClipboard(const std::string& text) override { desk::setClipboard(widen(text)); }

    void setTextFromOutside(Control field, const std::string& text) override
    {
        const std::wstring wide = widen(text);
        SendMessageW(window_.control(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        desk::pump(30);
    }

    void moveWindowBy(int dx, int dy) override
    {
        RECT frame;
        GetWindowRect(window_.handle(), &frame);
        SetWindowPos(window_.handle(), nullptr, frame.left + dx, frame.top + dy, 0, 0,
            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        desk::pump(100);
    }

    void minimise() override
    {
        ShowWindow(window_.handle(), SW_MINIMIZE);
        desk::pump(200);
    }

    // A plain window of this test made the active one, as another program
    // brought to the front.
    void activateAnotherWindow() override
    {
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MensurelScenarioOther";
        RegisterClassExW(&windowClass);
        other_ = CreateWindowExW(0, windowClass.lpszClassName, L"Another program",
            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 240, 120, nullptr, nullptr,
            windowClass.hInstance, nullptr);
        SetForegroundWindow(other_);
        EXPECT_TRUE(desk::pumpUntil([&] { return GetForegroundWindow() == other_; }));
        desk::pump(100);
    }

    void wait(int ms) override { desk::pump(ms); }

    [[nodiscard]] int layoutDpi() const override
    {
        return static_cast<int>(GetDpiForWindow(window_.handle()));
    }

    [[nodiscard]] bool exists(Control control) const override
    {
        return window_.control(control) != nullptr;
    }

    [[nodiscard]] ui::PixelRect rect(Control control) const override
    {
        if (!exists(control)) return {};
        RECT r;
        GetWindowRect(window_.control(control), &r);
        MapWindowPoints(nullptr, window_.handle(), reinterpret_cast<POINT*>(&r), 2);
        return toPixelRect(r);
    }

    [[nodiscard]] ui::PixelRect onScreen(Control control) const override
    {
        RECT r {};
        if (exists(control)) GetWindowRect(window_.control(control), &r);
        return toPixelRect(r);
    }

    [[nodiscard]] ui::PixelRect clientOnScreen() const override
    {
        RECT client;
        GetClientRect(window_.handle(), &client);
        MapWindowPoints(window_.handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        return toPixelRect(client);
    }

    [[nodiscard]] ui::PixelRect frameOnScreen() const override
    {
        RECT frame;
        GetWindowRect(window_.handle(), &frame);
        return toPixelRect(frame);
    }

    [[nodiscard]] ui::PixelRect available() const override
    {
        MONITORINFO monitor { sizeof monitor, {}, {}, 0 };
        GetMonitorInfoW(MonitorFromWindow(window_.handle(), MONITOR_DEFAULTTONEAREST), &monitor);
        return toPixelRect(monitor.rcWork);
    }

    [[nodiscard]] std::string title() const override { return windowText(window_.handle()); }

    [[nodiscard]] bool resizable() const override
    {
        return (GetWindowLongPtrW(window_.handle(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX))
            != 0;
    }

    [[nodiscard]] bool hasIcon() const override
    {
        return GetClassLongPtrW(window_.handle(), GCLP_HICON) != 0
            || SendMessageW(window_.handle(), WM_GETICON, ICON_BIG, 0) != 0;
    }

    [[nodiscard]] std::string text(Control control) const override
    {
        return exists(control) ? windowText(window_.control(control)) : std::string();
    }

    // The text of the control's tool in the tooltips; the warning's tool,
    // tracking, is not one of them.
    [[nodiscard]] std::string toolTip(Control control) const override
    {
        if (!exists(control)) return {};
        for (HWND tips : toolTipWindows()) {
            TOOLINFOW tool {};
            tool.cbSize = sizeof tool;
            tool.hwnd = window_.handle();
            tool.uId = reinterpret_cast<UINT_PTR>(window_.control(control));
            if (SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))
                && (tool.uFlags & TTF_TRACK) == 0)
                return toolText(tips, tool);
        }
        return {};
    }

    [[nodiscard]] std::optional<std::string> accessibleName(Control control) const override
    {
        if (!exists(control) || (ui::fieldOf(control) && underWine())) return std::nullopt;
        return accessible(window_.control(control), &IAccessible::get_accName);
    }

    [[nodiscard]] std::optional<std::string> description(Control field) const override
    {
        if (!exists(field) || underWine()) return std::nullopt;
        return accessible(window_.control(field), &IAccessible::get_accDescription)
            .value_or(std::string());
    }

    // The face the control's font was given, as the font mapper chose it.
    [[nodiscard]] FontSeen font(Control control) const override
    {
        HWND hwnd = window_.control(control);
        auto* const font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        if (!font) return {}; // the control was given none
        LOGFONTW design {};
        GetObjectW(font, sizeof design, &design);
        HDC dc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        return { .family = narrow(face),
            .pointSize = MulDiv(-design.lfHeight, 72, layoutDpi()),
            .bold = metrics.tmWeight >= FW_BOLD };
    }

    [[nodiscard]] int textWidth(Control control) const override
    {
        HWND hwnd = window_.control(control);
        const std::wstring text = widen(windowText(hwnd));
        HDC dc = GetDC(hwnd);
        HGDIOBJ old
            = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SIZE size {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        return size.cx;
    }

    [[nodiscard]] bool visible(Control control) const override
    {
        return exists(control) && IsWindowVisible(window_.control(control));
    }

    [[nodiscard]] std::optional<Control> focused() const override { return controlOf(GetFocus()); }

    [[nodiscard]] std::optional<Control> controlAt(ui::PixelPoint client) const override
    {
        return controlOf(
            ChildWindowFromPointEx(window_.handle(), { client.x, client.y }, CWP_SKIPINVISIBLE));
    }

    // One window pixel is one screen pixel; read from the window's surface
    // once every part of it has painted.
    [[nodiscard]] std::vector<ui::Rgb> colours(ui::PixelPoint client) const override
    {
        RedrawWindow(window_.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = GetDC(window_.handle());
        const COLORREF pixel = GetPixel(dc, client.x, client.y);
        ReleaseDC(window_.handle(), dc);
        return { rgbOf(pixel) };
    }

    [[nodiscard]] ui::Rgb surfaceColour() const override
    {
        return rgbOf(GetSysColor(COLOR_BTNFACE));
    }

    // The warning: the tooltip window with a tracking tool, while shown.
    [[nodiscard]] std::optional<WarningSeen> warning() const override
    {
        for (HWND tips : toolTipWindows()) {
            TOOLINFOW tool {};
            tool.cbSize = sizeof tool;
            if (!IsWindowVisible(tips)
                || !SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))
                || (tool.uFlags & TTF_TRACK) == 0)
                continue;
            RECT shown;
            GetWindowRect(tips, &shown);
            return WarningSeen { .text = toolText(tips, tool), .onScreen = toPixelRect(shown) };
        }
        return std::nullopt;
    }

    [[nodiscard]] std::vector<std::string> launches() const override { return launches_; }

    [[nodiscard]] const win32::Window& window() const { return window_; }

    [[nodiscard]] std::vector<BoxSeen> boxes() const override
    {
        std::vector<BoxSeen> seen;
        for (const auto& box : boxes_.boxes())
            seen.push_back({ .text = box.text,
                .keptUntilClosed = box.keptUntilClosed,
                .anotherOpen = box.anotherOpen });
        return seen;
    }

private:
    static ui::Rgb rgbOf(COLORREF colour)
    {
        return { GetRValue(colour), GetGValue(colour), GetBValue(colour) };
    }

    std::optional<Control> controlOf(HWND hwnd) const
    {
        if (!hwnd) return std::nullopt;
        for (const ui::ControlDesign& design : ui::controls()) {
            if (window_.control(design.id) == hwnd) return design.id;
        }
        return std::nullopt;
    }

    ui::PixelPoint centreOf(Control control) const
    {
        const ui::PixelRect r = rect(control);
        return { r.left + (r.width / 2), r.top + (r.height / 2) };
    }

    std::vector<std::string> launches_;
    desk::BoxWatcher boxes_ { GetCurrentThreadId() };
    HWND other_ = nullptr;
    win32::Window window_;
};

} // namespace

HWND handleOf(const Driver& driver)
{
    return dynamic_cast<const Win32Driver&>(driver).window().handle();
}

HWND handleOf(const Driver& driver, Control control)
{
    return dynamic_cast<const Win32Driver&>(driver).window().control(control);
}

std::unique_ptr<Driver> openWindow(const Options& options)
{
    auto driver = std::make_unique<Win32Driver>(options);
    EXPECT_TRUE(driver->open()) << "the window did not open or did not become active";
    return driver;
}

} // namespace mensurel::test

int main(int argc, char** argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
