// The window's procedures and the rule of when a field converts, driven
// through a fake desktop: no toolkit, no window.
#include "fake_desktop.h"

#include <mensurel/ui/design.h>
#include <mensurel/ui/form1.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace mensurel::ui {
namespace {

using testing::FakeDesktop;

class Form1Test : public ::testing::Test {
protected:
    Form1Test()
    {
        desktop.onLaunchFailed = [this] { form.launchFailed(); };
    }

    FakeDesktop desktop;
    Form1 form { desktop };
};

// Conversions go through the right procedure and the right chain.
struct ConversionRow {
    const char* name;
    UnitField from;
    const char* text;
    std::array<const char*, 4> expected; // inchs, mils, mm, ums
};

// Test names and failure messages show the row by its name.
void PrintTo(const ConversionRow& row, std::ostream* out)
{
    *out << row.name;
}

class ConversionTest : public Form1Test, public ::testing::WithParamInterface<ConversionRow> { };

TEST_P(ConversionTest, KeyUpWritesTheThreeOtherFields)
{
    const ConversionRow& row = GetParam();
    desktop.text(row.from) = row.text;
    runKeyUp(form, row.from);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(desktop.texts[i], row.expected[i]) << i;
    EXPECT_EQ(desktop.writes, 3);
}

INSTANTIATE_TEST_SUITE_P(Fields, ConversionTest,
    ::testing::Values(
        ConversionRow { "mm_2", UnitField::mm, "2", { "0.0787", "78.7402", "2", "2000.0000" } },
        ConversionRow {
            "inchs_1", UnitField::inchs, "1", { "1", "1000.0000", "25.4", "25399.9863" } },
        ConversionRow {
            "mils_minus_2", UnitField::mils, "-2", { "-.002", "-2", "-.0508", "-50.8" } },
        ConversionRow {
            "ums_1000", UnitField::ums, "1000", { "0.0394", "39.3701", "1.0000", "1000" } },
        ConversionRow { "ums_abc_reads_as_zero", UnitField::ums, "abc",
            { "0.0000", "0.0000", "0.0000", "abc" } }),
    [](const auto& info) { return std::string(info.param.name); });

// What the user does in one field, step by step, and how many conversions
// it must run.
enum class Step { Press, Release, RepeatPress, RepeatRelease, Edit, EditInchs, FocusOut };
struct Action {
    Step step;
    int key = 0;
    const char* text = nullptr; // Edit: the field's new text
};
struct KeyRuleRow {
    const char* name;
    std::vector<Action> actions;
    int conversions;
};

void PrintTo(const KeyRuleRow& row, std::ostream* out)
{
    *out << row.name;
}

constexpr int kDigit2 = '2';
constexpr int kDigit3 = '3';
constexpr int kTab = 1003;
constexpr int kRight = 1004;

class KeyRuleTest : public Form1Test, public ::testing::WithParamInterface<KeyRuleRow> { };

TEST_P(KeyRuleTest, ConvertsAtEveryChangeAndRelease)
{
    desktop.text(UnitField::mm) = "";
    for (const Action& a : GetParam().actions) {
        const KeyEvent key { .code = a.key,
            .autoRepeat = a.step == Step::RepeatPress || a.step == Step::RepeatRelease };
        switch (a.step) {
        case Step::Press:
        case Step::RepeatPress: form.keyPressed(UnitField::mm, key); break;
        case Step::Release:
        case Step::RepeatRelease: form.keyReleased(UnitField::mm, key); break;
        case Step::Edit:
            desktop.text(UnitField::mm) = a.text;
            form.textChanged(UnitField::mm);
            break;
        case Step::EditInchs: // another writer, an assistive tool or another program
            desktop.text(UnitField::inchs) = a.text;
            form.textChanged(UnitField::inchs);
            break;
        case Step::FocusOut: form.focusLeft(UnitField::mm); break;
        }
    }
    EXPECT_EQ(desktop.writes, 3 * GetParam().conversions);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyRuleTest,
    ::testing::Values(
        KeyRuleRow { "typed_key_converts_at_the_change_and_at_its_release",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::Release, kDigit2 } }, 2 },
        KeyRuleRow { "held_key_converts_each_change_and_its_real_release",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::RepeatRelease, kDigit2 },
                { Step::RepeatPress, kDigit2 }, { Step::Edit, 0, "22" },
                { Step::RepeatRelease, kDigit2 }, { Step::Release, kDigit2 } },
            3 },
        KeyRuleRow { "tab_released_after_bringing_the_focus_here_converts_nothing",
            { { Step::Release, kTab } }, 0 },
        KeyRuleRow { "arrow_converts_though_it_changes_no_text",
            { { Step::Press, kRight }, { Step::Release, kRight } }, 1 },
        KeyRuleRow { "change_while_a_key_is_held_converts_at_once",
            { { Step::Press, kDigit3 }, { Step::Edit, 0, "2" } }, 1 },
        KeyRuleRow { "key_still_down_when_the_focus_left_converted_at_its_change",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::FocusOut },
                { Step::Release, kDigit2 } },
            1 },
        KeyRuleRow { "lost_release_blocks_no_later_change",
            { { Step::Press, kDigit3 }, { Step::Edit, 0, "3" }, { Step::Edit, 0, "32" } }, 2 },
        KeyRuleRow { "menu_paste_then_undo_converts_each",
            { { Step::Edit, 0, "2" }, { Step::Edit, 0, "" } }, 2 },
        KeyRuleRow { "release_after_another_field_converted_keeps_that_fields_text",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::EditInchs, 0, "0.00004" },
                { Step::Release, kDigit2 } },
            2 }),
    [](const auto& info) { return std::string(info.param.name); });

// The desktop reports the program's own writes like any other change: they
// convert nothing, and a write that fails half-way leaves later edits
// converting.
TEST_F(Form1Test, OwnWritesAreNotEditsEvenWhenAWriteFails)
{
    bool fail = true;
    desktop.whileWriting = [&](UnitField f) {
        if (std::exchange(fail, false)) throw std::bad_alloc();
        form.textChanged(f);
    };
    desktop.text(UnitField::mm) = "2";
    EXPECT_THROW(form.textChanged(UnitField::mm), std::bad_alloc);
    desktop.writes = 0;
    desktop.text(UnitField::mm) = "1";
    form.textChanged(UnitField::mm);
    EXPECT_EQ(desktop.writes, 3);
    EXPECT_EQ(desktop.text(UnitField::mils), "39.3701");
}

// Random use of the four fields: keys pressed and released, releases lost,
// landing in another field or reported for another key, the focus moving,
// texts changed by the user, in range and beyond it. However the keys went,
// each change converts at once: the field keeps the user's text and the
// three others are written, or the field says it is out of range.
TEST(Form1Property, EveryChangeConvertsWhateverBecomesOfTheKeys)
{
    constexpr std::array kTexts { "1", "17", "-2.5", "0.00001", "abc", "", "25.4", ".5", "1e400",
        "99999999999999" };
    std::mt19937 random(20261208); // NOLINT(cert-msc32-c,cert-msc51-cpp): repeatable on purpose
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int run = 0; run < 4000; ++run) {
        FakeDesktop desktop;
        Form1 form { desktop };
        UnitField focus = UnitField::mils;
        for (int step = 0, steps = 1 + static_cast<int>(pick(24)); step < steps; ++step) {
            const KeyEvent key { .code = static_cast<int>(pick(4)) };
            switch (pick(6)) {
            case 0: form.keyPressed(focus, key); break;
            case 1: form.keyReleased(focus, key); break;
            case 2: form.keyReleased(kUnitFields[pick(4)], key); break; // a lost focus event
            case 3:
                form.focusLeft(focus);
                focus = kUnitFields[pick(4)];
                break;
            default: {
                const UnitField changed = pick(4) == 0 ? kUnitFields[pick(4)] : focus;
                const std::string text = kTexts[pick(kTexts.size())];
                const int writes = desktop.writes;
                desktop.text(changed) = text;
                form.textChanged(changed);
                const bool converted
                    = desktop.writes == writes + 3 && desktop.text(changed) == text;
                ASSERT_TRUE(converted || desktop.description(changed) == texts::kOutOfRange)
                    << "run " << run << " step " << step;
                break;
            }
            }
        }
    }
}

// The picture button's two faces under the pointer, and the focus on them.
enum class Move { Surface, Command1 };
struct HoverRow {
    const char* name;
    std::optional<Control> focusBefore;
    std::vector<Move> moves;
    bool command1Visible;
    bool command2Visible;
    std::optional<Control> focusAfter;
};

void PrintTo(const HoverRow& row, std::ostream* out)
{
    *out << row.name;
}

class HoverTest : public Form1Test, public ::testing::WithParamInterface<HoverRow> { };

TEST_P(HoverTest, SwapsTheFacesAndKeepsTheFocusOnTheButton)
{
    const HoverRow& row = GetParam();
    desktop.focused = row.focusBefore;
    for (const Move m : row.moves) {
        if (m == Move::Surface)
            form.Form_MouseMove();
        else
            form.Command1_MouseMove();
    }
    EXPECT_EQ(desktop.command1Visible, row.command1Visible);
    EXPECT_EQ(desktop.command2Visible, row.command2Visible);
    EXPECT_EQ(desktop.focused, row.focusAfter);
    EXPECT_EQ(desktop.writes, 0); // no field changes
}

INSTANTIATE_TEST_SUITE_P(Faces, HoverTest,
    ::testing::Values(HoverRow { "start_both_shown", {}, {}, true, true, {} },
        HoverRow { "surface_normal", {}, { Move::Surface }, true, false, {} },
        HoverRow {
            "surface_then_command1_hover", {}, { Move::Surface, Move::Command1 }, false, true, {} },
        HoverRow { "hover_then_surface_normal", {},
            { Move::Surface, Move::Command1, Move::Surface }, true, false, {} },
        HoverRow { "moves_within_command1_repeat_the_swap", {},
            { Move::Surface, Move::Command1, Move::Command1 }, false, true, {} },
        HoverRow { "focused_command2_hidden_by_surface_focus_moves_to_command1", Control::Command2,
            { Move::Surface }, true, false, Control::Command1 },
        HoverRow { "focused_command1_hidden_by_hover_focus_moves_to_command2", Control::Command2,
            { Move::Surface, Move::Command1 }, false, true, Control::Command2 },
        HoverRow { "focus_on_the_shown_face_stays", Control::Command1, { Move::Surface }, true,
            false, Control::Command1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, OutOfRangeKeepsTheFieldsAndTellsTheUserOnce)
{
    const std::array<std::string, 4> before = desktop.texts;
    desktop.text(UnitField::inchs) = "1e400";
    form.inchs_KeyUp();
    EXPECT_EQ(desktop.writes, 0);
    EXPECT_EQ(desktop.texts[1], before[1]);
    EXPECT_EQ(desktop.beeps, 1);
    ASSERT_TRUE(desktop.warning(UnitField::inchs));
    EXPECT_EQ(*desktop.warning(UnitField::inchs), texts::kOutOfRange);
    EXPECT_EQ(desktop.description(UnitField::inchs), texts::kOutOfRange);

    // Typing on while out of range: the warning stays, no second beep.
    desktop.text(UnitField::inchs) = "1e4000";
    form.inchs_KeyUp();
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(desktop.warning(UnitField::inchs));

    // A number that converts takes the warning away.
    desktop.text(UnitField::inchs) = "1";
    form.inchs_KeyUp();
    EXPECT_FALSE(desktop.warning(UnitField::inchs));
    EXPECT_TRUE(desktop.description(UnitField::inchs).empty());
    EXPECT_EQ(desktop.text(UnitField::mils), "1000.0000");

    // Out of range again: a new beep.
    desktop.text(UnitField::inchs) = "99999999999";
    form.inchs_KeyUp();
    EXPECT_EQ(desktop.beeps, 2);
}

TEST_F(Form1Test, EscapeHidesTheWarningUntilTheTextChanges)
{
    desktop.text(UnitField::ums) = "1e400";
    form.keyPressed(UnitField::ums, { .code = '0' });
    form.keyReleased(UnitField::ums, { .code = '0' });
    ASSERT_TRUE(desktop.warning(UnitField::ums));

    const KeyEvent escape { .code = 27, .escape = true };
    form.keyPressed(UnitField::ums, escape);
    EXPECT_FALSE(desktop.warning(UnitField::ums));
    form.keyReleased(UnitField::ums, escape);
    EXPECT_FALSE(desktop.warning(UnitField::ums)) << "the release brought it back";
    // Still described for a screen reader, still no beep again.
    EXPECT_EQ(desktop.description(UnitField::ums), texts::kOutOfRange);
    EXPECT_EQ(desktop.beeps, 1);

    form.keyPressed(UnitField::ums, { .code = kRight });
    form.keyReleased(UnitField::ums, { .code = kRight });
    EXPECT_FALSE(desktop.warning(UnitField::ums));

    desktop.text(UnitField::ums) = "1e4000";
    form.keyPressed(UnitField::ums, { .code = '0' });
    form.keyReleased(UnitField::ums, { .code = '0' });
    EXPECT_TRUE(desktop.warning(UnitField::ums));
}

// The warning stands where its field is; whatever takes the field away from
// the user hides it, and typing on brings it back. While the window is not
// the active one (minimised, on another desktop, another program in front)
// nothing pops up at all; the field still says so to a screen reader.
enum class Away { FocusLeft, WindowMoved, WindowDeactivated, WindowInactive };

class WarningAwayTest : public Form1Test, public ::testing::WithParamInterface<Away> { };

TEST_P(WarningAwayTest, HidesTheWarningAndTypingOnBringsItBack)
{
    desktop.active = GetParam() != Away::WindowInactive;
    desktop.text(UnitField::mm) = "1e400";
    form.textChanged(UnitField::mm);
    ASSERT_EQ(desktop.warning(UnitField::mm).has_value(), desktop.active);
    switch (GetParam()) {
    case Away::FocusLeft: form.focusLeft(UnitField::mm); break;
    case Away::WindowMoved: form.windowMoved(); break;
    case Away::WindowDeactivated: form.windowDeactivated(); break;
    case Away::WindowInactive: break;
    }
    EXPECT_FALSE(desktop.warning(UnitField::mm));
    EXPECT_EQ(desktop.description(UnitField::mm), texts::kOutOfRange);
    desktop.active = true;
    desktop.text(UnitField::mm) = "1e4000";
    form.textChanged(UnitField::mm);
    EXPECT_TRUE(desktop.warning(UnitField::mm));
    EXPECT_EQ(desktop.beeps, 1);
}

std::string awayName(const ::testing::TestParamInfo<Away>& info)
{
    constexpr std::array kNames { "focus_left", "window_moved", "window_deactivated",
        "window_inactive_from_the_start" };
    return kNames.at(static_cast<std::size_t>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Ways, WarningAwayTest,
    ::testing::Values(
        Away::FocusLeft, Away::WindowMoved, Away::WindowDeactivated, Away::WindowInactive),
    awayName);

// Keys on a focused face: Return, keypad Enter and Space click it once per
// physical press, whether or not the desktop marks the repetitions of a held
// key; any other key is the button's own.
enum class FaceStep { Press, Release, ReleaseInField, Deactivate };
struct FaceAction {
    FaceStep step;
    KeyEvent key {};
    Face face = Face::Command2;
};
struct FaceKeyRow {
    const char* name;
    std::vector<FaceAction> actions;
    bool taken; // the first key is not passed on to the button
    int launches;
    bool launchFails = false;
    int messages = 0; // failed launches told
};

void PrintTo(const FaceKeyRow& row, std::ostream* out)
{
    *out << row.name;
}

class FaceKeyTest : public Form1Test, public ::testing::WithParamInterface<FaceKeyRow> { };

TEST_P(FaceKeyTest, OneClickPerPhysicalPress)
{
    desktop.launchFails = GetParam().launchFails;
    std::optional<bool> firstTaken;
    for (const FaceAction& a : GetParam().actions) {
        bool taken = false;
        switch (a.step) {
        case FaceStep::Press: taken = form.faceKeyPressed(a.face, a.key); break;
        case FaceStep::Release: taken = form.faceKeyReleased(a.face, a.key); break;
        case FaceStep::ReleaseInField: form.keyReleased(UnitField::mm, a.key); break;
        case FaceStep::Deactivate: form.windowDeactivated(); break;
        }
        if (!firstTaken) firstTaken = taken;
    }
    EXPECT_EQ(firstTaken, GetParam().taken);
    EXPECT_EQ(desktop.launches.size(), static_cast<std::size_t>(GetParam().launches));
    EXPECT_EQ(desktop.messages.size(), static_cast<std::size_t>(GetParam().messages));
}

constexpr KeyEvent kReturn { .code = 36, .enter = true };
constexpr KeyEvent kReturnMarked { .code = 36, .autoRepeat = true, .enter = true };
constexpr KeyEvent kSpace { .code = 65, .space = true };
constexpr FaceAction kPressReturn { FaceStep::Press, kReturn };
constexpr FaceAction kReleaseReturn { FaceStep::Release, kReturn };

INSTANTIATE_TEST_SUITE_P(Keys, FaceKeyTest,
    ::testing::Values(FaceKeyRow { "return_clicks", { kPressReturn }, true, 1 },
        FaceKeyRow { "keypad_enter_clicks", { { FaceStep::Press, { .code = 104, .enter = true } } },
            true, 1 },
        FaceKeyRow { "space_clicks_at_its_press_and_its_release_is_taken",
            { { FaceStep::Press, kSpace }, { FaceStep::Release, kSpace } }, true, 1 },
        FaceKeyRow { "held_return_unmarked_repeats_click_nothing",
            { kPressReturn, kPressReturn, kPressReturn, kReleaseReturn }, true, 1 },
        FaceKeyRow { "held_return_marked_repeats_click_nothing",
            { kPressReturn, { FaceStep::Press, kReturnMarked },
                { FaceStep::Release, kReturnMarked }, { FaceStep::Press, kReturnMarked } },
            true, 1 },
        FaceKeyRow { "each_new_press_after_a_release_clicks",
            { kPressReturn, kReleaseReturn, kPressReturn, kReleaseReturn }, true, 2 },
        FaceKeyRow { "held_space_with_return_pressed_beside_it_clicks_twice",
            { { FaceStep::Press, kSpace }, kPressReturn, { FaceStep::Press, kSpace } }, true, 2 },
        FaceKeyRow { "held_return_across_the_face_swap_clicks_once",
            { kPressReturn, { FaceStep::Press, kReturn, Face::Command1 } }, true, 1 },
        FaceKeyRow { "return_released_in_a_field_is_up",
            { kPressReturn, { FaceStep::ReleaseInField, kReturn }, kPressReturn }, true, 2 },
        FaceKeyRow { "return_released_in_another_program_is_up",
            { kPressReturn, { FaceStep::Deactivate }, kPressReturn }, true, 2 },
        FaceKeyRow { "escape_is_not_taken", { { FaceStep::Press, { .code = 9, .escape = true } } },
            false, 0 },
        FaceKeyRow { "a_letter_is_not_taken", { { FaceStep::Press, { .code = 38 } } }, false, 0 },
        // A box opened under the held key would take its repetitions and
        // close unread: the failure is told once the key is up.
        FaceKeyRow { "failed_launch_waits_while_the_key_is_held", { kPressReturn, kPressReturn },
            true, 1, true, 0 },
        FaceKeyRow { "failed_launch_told_at_the_release",
            { kPressReturn, kPressReturn, kReleaseReturn }, true, 1, true, 1 },
        FaceKeyRow { "failed_launch_told_at_the_release_in_a_field",
            { kPressReturn, { FaceStep::ReleaseInField, kReturn } }, true, 1, true, 1 },
        FaceKeyRow { "failed_launch_told_when_the_window_is_left",
            { kPressReturn, { FaceStep::Deactivate } }, true, 1, true, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, EachClickLaunchesTheSiteOnce)
{
    form.Command2_Click();
    form.Command1_Click();
    form.Command1_Click();
    EXPECT_EQ(desktop.launches, std::vector<std::string>(3, std::string(siteAddress())));
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(Form1Test, FailedLaunchIsReportedNamingTheAddressAndNothingElseChanges)
{
    desktop.launchFails = true;
    form.Command2_Click();
    ASSERT_EQ(desktop.messages.size(), 1U);
    EXPECT_NE(desktop.messages[0].find(std::string(siteAddress())), std::string::npos);
    EXPECT_EQ(desktop.messageIcons, std::vector { MessageIcon::Warning });
    EXPECT_EQ(desktop.writes, 0);
    EXPECT_TRUE(desktop.command2Visible);
}

TEST_F(Form1Test, FailuresWhileTheMessageIsShownOpenNoSecondOne)
{
    desktop.launchFails = true;
    desktop.whileMessageShown = [this] {
        form.Command1_Click();
        form.Command2_Click();
    };
    form.Command2_Click();
    EXPECT_EQ(desktop.launches.size(), 3U);
    EXPECT_EQ(desktop.messages.size(), 1U);
    // Closed: the next failure is news again.
    form.Command1_Click();
    EXPECT_EQ(desktop.messages.size(), 2U);
}

struct YearRow {
    int year;
    const char* caption;
};

void PrintTo(const YearRow& row, std::ostream* out)
{
    *out << row.year;
}

class NoticeLineTest : public Form1Test, public ::testing::WithParamInterface<YearRow> { };

TEST_P(NoticeLineTest, LoadWritesTheYearOnce)
{
    desktop.year = GetParam().year;
    form.Form_Load();
    EXPECT_EQ(desktop.caption, GetParam().caption);
    EXPECT_EQ(desktop.yearReads, 1);
    EXPECT_EQ(desktop.focused, Control::mils); // the first of the tab order
    // Typing and pointer movement never touch it again.
    desktop.year += 1;
    form.mm_KeyUp();
    form.Form_MouseMove();
    EXPECT_EQ(desktop.caption, GetParam().caption);
    EXPECT_EQ(desktop.yearReads, 1);
}

INSTANTIATE_TEST_SUITE_P(Years, NoticeLineTest,
    ::testing::Values(YearRow { 2026, "Brantovel 版权所有 (C) 2003 - 2026" },
        YearRow { 2003, "Brantovel 版权所有 (C) 2003 - 2003" },
        YearRow { 9999, "Brantovel 版权所有 (C) 2003 - 9999" }));

} // namespace
} // namespace mensurel::ui
