// The window's scenarios, written once and run on each desktop through its
// driver: what the user sees and does is the same on Linux and on Windows.
// Each row opens a fresh window. Expected numbers are typed in; places and
// sizes come from the design tables.
#include "driver.h"

#include <mensurel/ui/design.h>
#include <mensurel/ui/layout.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace mensurel::test {
namespace {

using ui::PixelPoint;
using ui::PixelRect;
using C = ui::Control;
using Texts = std::vector<std::string>; // inchs, mils, mm, ums

constexpr C kFields[] = { C::inchs, C::mils, C::mm, C::ums };

Texts fields(const Driver& d)
{
    Texts texts;
    for (const C field : kFields) texts.push_back(d.text(field));
    return texts;
}

C controlNamed(std::string_view name)
{
    for (const ui::ControlDesign& design : ui::controls()) {
        if (design.name == name) return design.id;
    }
    ADD_FAILURE() << "no control " << name;
    return C::Shape1;
}

// Plays a line of input, word by word: "+Tab" presses a key, "-Tab"
// releases it, "Tab" does both; "@mm" clicks a control; "inchs=0.5" is
// another program setting a field's text.
void play(Driver& d, std::string_view script)
{
    static constexpr std::pair<std::string_view, Key> kKeys[] = { { "Return", Key::Return },
        { "Enter", Key::KeypadEnter }, { "Space", Key::Space }, { "Tab", Key::Tab },
        { "Shift", Key::Shift }, { "Ctrl", Key::Control }, { "Esc", Key::Escape },
        { "Backspace", Key::Backspace }, { "Left", Key::Left }, { "Right", Key::Right },
        { "5", Key::Digit5 }, { "7", Key::Digit7 }, { "V", Key::V } };
    while (!script.empty()) {
        const std::size_t end = std::min(script.find(' '), script.size());
        std::string_view word = script.substr(0, end);
        script.remove_prefix(std::min(end + 1, script.size()));
        if (word.starts_with('@')) {
            d.click(controlNamed(word.substr(1)));
            continue;
        }
        if (const std::size_t equals = word.find('='); equals != std::string_view::npos) {
            d.setTextFromOutside(
                controlNamed(word.substr(0, equals)), std::string(word.substr(equals + 1)));
            continue;
        }
        const char sign = word.front() == '+' || word.front() == '-' ? word.front() : ' ';
        if (sign != ' ') word.remove_prefix(1);
        const auto* const key
            = std::ranges::find(kKeys, word, &std::pair<std::string_view, Key>::first);
        ASSERT_NE(key, std::end(kKeys)) << word;
        if (sign != '-') d.key(key->second, true);
        if (sign != '+') d.key(key->second, false);
    }
}

PixelRect designRect(const Driver& d, C control)
{
    return ui::layoutAt(d.layoutDpi()).controls[static_cast<std::size_t>(control)];
}

PixelPoint centre(const PixelRect& r)
{
    return { r.left + (r.width / 2), r.top + (r.height / 2) };
}

// Places the pointer goes to, from the design's rectangles.
PixelPoint place(const Driver& d, std::string_view name)
{
    const auto at = [&](C control) { return designRect(d, control); };
    if (name == "surface") return { at(C::Shape1).left / 2, at(C::Shape1).top / 2 };
    if (name == "inside")
        return { centre(at(C::Command1)).x, (at(C::mils).bottom() + at(C::inchs).top) / 2 };
    if (name == "Shape1") return { at(C::Shape1).left, at(C::Shape1).top };
    if (name == "Shape2") return { at(C::Shape2).left, at(C::Shape2).top };
    if (name == "button") return centre(at(C::Command1));
    if (name == "button2")
        return { at(C::Command1).left + (at(C::Command1).width / 4),
            at(C::Command1).top + (at(C::Command1).height / 3) };
    if (name == "Label1") return centre(at(C::Label1));
    if (name == "Label1 left")
        return { at(C::Label1).left + (at(C::Label1).width / 4), centre(at(C::Label1)).y };
    if (name == "unit label") return centre(at(C::english));
    if (name == "label on Shape2") return { at(C::metric).right() - 1, centre(at(C::metric)).y };
    if (name == "field") return centre(at(C::mm));
    if (name == "outside") return { -40, -40 };
    ADD_FAILURE() << "no place " << name;
    return {};
}

int thisYear()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local.tm_year + 1900;
}

bool isDesignFamily(const ui::FontDesign& design, const std::string& family)
{
    for (const std::string_view name : design.families) {
        if (!name.empty() && name == family) return true;
    }
    return false;
}

// ---------------------------------------------------------------- the window as designed

TEST(Layout, ControlsStandWhereTheDesignPutsThem)
{
    const auto d = openWindow();
    const ui::Layout layout = ui::layoutAt(d->layoutDpi());
    EXPECT_EQ(d->clientOnScreen().width, layout.clientWidth);
    EXPECT_EQ(d->clientOnScreen().height, layout.clientHeight);
    for (const ui::ControlDesign& design : ui::controls()) {
        SCOPED_TRACE(std::string(design.name));
        const bool frame = design.kind == ui::ControlKind::Frame;
        ASSERT_EQ(d->exists(design.id), !frame);
        if (!frame) {
            EXPECT_EQ(d->rect(design.id), designRect(*d, design.id));
        }
    }
    EXPECT_EQ(d->title(), ui::windowDesign().title);
    EXPECT_FALSE(d->resizable());
    EXPECT_TRUE(d->hasIcon());
}

// On its screen along each way the window fits; at the design position
// when the whole window fits there.
TEST(Layout, OpensOnItsScreen)
{
    const auto d = openWindow();
    const PixelRect available = d->available();
    const PixelRect window = d->frameOnScreen();
    if (window.width <= available.width) {
        EXPECT_TRUE(window.left >= available.left && window.right() <= available.right());
    }
    EXPECT_TRUE(window.top >= available.top && window.bottom() <= available.bottom())
        << window.top << " to " << window.bottom();
    const PixelRect design = ui::toPixels(ui::windowDesign().clientArea, d->layoutDpi());
    const ui::PixelMargins& frame = ui::windowDesign().frameAllowance;
    const PixelRect designWithFrame { design.left - frame.left, design.top - frame.top,
        design.width + frame.left + frame.right, design.height + frame.top + frame.bottom };
    if (available.contains(designWithFrame)) {
        EXPECT_EQ(d->clientOnScreen().left, design.left);
        EXPECT_EQ(d->clientOnScreen().top, design.top);
    }
}

TEST(Layout, TextsToolTipsNamesAndFontsComeFromTheDesign)
{
    const auto d = openWindow();
    for (const ui::ControlDesign& design : ui::controls()) {
        if (design.kind == ui::ControlKind::Frame) continue;
        SCOPED_TRACE(std::string(design.name));
        if (design.id != C::Label1 && design.kind != ui::ControlKind::PictureButton) {
            EXPECT_EQ(d->text(design.id), design.text);
        }
        EXPECT_EQ(d->toolTip(design.id), ui::toolTipOf(design));
        if (const auto name = d->accessibleName(design.id);
            name && !design.accessibleName.empty()) {
            EXPECT_EQ(*name, design.accessibleName);
        }
        if (design.font == ui::ControlFont::None) continue;
        const ui::FontDesign& font = design.font == ui::ControlFont::UnitLabel
            ? ui::windowDesign().unitLabelFont
            : ui::windowDesign().defaultFont;
        const FontSeen seen = d->font(design.id);
        EXPECT_TRUE(isDesignFamily(font, seen.family)) << seen.family;
        EXPECT_EQ(seen.pointSize, font.pointSize);
        EXPECT_EQ(seen.bold, font.bold);
        if (design.kind == ui::ControlKind::Label) {
            EXPECT_LE(d->textWidth(design.id), d->rect(design.id).width); // on one line
        }
    }
}

// The year at load; the widest year still fits the notice line.
TEST(Layout, TheNoticeLineEndsWithTheYear)
{
    for (const int year : { 0, 2026, 9999 }) {
        SCOPED_TRACE(year);
        const auto d = openWindow({ .year = year });
        const int shown = year != 0 ? year : thisYear();
        EXPECT_EQ(d->text(C::Label1),
            std::string(ui::texts::kNoticePrefix) + " " + std::to_string(shown));
        EXPECT_LE(d->textWidth(C::Label1), d->rect(C::Label1).width);
    }
}

// The frames' outlines in the design's colour on the window surface, the
// inside not filled; a label lying on a line leaves the line whole.
TEST(Layout, TheFramesAreDrawnOnTheSurface)
{
    const auto d = openWindow();
    const int dpi = d->layoutDpi();
    struct Row {
        const char* what;
        PixelPoint at;
        bool line;
    };
    std::vector<Row> rows;
    for (const C frame : { C::Shape1, C::Shape2 }) {
        const PixelRect r = designRect(*d, frame);
        const int width = ui::designOf(frame).lineWidth * dpi / ui::kDesignDpi;
        const PixelPoint mid = centre(r);
        rows.push_back({ "top-left corner", { r.left, r.top }, true });
        rows.push_back(
            { "last pixel of the line's width", { r.left + width - 1, r.top + width - 1 }, true });
        rows.push_back({ "inside the line", { r.left + width, r.top + width }, false });
        rows.push_back({ "right line, outer pixel", { r.right() - 1, mid.y + 3 }, true });
        rows.push_back({ "right of the frame", { r.right(), mid.y + 3 }, false });
        rows.push_back({ "bottom line, inner pixel", { mid.x, r.bottom() - width }, true });
    }
    const PixelRect metric = designRect(*d, C::metric);
    const PixelRect inner = designRect(*d, C::Shape2);
    if (metric.right() == inner.right()) // the "Mm" label's last column lies on the line
        rows.push_back(
            { "Shape2's line under the Mm label", { metric.right() - 1, centre(metric).y }, true });
    rows.push_back({ "bare surface", place(*d, "surface"), false });
    const ui::Rgb green = ui::windowDesign().frameColour;
    const ui::Rgb surface = d->surfaceColour();
    for (const Row& row : rows) {
        const ui::Rgb want = row.line ? green : surface;
        for (const ui::Rgb seen : d->colours(row.at)) {
            EXPECT_TRUE(seen.red == want.red && seen.green == want.green && seen.blue == want.blue)
                << row.what << " at " << row.at.x << "," << row.at.y << ": " << int(seen.red) << ","
                << int(seen.green) << "," << int(seen.blue);
        }
    }
}

// ---------------------------------------------------------------- focus

// The focus starts on the first field; Tab walks the design's order over
// the shown controls and comes round, Shift+Tab goes back.
TEST(Focus, TabWalksTheDesignOrderOverShownControls)
{
    for (const bool pointerOnSurface : { false, true }) { // true: Command2 hidden
        SCOPED_TRACE(pointerOnSurface ? "Command2 hidden" : "both faces shown");
        const auto d = openWindow();
        if (pointerOnSurface) d->movePointer(place(*d, "surface"));
        std::vector<C> expected;
        for (const C control : ui::focusOrder()) {
            if (d->visible(control)) expected.push_back(control);
        }
        ASSERT_EQ(expected.size(), pointerOnSurface ? 5U : 6U);
        expected.push_back(expected.front());
        std::vector<C> walked { *d->focused() };
        while (walked.size() < expected.size()) {
            play(*d, "Tab");
            walked.push_back(d->focused().value_or(C::Shape1));
        }
        EXPECT_EQ(walked, expected);
        play(*d, "+Shift Tab -Shift");
        EXPECT_EQ(d->focused(), expected[expected.size() - 2]);
    }
}

// Command2 lies above Command1 on the same rectangle; once hidden, Command1
// takes the pointer there.
TEST(Focus, Command2IsOnTopUntilThePointerCrossesTheSurface)
{
    const auto d = openWindow();
    const PixelPoint button = place(*d, "button");
    EXPECT_EQ(d->controlAt(button), C::Command2);
    d->movePointer(place(*d, "surface"));
    EXPECT_EQ(d->controlAt(button), C::Command1);
}

// ---------------------------------------------------------------- typing and editing

// Keys typed into each field reach that field: it keeps what was typed and
// the three others are rewritten (the values are the conversion's own
// business); emptied with Backspace, the others read zero.
TEST(Typing, EachFieldRewritesTheThreeOthers)
{
    const auto d = openWindow();
    const std::pair<C, const char*> rows[]
        = { { C::mm, "1.50" }, { C::inchs, "1" }, { C::mils, "-2" }, { C::ums, "3" } };
    for (const auto& [field, typed] : rows) {
        SCOPED_TRACE(typed);
        const Texts before = fields(*d);
        d->focusAndSelectAll(field);
        d->type(typed);
        const Texts after = fields(*d);
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (kFields[i] == field) {
                EXPECT_EQ(after[i], typed);
            } else {
                EXPECT_NE(after[i], before[i]);
            }
        }
    }
    d->focusAndSelectAll(C::mm);
    d->type("2");
    play(*d, "Backspace");
    EXPECT_EQ(fields(*d), (Texts { "0.0000", "0.0000", "", "0.0000" }));
}

// A key released in the field that took its press converts it again, even
// one that changes no text; a Tab's release in the next field does not,
// which would overwrite the value typed with one computed back from a
// rounded result (0.00001 in is 0.254 um, which reads back 0.0000 in). A
// held key converts at its real release only.
TEST(Typing, KeyReleasesConvertInTheFieldThatTookThePress)
{
    for (const std::string key : { "Right", "Left", "Shift", "Ctrl" }) {
        SCOPED_TRACE(key);
        const auto d = openWindow();
        d->focusAndSelectAll(C::inchs);
        d->type("0.00001");
        EXPECT_EQ(d->text(C::ums), "0.254");
        play(*d, "+Tab");
        ASSERT_EQ(d->focused(), C::ums);
        play(*d, "-Tab");
        EXPECT_EQ(d->text(C::inchs), "0.00001");
        play(*d, "+" + key + " +" + key + " +" + key); // held, repeating
        EXPECT_EQ(d->text(C::inchs), "0.00001") << "before the release";
        play(*d, "-" + key);
        EXPECT_EQ(d->text(C::inchs), "0.0000");
    }
}

// However the keys overlap, once the user stops the three other fields show
// the conversion of the text changed last.
TEST(Typing, TheFieldsAgreeWhateverBecameOfTheKeys)
{
    struct Row {
        const char* what;
        C field;
        const char* input; // after "1" was typed into the field
        Texts after;
    };
    const Texts mils17 { "0.017", "17", "0.4318", "431.7998" };
    const Row rows[] = {
        { "7 held over Tab out of mils", C::mils, "+7 +Tab -7 -Tab", mils17 },
        { "7 held over Shift+Tab out of ums", C::ums, "+7 +Shift +Tab -7 -Tab -Shift",
            { "0.0007", "0.6693", "0.017", "17" } },
        { "a click into mm while 7 is down in mils", C::mils, "+7 @mm -7", mils17 },
        { "another program sets inchs while 5 is down in mils", C::mils, "+5 inchs=0.00004 -5",
            { "0.00004", "0.04", "0.001", "1.016" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto d = openWindow();
        d->focusAndSelectAll(row.field);
        d->type("1");
        play(*d, row.input);
        d->wait(100);
        EXPECT_EQ(fields(*d), row.after);
    }
}

// Edits from the field's own context menu change the text without a key:
// they convert all the same.
TEST(Typing, ContextMenuEditsConvert)
{
    using M = MenuEntry;
    struct Row {
        const char* what;
        const char* start;
        std::vector<M> entries;
        const char* mm;
        const char* mils;
    };
    const Row rows[] = {
        { "paste 2 into an empty field", "", { M::Paste }, "2", "78.7402" },
        { "cut all", "2", { M::SelectAll, M::Cut }, "", "0.0000" },
        { "delete all", "2", { M::SelectAll, M::Delete }, "", "0.0000" },
        { "undo a paste", "", { M::Paste, M::Undo }, "", "0.0000" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto d = openWindow();
        d->setClipboard("2");
        d->focusAndSelectAll(C::mm);
        d->type(row.start);
        // Emptied by another program, which also clears the field's undo.
        if (*row.start == '\0') d->setTextFromOutside(C::mm, "");
        for (const M entry : row.entries) d->choose(C::mm, entry);
        EXPECT_EQ(d->text(C::mm), row.mm);
        EXPECT_EQ(d->text(C::mils), row.mils);
    }
}

// A paste longer than the toolkits' default limits (32,767 characters) is
// kept whole and converted whole: "1", 40,000 blanks, "5" reads 15 mm.
TEST(Typing, ALongPasteIsKeptWholeAndConverted)
{
    const auto d = openWindow();
    d->setClipboard("1" + std::string(40000, ' ') + "5");
    d->focusAndSelectAll(C::mm);
    play(*d, "+Ctrl V -Ctrl");
    d->wait(100);
    EXPECT_EQ(d->text(C::mm).size(), 40002U);
    EXPECT_EQ(d->text(C::mils), "590.5512");
}

// ---------------------------------------------------------------- the warning

// A number out of range keeps every field; the warning shows beside its
// field and wholly on the screen, takes no focus and describes the field;
// Escape closes it; the next key converts and takes it away.
TEST(Warning, ShowsBesideTheFieldUntilEscapeOrTheNextNumber)
{
    struct Row {
        const char* what;
        C field;
        const char* first; // converts
        const char* then; // takes the number out of range
        int shiftLeft = 0; // the window moved this far left of the screen's edge
    };
    const Row rows[] = {
        { "1e400 in inchs, beyond binary64", C::inchs, "1e4", "00" },
        { "99999999999 in inchs, beyond the fixed point", C::inchs, "9999999999", "9" },
        { "1e300 in mils, at the left", C::mils, "1e3", "00" },
        { "1e300 in ums, at the right", C::ums, "1e3", "00" },
        { "mils partly off the screen's left edge", C::mils, "1e3", "00", 30 },
    };
    const std::string notice(ui::texts::kOutOfRange);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto d = openWindow();
        if (row.shiftLeft != 0) {
            const PixelRect field = d->onScreen(row.field);
            d->moveWindowBy(
                d->available().left - (field.left + field.width / 2) - row.shiftLeft, 0);
        }
        d->focusAndSelectAll(row.field);
        d->type(row.first);
        EXPECT_FALSE(d->warning());
        Texts expected = fields(*d);
        d->type(row.then);
        const std::size_t at = static_cast<std::size_t>(
            std::find(std::begin(kFields), std::end(kFields), row.field) - std::begin(kFields));
        expected[at] = std::string(row.first) + row.then;
        EXPECT_EQ(fields(*d), expected);
        const auto warning = d->warning();
        ASSERT_TRUE(warning);
        EXPECT_EQ(warning->text, notice);
        EXPECT_EQ(d->description(row.field).value_or(notice), notice);
        EXPECT_EQ(d->focused(), row.field);
        const PixelRect field = d->onScreen(row.field);
        const PixelRect available = d->available();
        const PixelRect& shown = warning->onScreen;
        EXPECT_TRUE(available.contains(shown))
            << shown.left << "," << shown.top << " " << shown.width << "x" << shown.height;
        EXPECT_LT(shown.left, field.right()); // beside the field, not at the screen's far side
        if (shown.height + field.height < available.height) {
            EXPECT_TRUE(shown.top == field.bottom() || shown.bottom() == field.top) << shown.top;
        }

        play(*d, "Esc");
        EXPECT_FALSE(d->warning());
        EXPECT_EQ(fields(*d), expected);

        d->focusAndSelectAll(row.field);
        d->type("1");
        EXPECT_FALSE(d->warning());
        EXPECT_EQ(d->description(row.field).value_or(""), "");
        EXPECT_NE(fields(*d), expected);
    }
}

// Out of range while the window is away (another program sets the text):
// nothing pops up over the desktop; the field describes the warning.
TEST(Warning, WaitsWhileTheWindowIsAway)
{
    for (const bool minimised : { true, false }) {
        SCOPED_TRACE(minimised ? "minimised" : "another window active");
        const auto d = openWindow();
        if (minimised)
            d->minimise();
        else
            d->activateAnotherWindow();
        d->setTextFromOutside(C::inchs, "9e99");
        d->wait(100);
        EXPECT_EQ(d->text(C::inchs), "9e99");
        EXPECT_FALSE(d->warning());
        const std::string notice(ui::texts::kOutOfRange);
        EXPECT_EQ(d->description(C::inchs).value_or(notice), notice);
    }
}

// ---------------------------------------------------------------- the picture button

// Pointer paths, and which faces show after them: Command1 shows under the
// pointer over the bare surface (frames included), Command2 over Command1;
// elsewhere nothing changes.
TEST(Faces, ThePointerSwapsThemOnlyOverCommand1AndTheSurface)
{
    struct Row {
        const char* what;
        std::vector<const char*>
            path; // "press" and "release": the left button, where the pointer is
        bool command1;
        bool command2;
    };
    const bool shown = true;
    const bool hidden = false;
    const Row rows[] = {
        { "start: both shown", {}, shown, shown },
        { "start, surface: normal", { "surface" }, shown, hidden },
        { "start, within Command2: nothing", { "button", "button2" }, shown, shown },
        { "start, over labels and a field: nothing", { "Label1", "unit label", "field" }, shown,
            shown },
        { "normal, onto Command1: hover", { "surface", "button" }, hidden, shown },
        { "hover, within Command2: hover", { "surface", "button", "button2" }, hidden, shown },
        { "hover, onto a label: hover", { "surface", "button", "Label1" }, hidden, shown },
        { "hover, onto a field: hover", { "surface", "button", "field" }, hidden, shown },
        { "hover, dragging within a label: hover",
            { "surface", "button", "Label1", "press", "Label1 left", "release" }, hidden, shown },
        { "hover, out of the window: hover", { "surface", "button", "outside" }, hidden, shown },
        { "hover, onto a label lying on Shape2's line: hover",
            { "surface", "button", "label on Shape2" }, hidden, shown },
        { "hover, onto Shape1's line: normal", { "surface", "button", "Shape1" }, shown, hidden },
        { "hover, onto Shape2's line: normal", { "surface", "button", "Shape2" }, shown, hidden },
        { "hover, surface inside the frames: normal", { "surface", "button", "inside" }, shown,
            hidden },
        { "normal, surface again: normal", { "surface", "inside" }, shown, hidden },
        { "hover, normal, hover again", { "surface", "button", "inside", "button2" }, hidden,
            shown },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto d = openWindow();
        for (const std::string_view step : row.path) {
            if (step == "press" || step == "release")
                d->leftButton(step == "press");
            else
                d->movePointer(place(*d, step));
        }
        EXPECT_EQ(d->visible(C::Command1), row.command1);
        EXPECT_EQ(d->visible(C::Command2), row.command2);
    }
}

// The hover swap hides the face that holds the focus: the focus passes to
// the face shown, and Space then opens the site and changes no field.
TEST(Faces, TheFocusStaysOnTheButtonAcrossTheSwap)
{
    const auto d = openWindow();
    d->movePointer(place(*d, "surface"));
    d->focus(C::Command1);
    d->movePointer(place(*d, "button"));
    ASSERT_TRUE(d->visible(C::Command2) && !d->visible(C::Command1));
    EXPECT_EQ(d->focused(), C::Command2);
    const Texts before = fields(*d);
    play(*d, "Space");
    EXPECT_EQ(d->launches().size(), 1U);
    EXPECT_EQ(fields(*d), before);
    d->movePointer(place(*d, "surface"));
    EXPECT_EQ(d->focused(), C::Command1);
}

// Return, keypad Enter and Space on a focused face click it once; in a
// field they are key releases like any other.
TEST(Faces, ReturnEnterAndSpaceClickAFocusedFaceOnce)
{
    const std::pair<C, std::string> rows[] = { { C::Command2, "Return" }, { C::Command2, "Enter" },
        { C::Command1, "Return" }, { C::Command1, "Space" } };
    for (const auto& [face, key] : rows) {
        SCOPED_TRACE(std::string(ui::designOf(face).name) + " " + key);
        const auto d = openWindow();
        if (face == C::Command1) d->movePointer(place(*d, "surface"));
        d->focus(face);
        const Texts before = fields(*d);
        play(*d, key);
        EXPECT_EQ(d->launches(), std::vector<std::string> { std::string(ui::siteAddress()) });
        EXPECT_EQ(fields(*d), before);

        d->focusAndSelectAll(C::mm);
        d->type("2");
        play(*d, key == "Space" ? "Return" : key);
        EXPECT_EQ(d->launches().size(), 1U);
        EXPECT_EQ(d->text(C::mils), "78.7402");
    }
}

// A key held on the button, repeated by the desktop while busy threads load
// the machine: the site opens once; a failed launch is told in a box that
// waits for the key's release and stays until it is closed.
TEST(Faces, AHeldKeyOpensTheSiteOnce)
{
    struct Row {
        const char* what;
        Key key;
        bool launchWorks;
    };
    const Row rows[]
        = { { "Return", Key::Return, true }, { "keypad Enter", Key::KeypadEnter, true },
              { "Space", Key::Space, true }, { "Return, the launch failing", Key::Return, false } };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto d = openWindow({ .launchWorks = row.launchWorks });
        d->focus(C::Command2);
        std::atomic<bool> busy = true;
        std::vector<std::thread> load;
        for (int i = 0; i < 4; ++i) {
            load.emplace_back([&busy] {
                while (busy) { }
            });
        }
        d->hold(row.key, 1500);
        busy = false;
        for (std::thread& thread : load) thread.join();
        d->wait(row.launchWorks ? 300 : 1000);
        EXPECT_EQ(d->launches(), std::vector<std::string> { std::string(ui::siteAddress()) });
        const auto boxes = d->boxes();
        ASSERT_EQ(boxes.size(), row.launchWorks ? 0U : 1U);
        if (!boxes.empty()) {
            EXPECT_TRUE(boxes[0].keptUntilClosed);
        }
    }
}

// Quick clicks, which the desktops pair into double-clicks: each one opens
// the site, on either face.
TEST(Faces, EveryClickOpensTheSite)
{
    const auto d = openWindow();
    d->click(C::Command2, 4);
    d->movePointer(place(*d, "surface"));
    d->click(C::Command1);
    EXPECT_EQ(d->launches(), std::vector<std::string>(5, std::string(ui::siteAddress())));
    EXPECT_TRUE(d->boxes().empty());
}

// Failed launches are told in one box at a time, in Chinese, and the
// program goes on.
TEST(Faces, AFailedLaunchIsToldInOneBox)
{
    const auto d = openWindow({ .launchWorks = false });
    d->click(C::Command2, 3);
    d->wait(1500);
    const auto boxes = d->boxes();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, ui::texts::launchFailed(ui::siteAddress()));
    EXPECT_FALSE(boxes[0].anotherOpen);
    EXPECT_FALSE(d->launches().empty());
    d->focusAndSelectAll(C::mm);
    d->type("2");
    EXPECT_EQ(d->text(C::mils), "78.7402");
}

} // namespace
} // namespace mensurel::test
