// The Win32 window built for real, in this process, and driven with real
// input (SendInput) through the program's own message handling. Runs under
// Wine and Xvfb in the test command; every case opens a fresh window.
#include "desktop.h"

#include <mensurel/convert.h>
#include <mensurel/ui/design.h>
#include <mensurel/ui/layout.h>
#include <mensurel/win32/faces.h>
#include <mensurel/win32/text.h>
#include <mensurel/win32/window.h>

#include <gtest/gtest.h>
#include <resource_ids.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using mensurel::FieldTexts;
using mensurel::UnitField;
using mensurel::win32::Form1Window;
using mensurel::win32::narrow;
namespace ui = mensurel::ui;
namespace desk = mensurel::win32::testing;
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

// The tooltip windows of this thread: the controls' tips (a tool for each
// control with a tooltip), or the warning's (one tool at most).
HWND toolTipWindow(bool warning)
{
    struct Search {
        bool warning;
        HWND found;
    } search { warning, nullptr };
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[32] {};
            GetClassNameW(w, name, 32);
            const bool isWarning = SendMessageW(w, TTM_GETTOOLCOUNT, 0, 0) <= 1;
            if (std::wstring(name) == TOOLTIPS_CLASSW && isWarning == s->warning) s->found = w;
            return s->found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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

    static void pump(int ms) { desk::pump(ms); }
    static bool pumpUntil(const std::function<bool()>& done) { return desk::pumpUntil(done); }
    static void key(WORD vk, bool up) { desk::sendKey(vk, up); }

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

    static void typeText(std::string_view text) { desk::typeText(text); }

    // Moves the pointer to client point (x, y) of the window.
    void moveTo(int x, int y)
    {
        POINT p { x, y };
        ClientToScreen(window_.handle(), &p);
        desk::movePointer(p);
        pump(80);
    }

    ui::Layout layout() const
    {
        return ui::layoutAt(static_cast<int>(GetDpiForWindow(window_.handle())));
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> reported() const
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes_.boxes()) texts.push_back(box.text);
        return texts;
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
        const Rect outer = layout().controls[static_cast<std::size_t>(C::Shape1)];
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
        desk::mouseButton(right, false);
        desk::mouseButton(right, true);
        pump(60);
    }

    static void inMenu(const std::function<void()>& open, WORD choice)
    {
        EXPECT_TRUE(desk::inMenu(open, choice)) << "no menu opened";
    }

    static void setClipboard(const std::wstring& text) { desk::setClipboard(text); }

    FieldTexts fields()
    {
        return { textOf(window_.control(C::inchs)), textOf(window_.control(C::mils)),
            textOf(window_.control(C::mm)), textOf(window_.control(C::ums)) };
    }

    std::vector<std::string> launched_;
    bool launchWorks_ = true;
    desk::BoxWatcher boxes_ { GetCurrentThreadId() };
    Form1Window window_ { [this](const std::wstring& address) {
        launched_.push_back(narrow(address));
        return launchWorks_;
    } };
};

// ---------------------------------------------------------------- faces

// A face drawn 1:1 over a canvas of one colour: the canvas's pixels, row
// by row.
std::vector<COLORREF> drawnOver(
    const mensurel::win32::FaceBitmap& face, int width, int height, COLORREF under)
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

// Windows only: the faces are GIF resources decoded with WIC and drawn with
// AlphaBlend. Drawn over two colours, each pixel shows either the colour
// beneath (transparent) or the same colour over both (opaque): GIF has no
// partial transparency.
TEST(Faces, DecodeFromTheResourcesWithTheirTransparency)
{
    constexpr COLORREF kUnder[] = { RGB(10, 20, 30), RGB(250, 240, 230) };
    struct Row {
        int id, width, height;
        bool framed; // the hover face has a green frame along its edges
    };
    for (const Row& row :
        { Row { IDR_COMMAND1_GIF, 175, 40, false }, Row { IDR_COMMAND1_2X_GIF, 350, 80, false },
            Row { IDR_COMMAND2_GIF, 175, 40, true }, Row { IDR_COMMAND2_2X_GIF, 350, 80, true } }) {
        const auto face = mensurel::win32::FaceBitmap::load(GetModuleHandleW(nullptr), row.id);
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

    // The fields' font has the Chinese glyphs of the notice line, at 9 pt
    // at this DPI; the unit labels Arial 9 pt bold.
    HFONT fieldFont
        = reinterpret_cast<HFONT>(SendMessageW(window_.control(C::mils), WM_GETFONT, 0, 0));
    LOGFONTW font {};
    GetObjectW(fieldFont, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
    HDC dc = GetDC(window_.handle());
    HGDIOBJ old = SelectObject(dc, fieldFont);
    WORD glyphs[2] {};
    GetGlyphIndicesW(dc, L"版权", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(window_.handle(), dc);
    EXPECT_NE(glyphs[0], 0xFFFF) << narrow(font.lfFaceName);
    EXPECT_NE(glyphs[1], 0xFFFF) << narrow(font.lfFaceName);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_.control(C::Inch), WM_GETFONT, 0, 0)),
        sizeof font, &font);
    // Arial, or where it is missing (Wine) its metric twin.
    const std::wstring unitFace = font.lfFaceName;
    EXPECT_TRUE(unitFace == L"Arial" || unitFace == L"Liberation Sans") << narrow(unitFace);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
}

// Windows only: the manifest asks for common controls 6; only they know cue
// banners.
TEST_F(WindowTest, UsesTheCommonControls6)
{
    EXPECT_TRUE(SendMessageW(
        window_.control(C::mils), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"")));
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

void pressAll(std::initializer_list<std::pair<WORD, bool>> presses)
{
    for (const auto& [vk, up] : presses) mensurel::win32::testing::sendKey(vk, up);
}

// A change of the keys' course and the fields that follow from it, once the
// keys have stopped.
struct KeysRow {
    const char* what;
    UnitField field;
    const char* before; // typed first, converted
    std::function<void()> act;
    FieldTexts after; // inchs, mils, mm, ums
};

// Windows only: a menu opened from the keyboard (Shift+F10, Alt+Space) runs
// its own message loop, which takes the releases of the keys that opened it.
TEST_F(WindowTest, TheKeyboardMenusTakeTheKeysThatOpenedThem)
{
    // "5" selected in mils, "2" on the clipboard.
    const auto shiftF10 = [&] {
        SendMessageW(window_.control(C::mils), EM_SETSEL, 0, -1);
        pressAll({ { VK_SHIFT, false }, { VK_F10, false }, { VK_F10, true }, { VK_SHIFT, true } });
    };
    const auto altSpace = [&] {
        SendMessageW(window_.control(C::mils), EM_SETSEL, 0, -1);
        pressAll(
            { { VK_MENU, false }, { VK_SPACE, false }, { VK_SPACE, true }, { VK_MENU, true } });
    };
    const auto rightClickPaste = [&] { inMenu([&] { clickOn(C::mils, true); }, 'P'); };
    const FieldTexts mils2 { "0.002", "2", "0.0508", "50.8" };
    const KeysRow rows[] = {
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
    };
    for (const KeysRow& row : rows) {
        SCOPED_TRACE(row.what);
        setClipboard(L"2");
        focusAndSelectAll(ui::controlOf(row.field));
        typeText(row.before);
        row.act();
        pump(100);
        EXPECT_EQ(fields(), row.after);
    }
}

// However the keys go, once the user stops the three other fields show the
// conversion of the text last changed: a key still down when the focus
// moves on.
TEST_F(WindowTest, TheFieldsAgreeWhateverBecameOfTheKeys)
{
    const auto keys = pressAll;
    const FieldTexts mils17 { "0.017", "17", "0.4318", "431.7998" };
    const KeysRow rows[] = {
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
    for (const KeysRow& row : rows) {
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
    const Rect outer = layout().controls[static_cast<std::size_t>(C::Shape1)];
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
    EXPECT_TRUE(reported().empty());
    key(VK_RETURN, true);
    EXPECT_TRUE(pumpUntil([&] { return reported().size() == 1; }));
    EXPECT_EQ(launched_.size(), 4u);
    // Return in a field opens nothing.
    SetFocus(window_.control(C::mm));
    press(VK_RETURN);
    EXPECT_EQ(launched_.size(), 4u);
    for (const auto& address : launched_) EXPECT_EQ(address, ui::siteAddress());
}

// Windows only (WM_GETMINMAXINFO): on a screen smaller than the window the
// system would shrink it to the screen and push its title bar up out of
// reach; it keeps its size instead.
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
    EXPECT_TRUE(reported().empty());

    launchWorks_ = false;
    SendMessageW(command2, BM_CLICK, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return !reported().empty(); }));
    ASSERT_EQ(reported().size(), 1u);
    EXPECT_EQ(reported()[0], ui::texts::launchFailed(ui::siteAddress()));
    // The program goes on.
    focusAndSelectAll(C::mm);
    typeText("2");
    EXPECT_EQ(fields().mils, "78.7402");
}

// The message box runs its own message loop, in which further failures
// arrive: they open no second box.
TEST_F(WindowTest, FailedLaunchesShowOneMessageBoxAtATime)
{
    launchWorks_ = false;
    for (int i = 0; i < 3; ++i) PostMessageW(window_.control(C::Command2), BM_CLICK, 0, 0);
    pump(1500);
    EXPECT_EQ(launched_.size(), 3u);
    const auto shown = boxes_.boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].anotherOpen);
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

// Windows only: WM_DPICHANGED, on a move to a monitor of another DPI.
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
