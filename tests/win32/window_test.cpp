// The Win32 window built for real, in this process, and driven with real
// input (SendInput) through its own message translation. Runs under Wine and
// Xvfb in the test command; every case opens a fresh window.
#include <mensurel/convert.h>
#include <mensurel/ui/design.h>
#include <mensurel/ui/layout.h>
#include <mensurel/win32/faces.h>
#include <mensurel/win32/fonts.h>
#include <mensurel/win32/text.h>
#include <mensurel/win32/window.h>

#include <gtest/gtest.h>
#include <resource_ids.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using mensurel::FieldTexts;
using mensurel::UnitField;
using mensurel::win32::Form1Window;
using mensurel::win32::narrow;
using mensurel::win32::widen;
namespace ui = mensurel::ui;
using C = ui::Control;
using Rect = ui::PixelRect;

// The DPI the window must come up at: 96 unless a parent test set another in
// the registry before starting this process.
int expectedDpi()
{
    const char* value = std::getenv("MENSUREL_TEST_DPI");
    return value ? std::atoi(value) : 96;
}

std::string textOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return narrow(text);
}

Rect childBox(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return { r.left, r.top, r.right - r.left, r.bottom - r.top };
}

// The tooltip windows of this thread: the controls' tips, or the warning's
// balloon.
HWND toolTipWindow(bool balloon)
{
    struct Search {
        bool balloon;
        HWND found;
    } search { balloon, nullptr };
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[32] {};
            GetClassNameW(w, name, 32);
            const bool isBalloon = (GetWindowLongPtrW(w, GWL_STYLE) & TTS_BALLOON) != 0;
            if (std::wstring(name) == TOOLTIPS_CLASSW && isBalloon == s->balloon) s->found = w;
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_.setLauncher([this](const std::wstring& address) {
            launched_.push_back(narrow(address));
            return launchWorks_;
        });
        window_.setReporter([this](HWND, const std::wstring& text, ui::MessageIcon) {
            reported_.push_back(narrow(text));
        });
        // The pointer starts away from the window, as if the user had not
        // moved it over the window yet.
        SetCursorPos(2, GetSystemMetrics(SM_CYSCREEN) - 2);
        pump(20);
        ASSERT_TRUE(window_.create(GetModuleHandleW(nullptr)));
        window_.loadAndShow(SW_SHOWNORMAL);
        SetForegroundWindow(window_.handle());
        ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == window_.handle(); }));
        pump(100);
    }

    void TearDown() override
    {
        if (window_.handle()) DestroyWindow(window_.handle());
        pump(20);
    }

    // Runs the window's message translation for `ms` milliseconds.
    void pump(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (window_.handle())
                    window_.preTranslate(message);
                else {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } while (std::chrono::steady_clock::now() < end);
    }

    template<class Condition> bool pumpUntil(Condition done, int ms = 3000)
    {
        for (int waited = 0; waited < ms; waited += 10) {
            if (done()) return true;
            pump(10);
        }
        return done();
    }

    static void key(WORD vk, bool up, bool unicode = false, wchar_t ch = 0)
    {
        INPUT input {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = unicode ? 0 : vk;
        input.ki.wScan = unicode ? ch : static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (unicode ? KEYEVENTF_UNICODE : 0);
        SendInput(1, &input, sizeof input);
    }

    void press(WORD vk)
    {
        key(vk, false);
        key(vk, true);
        pump(30);
    }

    void chord(WORD modifier, WORD vk)
    {
        key(modifier, false);
        key(vk, false);
        key(vk, true);
        key(modifier, true);
        pump(50);
    }

    // Types `text` key by key, as a user would.
    void typeText(std::string_view text)
    {
        for (const char c : text) {
            WORD vk = 0;
            if (c >= '0' && c <= '9') vk = static_cast<WORD>(c);
            if (c >= 'a' && c <= 'z') vk = static_cast<WORD>(c - 'a' + 'A');
            if (c == '.') vk = VK_OEM_PERIOD;
            if (c == '-') vk = VK_OEM_MINUS;
            if (c == ' ') vk = VK_SPACE;
            if (vk) {
                key(vk, false);
                key(vk, true);
            } else {
                key(0, false, true, static_cast<wchar_t>(c));
                key(0, true, true, static_cast<wchar_t>(c));
            }
            pump(10);
        }
        pump(60);
    }

    // Moves the pointer to client point (x, y) of the window.
    void moveTo(int x, int y)
    {
        POINT p { x, y };
        ClientToScreen(window_.handle(), &p);
        INPUT input {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(p.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        input.mi.dy = MulDiv(p.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        pump(80);
    }

    // Moves the pointer over the middle of a control.
    void moveOnto(C which)
    {
        const Rect b = childBox(window_.control(which));
        moveTo(b.left + b.width / 2, b.top + b.height / 2);
    }

    // A point of the bare window surface: between the outer frame and the
    // buttons.
    void moveToSurface()
    {
        const Rect outer = window_.layout().controls[static_cast<std::size_t>(C::Shape1)];
        const Rect button = childBox(window_.control(C::Command1));
        moveTo(button.left - 10, (outer.top + outer.height + button.top) / 2);
    }

    void focusAndSelectAll(C which)
    {
        HWND field = window_.control(which);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
        pump(20);
    }

    bool visible(C which) { return IsWindowVisible(window_.control(which)) != 0; }

    // Presses and releases a mouse button over the middle of a control.
    void clickOn(C which, bool right = false)
    {
        moveOnto(which);
        for (const DWORD flag : { right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN,
                 right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP }) {
            INPUT input {};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flag;
            SendInput(1, &input, sizeof input);
        }
        pump(60);
    }

    // Runs `open`, which opens a menu, and chooses `choice` in it. A menu runs
    // its own message loop, which holds this thread until it closes: the
    // choice is typed from another thread once the menu shows.
    template<class Open> void inMenu(Open open, WORD choice)
    {
        const DWORD thread = GetCurrentThreadId();
        const auto inMenuMode = [thread] {
            GUITHREADINFO info { sizeof info, 0, {}, {}, {}, {}, {}, {}, {} };
            return GetGUIThreadInfo(thread, &info)
                && (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
        };
        bool opened = false;
        std::thread chooser([&] {
            for (int waited = 0; waited < 3000 && !opened; waited += 10) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                opened = inMenuMode();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            key(choice, false);
            key(choice, true);
            // A menu the choice did not close would hold the test forever.
            for (int waited = 0; waited < 2000 && inMenuMode(); waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            while (inMenuMode()) {
                key(VK_ESCAPE, false);
                key(VK_ESCAPE, true);
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
        });
        open();
        pump(300);
        chooser.join();
        pump(50);
        EXPECT_TRUE(opened) << "no menu opened";
    }

    static void setClipboard(const std::wstring& text)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }

    FieldTexts fields()
    {
        return { textOf(window_.control(C::inchs)), textOf(window_.control(C::mils)),
            textOf(window_.control(C::mm)), textOf(window_.control(C::ums)) };
    }

    Form1Window window_;
    std::vector<std::string> launched_;
    std::vector<std::string> reported_;
    bool launchWorks_ = true;
};

// ---------------------------------------------------------------- faces

// The pixel at (x, y) of a decoded face: blue, green, red, alpha, the colour
// premultiplied by alpha.
std::array<int, 4> pixelAt(const mensurel::win32::FaceBitmap& face, int x, int y)
{
    DIBSECTION dib {};
    if (GetObjectW(face.handle(), sizeof dib, &dib) != sizeof dib) return {};
    const auto* row = static_cast<const BYTE*>(dib.dsBm.bmBits) + y * dib.dsBm.bmWidthBytes;
    return { row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3] };
}

TEST(Faces, DecodeFromTheResourcesWithTheirTransparency)
{
    struct Row {
        int id, width, height;
        bool framed; // the hover face has a green frame along its edges
    };
    for (const Row& row :
        { Row { IDR_COMMAND1_GIF, 175, 40, false }, Row { IDR_COMMAND1_2X_GIF, 350, 80, false },
            Row { IDR_COMMAND2_GIF, 175, 40, true }, Row { IDR_COMMAND2_2X_GIF, 350, 80, true } }) {
        const auto face = mensurel::win32::FaceBitmap::load(GetModuleHandleW(nullptr), row.id);
        ASSERT_FALSE(face.empty()) << row.id;
        EXPECT_EQ(face.width(), row.width);
        EXPECT_EQ(face.height(), row.height);
        const std::array<int, 4> corner = pixelAt(face, 0, 0);
        if (row.framed)
            EXPECT_EQ(corner, (std::array<int, 4> { 66, 148, 0, 255 })) << row.id;
        else
            EXPECT_EQ(corner, (std::array<int, 4> { 0, 0, 0, 0 })) << row.id;
        // Some pixels of the wordmark are wholly opaque green, the others
        // around it wholly transparent: GIF has no partial transparency.
        int opaque = 0;
        int transparent = 0;
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x) {
                const int alpha = pixelAt(face, x, y)[3];
                ASSERT_TRUE(alpha == 0 || alpha == 255);
                (alpha == 0 ? transparent : opaque)++;
            }
        }
        EXPECT_GT(opaque, face.width() * face.height() / 10) << row.id;
        EXPECT_GT(transparent, face.width() * face.height() / 3) << row.id;
    }
}

// ---------------------------------------------------------------- the window

// Controls where the design puts them, at 96 dpi and at 192 dpi.
struct PlacedRow {
    C control;
    Rect at96;
    Rect at192;
};
constexpr PlacedRow kPlaced[] = {
    { C::Command2, { 59, 104, 183, 49 }, { 117, 208, 366, 98 } },
    { C::mils, { 23, 24, 97, 21 }, { 46, 48, 194, 43 } },
    { C::ums, { 161, 63, 97, 22 }, { 322, 126, 194, 44 } },
    { C::Label1, { 56, 160, 198, 17 }, { 112, 320, 396, 34 } },
    { C::english, { 127, 29, 25, 17 }, { 254, 58, 50, 34 } },
};

TEST_F(WindowTest, GeometryFollowsTheDesignAtTheSystemDpi)
{
    const int dpi = expectedDpi();
    ASSERT_EQ(static_cast<int>(GetDpiForWindow(window_.handle())), dpi);
    RECT client;
    GetClientRect(window_.handle(), &client);
    EXPECT_EQ(client.right, 300 * dpi / 96);
    EXPECT_EQ(client.bottom, 176 * dpi / 96);
    for (const auto& design : ui::controls())
        EXPECT_EQ(window_.control(design.id) == nullptr, design.kind == ui::ControlKind::Frame)
            << design.name;
    for (const PlacedRow& row : kPlaced)
        EXPECT_EQ(childBox(window_.control(row.control)), dpi == 192 ? row.at192 : row.at96)
            << ui::designOf(row.control).name;

    const LONG_PTR style = GetWindowLongPtrW(window_.handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_NE(GetClassLongPtrW(window_.handle(), GCLP_HICON), 0);
    EXPECT_EQ(textOf(window_.handle()), "Mensurel");
    // The manifest's common controls 6 are in use: only they know cue banners.
    EXPECT_TRUE(SendMessageW(
        window_.control(C::mils), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"")));

    // The fields' font is a Chinese-capable typeface at 9 pt at this DPI;
    // the unit labels Arial 9 pt bold.
    LOGFONTW font {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_.control(C::mils), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
    EXPECT_TRUE(std::ranges::any_of(mensurel::win32::kChineseTypefaces,
        [&](const wchar_t* typeface) { return std::wstring(font.lfFaceName) == typeface; }));
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_.control(C::Inch), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
}

TEST_F(WindowTest, StartsWithTheDesignTextsAndTheFocusInMils)
{
    EXPECT_EQ(fields(), (FieldTexts { "0.001", "1.0000", "0.0254", "25.4000" }));
    const std::pair<C, const char*> labels[]
        = { { C::english, "Mil" }, { C::metric, "Mm" }, { C::Inch, "Inch" }, { C::Um, "um" } };
    for (const auto& [label, text] : labels) EXPECT_EQ(textOf(window_.control(label)), text);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string notice = textOf(window_.control(C::Label1));
    EXPECT_EQ(notice.substr(notice.size() - 7), " - " + std::to_string(now.wYear));
    EXPECT_TRUE(notice.starts_with("Brantovel 版权所有 (C) 2003 - ")) << notice;
    EXPECT_EQ(GetFocus(), window_.control(C::mils));
    // Both faces are shown at start, Command2 above Command1.
    EXPECT_TRUE(visible(C::Command1));
    EXPECT_TRUE(visible(C::Command2));
    HWND tips = toolTipWindow(false);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 6);

    wchar_t tip[256] {};
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_.handle();
    tool.uId = reinterpret_cast<UINT_PTR>(window_.control(C::Command2));
    tool.lpszText = tip;
    SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(narrow(tip), "更多资讯请访问" + ui::siteHost());
}

TEST_F(WindowTest, TabVisitsFieldsThenTheVisibleFaceAndSkipsLabels)
{
    moveToSurface(); // Command1 shown, Command2 hidden
    ASSERT_FALSE(visible(C::Command2));
    std::vector<HWND> visited { GetFocus() };
    for (int i = 0; i < 5; ++i) {
        press(VK_TAB);
        visited.push_back(GetFocus());
    }
    const std::vector<HWND> expected { window_.control(C::mils), window_.control(C::mm),
        window_.control(C::inchs), window_.control(C::ums), window_.control(C::Command1),
        window_.control(C::mils) };
    EXPECT_EQ(visited, expected);
    // Shift+Tab goes back.
    chord(VK_SHIFT, VK_TAB);
    EXPECT_EQ(GetFocus(), window_.control(C::Command1));
}

// Keys typed into each field reach that field's procedure: the field keeps
// what was typed and the three others are rewritten (the values are the
// conversion's own business).
TEST_F(WindowTest, TypingInAFieldRewritesTheThreeOthers)
{
    const std::pair<UnitField, const char*> rows[] = { { UnitField::mm, "1.50" },
        { UnitField::inchs, "1" }, { UnitField::mils, "-2" }, { UnitField::ums, "3" } };
    for (const auto& [field, text] : rows) {
        const FieldTexts before = fields();
        focusAndSelectAll(ui::controlOf(field));
        typeText(text);
        const FieldTexts after = fields();
        for (const UnitField other : ui::kUnitFields) {
            if (other == field)
                EXPECT_EQ(after[other], text);
            else
                EXPECT_NE(after[other], before[other]) << text;
        }
    }
}

// A paste longer than the edit control's default limit is kept whole and
// converted whole: "1", 40,000 blanks, "5" reads 15 mm.
TEST_F(WindowTest, ALongPasteIsKeptWholeAndConverted)
{
    setClipboard(L"1" + std::wstring(40000, L' ') + L"5");
    focusAndSelectAll(C::mm);
    chord(VK_CONTROL, 'V');
    EXPECT_TRUE(pumpUntil([&] { return GetWindowTextLengthW(window_.control(C::mm)) == 40002; }));
    EXPECT_EQ(fields().mils, "590.5512");
}

// A paste from the field's context menu changes the text without a key:
// it converts all the same, once; the program's own writes do not.
TEST_F(WindowTest, AnEditWithoutAKeyConverts)
{
    setClipboard(L"2");

    focusAndSelectAll(C::mm);
    SendMessageW(window_.control(C::mm), WM_PASTE, 0, 0);
    pump(30);
    EXPECT_EQ(fields(), (FieldTexts { "0.0787", "78.7402", "2", "2000.0000" }));
}

// However the keys go, once the user stops the three other fields show the
// conversion of the text last changed: a key still down when the focus
// moves on, releases a menu takes for itself.
TEST_F(WindowTest, TheFieldsAgreeWhateverBecameOfTheKeys)
{
    const auto keys = [](std::initializer_list<std::pair<WORD, bool>> presses) {
        for (const auto& [vk, up] : presses) key(vk, up);
    };
    // "5" selected in mils, "2" on the clipboard.
    const auto shiftF10 = [&] {
        SendMessageW(window_.control(C::mils), EM_SETSEL, 0, -1);
        keys({ { VK_SHIFT, false }, { VK_F10, false }, { VK_F10, true }, { VK_SHIFT, true } });
    };
    const auto altSpace = [&] {
        SendMessageW(window_.control(C::mils), EM_SETSEL, 0, -1);
        keys({ { VK_MENU, false }, { VK_SPACE, false }, { VK_SPACE, true }, { VK_MENU, true } });
    };
    const auto rightClickPaste = [&] { inMenu([&] { clickOn(C::mils, true); }, 'P'); };
    struct Row {
        const char* what;
        UnitField field;
        const char* before; // typed first, converted
        std::function<void()> act;
        FieldTexts after; // inchs, mils, mm, ums
    };
    const FieldTexts mils17 { "0.017", "17", "0.4318", "431.7998" };
    const FieldTexts mils2 { "0.002", "2", "0.0508", "50.8" };
    const Row rows[] = {
        { "7 held over Tab out of mils", UnitField::mils, "1",
            [&] { keys({ { '7', false }, { VK_TAB, false }, { '7', true }, { VK_TAB, true } }); },
            mils17 },
        { "7 held over Shift+Tab out of ums", UnitField::ums, "1",
            [&] {
                keys({ { '7', false }, { VK_SHIFT, false }, { VK_TAB, false }, { '7', true },
                    { VK_TAB, true }, { VK_SHIFT, true } });
            },
            { "0.0007", "0.6693", "0.017", "17" } },
        { "a click into mm while 7 is down in mils", UnitField::mils, "1",
            [&] {
                key('7', false);
                pump(30);
                clickOn(C::mm);
                key('7', true);
            },
            mils17 },
        { "Shift+F10, Paste", UnitField::mils, "5", [&] { inMenu(shiftF10, 'P'); }, mils2 },
        { "Shift+F10, Escape, then a right-click Paste", UnitField::mils, "5",
            [&] {
                inMenu(shiftF10, VK_ESCAPE);
                rightClickPaste();
            },
            mils2 },
        { "Alt+Space, Escape, then a right-click Paste", UnitField::mils, "5",
            [&] {
                inMenu(altSpace, VK_ESCAPE);
                rightClickPaste();
            },
            mils2 },
        { "another program sets inchs while 5 is down in mils", UnitField::mils, "1",
            [&] {
                key('5', false);
                pump(30);
                SendMessageW(
                    window_.control(C::inchs), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0.00004"));
                pump(30);
                key('5', true);
            },
            { "0.00004", "0.04", "0.001", "1.016" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        setClipboard(L"2");
        focusAndSelectAll(ui::controlOf(row.field));
        typeText(row.before);
        row.act();
        pump(100);
        EXPECT_EQ(fields(), row.after);
    }
}

TEST_F(WindowTest, OutOfRangeKeepsTheFieldsAndShowsTheWarningAtTheField)
{
    focusAndSelectAll(C::mils);
    typeText("1e3");
    FieldTexts before = fields();
    HWND balloon = toolTipWindow(true);
    EXPECT_FALSE(IsWindowVisible(balloon));
    typeText("00"); // 1e300 mils is beyond the fixed-point range
    before.mils = "1e300";
    EXPECT_EQ(fields(), before);
    EXPECT_TRUE(IsWindowVisible(balloon));
    RECT tip;
    RECT mils;
    GetWindowRect(balloon, &tip);
    GetWindowRect(window_.control(C::mils), &mils);
    EXPECT_LT(tip.left, mils.right); // by the field
    EXPECT_EQ(GetFocus(), window_.control(C::mils)); // the warning takes no focus

    // Escape closes the warning; the fields stay as they are.
    press(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(balloon));
    EXPECT_EQ(fields(), before);

    focusAndSelectAll(C::mils);
    typeText("5");
    EXPECT_FALSE(IsWindowVisible(balloon));
    EXPECT_EQ(fields(), (FieldTexts { "0.005", "5", "0.127", "126.9999" }));
}

TEST_F(WindowTest, HoverSwapsTheFacesOnlyOverCommand1AndTheSurface)
{
    moveToSurface();
    EXPECT_TRUE(visible(C::Command1));
    EXPECT_FALSE(visible(C::Command2));
    moveOnto(C::Command1);
    EXPECT_FALSE(visible(C::Command1));
    EXPECT_TRUE(visible(C::Command2));
    // Over a label, a field or Command2 itself nothing changes.
    for (const C other : { C::Label1, C::mm, C::Um, C::Command2 }) {
        moveOnto(other);
        EXPECT_TRUE(visible(C::Command2)) << ui::designOf(other).name;
        EXPECT_FALSE(visible(C::Command1)) << ui::designOf(other).name;
    }
    // A frame's line counts as the surface.
    const Rect outer = window_.layout().controls[static_cast<std::size_t>(C::Shape1)];
    moveTo(outer.left, outer.top + outer.height / 2);
    EXPECT_TRUE(visible(C::Command1));
    EXPECT_FALSE(visible(C::Command2));
}

TEST_F(WindowTest, TheFocusStaysOnTheFaceAcrossTheSwap)
{
    moveToSurface();
    SetFocus(window_.control(C::Command1));
    pump(20);
    moveOnto(C::Command1);
    EXPECT_TRUE(visible(C::Command2));
    EXPECT_EQ(GetFocus(), window_.control(C::Command2));
    moveToSurface();
    EXPECT_EQ(GetFocus(), window_.control(C::Command1));
}

TEST_F(WindowTest, ReturnOrSpaceOnAFocusedFaceClicksItOnce)
{
    moveToSurface();
    SetFocus(window_.control(C::Command1));
    pump(20);
    press(VK_RETURN);
    EXPECT_EQ(launched_.size(), 1u);
    press(VK_SPACE);
    EXPECT_EQ(launched_.size(), 2u);
    // Held Return: repeated presses, one release, one click.
    key(VK_RETURN, false);
    key(VK_RETURN, false);
    key(VK_RETURN, false);
    key(VK_RETURN, true);
    pump(60);
    EXPECT_EQ(launched_.size(), 3u);
    // Held Return with a launch that fails: told once the key is up.
    launchWorks_ = false;
    key(VK_RETURN, false);
    key(VK_RETURN, false);
    pump(100);
    EXPECT_TRUE(reported_.empty());
    key(VK_RETURN, true);
    EXPECT_TRUE(pumpUntil([&] { return reported_.size() == 1; }));
    EXPECT_EQ(launched_.size(), 4u);
    // Return in a field opens nothing.
    SetFocus(window_.control(C::mm));
    press(VK_RETURN);
    EXPECT_EQ(launched_.size(), 4u);
    for (const auto& address : launched_) EXPECT_EQ(address, ui::siteAddress());
}

// On a screen smaller than the window the system would shrink it to the
// screen and push its title bar up out of reach; it keeps its size instead.
TEST_F(WindowTest, KeepsItsSizeOnAScreenSmallerThanItself)
{
    RECT box;
    GetWindowRect(window_.handle(), &box);
    MINMAXINFO limits {};
    limits.ptMaxTrackSize = { 160, 120 }; // a screen half the window's size
    SendMessageW(window_.handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_GE(limits.ptMaxTrackSize.x, box.right - box.left);
    EXPECT_GE(limits.ptMaxTrackSize.y, box.bottom - box.top);
}

// Out of range while the window is minimised: another program sets the
// text, no balloon shows over the desktop.
TEST_F(WindowTest, TheWarningOfAMinimisedWindowWaitsForTheWindow)
{
    HWND balloon = toolTipWindow(true);
    ShowWindow(window_.handle(), SW_MINIMIZE);
    pump(100);
    SendMessageW(window_.control(C::inchs), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"9e99"));
    pump(100);
    EXPECT_EQ(fields().inchs, "9e99");
    EXPECT_FALSE(IsWindowVisible(balloon));
}

TEST_F(WindowTest, AClickLaunchesTheSiteAndAFailedLaunchIsToldInChinese)
{
    // Right after start the pointer has not crossed the surface: Command2
    // takes the click.
    HWND command2 = window_.control(C::Command2);
    SendMessageW(command2, BM_CLICK, 0, 0);
    pump(50);
    ASSERT_EQ(launched_, std::vector<std::string> { std::string(ui::siteAddress()) });
    EXPECT_TRUE(reported_.empty());

    launchWorks_ = false;
    SendMessageW(command2, BM_CLICK, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return !reported_.empty(); }));
    ASSERT_EQ(reported_.size(), 1u);
    EXPECT_EQ(reported_[0], ui::texts::launchFailed(ui::siteAddress()));
    // The program goes on.
    focusAndSelectAll(C::mm);
    typeText("2");
    EXPECT_EQ(fields().mils, "78.7402");
}

// The message box runs its own message loop, in which further failures
// arrive: they open no second box.
TEST_F(WindowTest, FailedLaunchesShowOneMessageBoxAtATime)
{
    int shown = 0;
    window_.setReporter([&](HWND owner, const std::wstring& text, ui::MessageIcon icon) {
        ++shown;
        Form1Window::messageBox(owner, text, icon);
    });
    launchWorks_ = false;
    std::size_t mostAtOnce = 0;
    std::thread closer([&, thread = GetCurrentThreadId()] {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        for (int round = 0; round < 50; ++round) {
            std::vector<HWND> boxes;
            EnumThreadWindows(
                thread,
                [](HWND w, LPARAM found) {
                    wchar_t name[16] {};
                    GetClassNameW(w, name, 16);
                    if (IsWindowVisible(w) && std::wstring(name) == L"#32770")
                        reinterpret_cast<std::vector<HWND>*>(found)->push_back(w);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&boxes));
            if (boxes.empty()) break;
            mostAtOnce = std::max(mostAtOnce, boxes.size());
            for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    for (int i = 0; i < 3; ++i) PostMessageW(window_.control(C::Command2), BM_CLICK, 0, 0);
    pump(1500);
    closer.join();
    EXPECT_EQ(launched_.size(), 3u);
    EXPECT_EQ(mostAtOnce, 1u);
    EXPECT_EQ(shown, 1);
}

// Quick clicks on a face, paired by the system into double-clicks: each one
// opens the site.
TEST_F(WindowTest, EveryClickOfQuickClicksOnAFaceLaunches)
{
    for (int i = 0; i < 4; ++i) {
        clickOn(C::Command2);
        pump(20);
    }
    EXPECT_EQ(launched_.size(), 4u);
}

// The notice of a field that lies left of the screen's edge stays at the
// screen's left, by the field, not at the far right.
TEST_F(WindowTest, TheNoticeStaysByAFieldPartlyOffTheScreen)
{
    RECT frame;
    GetWindowRect(window_.handle(), &frame);
    RECT mils;
    GetWindowRect(window_.control(C::mils), &mils);
    // The field's middle 30 pixels left of the screen.
    const int shift = (mils.left + mils.right) / 2 + 30;
    SetWindowPos(window_.handle(), nullptr, frame.left - shift, frame.top, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pump(50);
    focusAndSelectAll(C::mils);
    typeText("1e300");
    HWND balloon = toolTipWindow(true);
    ASSERT_TRUE(IsWindowVisible(balloon));
    RECT tip;
    GetWindowRect(balloon, &tip);
    GetWindowRect(window_.control(C::mils), &mils);
    EXPECT_GE(tip.left, 0);
    EXPECT_LT(tip.left, mils.right);
    EXPECT_GE(tip.top, mils.top);
}

TEST_F(WindowTest, ADpiChangeLaysTheWindowOutAgain)
{
    // Wine never sends WM_DPICHANGED; the message Windows would send is sent
    // here by hand.
    RECT suggested { 40, 30, 40 + 700, 30 + 500 };
    SendMessageW(window_.handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
        reinterpret_cast<LPARAM>(&suggested));
    pump(30);
    for (const PlacedRow& row : kPlaced)
        EXPECT_EQ(childBox(window_.control(row.control)), row.at192)
            << ui::designOf(row.control).name;
    EXPECT_EQ(window_.layout().faceScale, 2);
    LOGFONTW font {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_.control(C::ums), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, 192, 72));
    RECT frame;
    GetWindowRect(window_.handle(), &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);
}

} // namespace

int main(int argc, char** argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
