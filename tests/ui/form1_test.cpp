// The window's procedures and the rule of when a field converts, driven
// through a fake desktop: no toolkit, no window.
#include "fake_desktop.h"

#include <mensurel/ui/design.h>
#include <mensurel/ui/form1.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
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
enum class Step { Press, Release, RepeatPress, RepeatRelease, Edit, FocusOut };
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
constexpr int kDigit1 = '1';
constexpr int kV = 'V';
constexpr int kCtrl = 1001;
constexpr int kShift = 1002;
constexpr int kTab = 1003;
constexpr int kRight = 1004;

class KeyRuleTest : public Form1Test, public ::testing::WithParamInterface<KeyRuleRow> { };

TEST_P(KeyRuleTest, ConvertsAsOftenAsTheUserExpects)
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
            form.textEditedByUser(UnitField::mm);
            break;
        case Step::FocusOut: form.focusLeft(UnitField::mm); break;
        }
    }
    EXPECT_EQ(desktop.writes, 3 * GetParam().conversions);
    if (GetParam().conversions > 0) {
        // Whatever the path, the fields end up showing the field's value.
        FieldTexts expected { desktop.texts[0], desktop.texts[1], desktop.text(UnitField::mm),
            desktop.texts[3] };
        FieldTexts fresh = expected;
        ASSERT_TRUE(ConvertFromField(UnitField::mm, fresh));
        EXPECT_EQ(fresh, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyRuleTest,
    ::testing::Values(
        KeyRuleRow { "typed_key_converts_once_at_its_release",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::Release, kDigit2 } }, 1 },
        KeyRuleRow { "held_key_converts_once_at_its_real_release",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::RepeatRelease, kDigit2 },
                { Step::RepeatPress, kDigit2 }, { Step::Edit, 0, "22" },
                { Step::RepeatRelease, kDigit2 }, { Step::RepeatPress, kDigit2 },
                { Step::Edit, 0, "222" }, { Step::Release, kDigit2 } },
            1 },
        KeyRuleRow { "tab_released_after_bringing_the_focus_here_converts_nothing",
            { { Step::Release, kTab } }, 0 },
        KeyRuleRow { "ctrl_v_converts_once",
            { { Step::Press, kCtrl }, { Step::Press, kV }, { Step::Edit, 0, "2" },
                { Step::Release, kV }, { Step::Release, kCtrl } },
            1 },
        KeyRuleRow { "ctrl_released_first_after_ctrl_v_converts_once",
            { { Step::Press, kCtrl }, { Step::Press, kV }, { Step::Edit, 0, "2" },
                { Step::Release, kCtrl }, { Step::Release, kV } },
            1 },
        KeyRuleRow { "two_pastes_under_one_ctrl_convert_twice",
            { { Step::Press, kCtrl }, { Step::Press, kV }, { Step::Edit, 0, "2" },
                { Step::Release, kV }, { Step::Press, kV }, { Step::Edit, 0, "22" },
                { Step::Release, kV }, { Step::Release, kCtrl } },
            2 },
        KeyRuleRow { "shifted_key_converts_once",
            { { Step::Press, kShift }, { Step::Press, kDigit2 }, { Step::Edit, 0, "2" },
                { Step::Release, kDigit2 }, { Step::Release, kShift } },
            1 },
        KeyRuleRow { "overlapping_keys_convert_once_for_the_same_text",
            { { Step::Press, kDigit1 }, { Step::Edit, 0, "1" }, { Step::Press, kDigit2 },
                { Step::Edit, 0, "12" }, { Step::Release, kDigit1 }, { Step::Release, kDigit2 } },
            1 },
        KeyRuleRow { "menu_paste_converts_once", { { Step::Edit, 0, "2" } }, 1 },
        KeyRuleRow { "menu_paste_then_undo_converts_each",
            { { Step::Edit, 0, "2" }, { Step::Edit, 0, "" } }, 2 },
        KeyRuleRow { "arrow_converts_though_it_changes_no_text",
            { { Step::Press, kRight }, { Step::Release, kRight } }, 1 },
        KeyRuleRow { "a_lone_ctrl_tap_after_typing_converts_again",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::Release, kDigit2 },
                { Step::Press, kCtrl }, { Step::Release, kCtrl } },
            2 },
        KeyRuleRow { "release_after_the_focus_left_converts_nothing",
            { { Step::Press, kDigit2 }, { Step::Edit, 0, "2" }, { Step::FocusOut },
                { Step::Release, kDigit2 } },
            0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, ChordEndsConvertAgainWhenAnotherFieldRewroteThisOne)
{
    // Ctrl+V in mm, then a menu paste in mils rewrites mm; the Ctrl release
    // in mm converts from mm's new text, so the four fields agree.
    form.keyPressed(UnitField::mm, { .code = kCtrl });
    form.keyPressed(UnitField::mm, { .code = kV });
    desktop.text(UnitField::mm) = "2";
    form.textEditedByUser(UnitField::mm);
    form.keyReleased(UnitField::mm, { .code = kV });
    desktop.text(UnitField::mils) = "1";
    form.textEditedByUser(UnitField::mils);
    EXPECT_EQ(desktop.text(UnitField::mm), "0.0254");
    desktop.writes = 0;
    form.keyReleased(UnitField::mm, { .code = kCtrl });
    EXPECT_EQ(desktop.writes, 3);
    EXPECT_EQ(desktop.text(UnitField::mils), "1.0000");
}

// The picture button's two faces under the pointer, and the focus on them.
enum class Move { Surface, Command1 };
struct HoverRow {
    const char* name;
    std::optional<Face> focusBefore;
    std::vector<Move> moves;
    bool command1Visible;
    bool command2Visible;
    std::optional<Face> focusAfter;
};

void PrintTo(const HoverRow& row, std::ostream* out)
{
    *out << row.name;
}

class HoverTest : public Form1Test, public ::testing::WithParamInterface<HoverRow> { };

TEST_P(HoverTest, SwapsTheFacesAndKeepsTheFocusOnTheButton)
{
    const HoverRow& row = GetParam();
    desktop.focusedFace = row.focusBefore;
    for (const Move m : row.moves) {
        if (m == Move::Surface)
            form.Form_MouseMove();
        else
            form.Command1_MouseMove();
    }
    EXPECT_EQ(desktop.command1Visible, row.command1Visible);
    EXPECT_EQ(desktop.command2Visible, row.command2Visible);
    EXPECT_EQ(desktop.focusedFace, row.focusAfter);
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
        HoverRow { "focused_command2_hidden_by_surface_focus_moves_to_command1", Face::Command2,
            { Move::Surface }, true, false, Face::Command1 },
        HoverRow { "focused_command1_hidden_by_hover_focus_moves_to_command2", Face::Command2,
            { Move::Surface, Move::Command1 }, false, true, Face::Command2 },
        HoverRow { "focus_on_the_shown_face_stays", Face::Command1, { Move::Surface }, true, false,
            Face::Command1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, OutOfRangeKeepsTheFieldsAndTellsTheUserOnce)
{
    const std::array<std::string, 4> before = desktop.texts;
    desktop.text(UnitField::inchs) = "1e400";
    form.inchs_KeyUp();
    EXPECT_EQ(desktop.writes, 0);
    EXPECT_EQ(desktop.texts[1], before[1]);
    EXPECT_EQ(desktop.beeps, 1);
    ASSERT_TRUE(desktop.notice(UnitField::inchs));
    EXPECT_EQ(*desktop.notice(UnitField::inchs), texts::kOutOfRange);
    EXPECT_EQ(desktop.description(UnitField::inchs), texts::kOutOfRange);

    // Typing on while out of range: the notice stays, no second beep.
    desktop.text(UnitField::inchs) = "1e4000";
    form.inchs_KeyUp();
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(desktop.notice(UnitField::inchs));

    // A number that converts takes the notice away.
    desktop.text(UnitField::inchs) = "1";
    form.inchs_KeyUp();
    EXPECT_FALSE(desktop.notice(UnitField::inchs));
    EXPECT_TRUE(desktop.description(UnitField::inchs).empty());
    EXPECT_EQ(desktop.text(UnitField::mils), "1000.0000");

    // Out of range again: a new beep.
    desktop.text(UnitField::inchs) = "99999999999";
    form.inchs_KeyUp();
    EXPECT_EQ(desktop.beeps, 2);
}

TEST_F(Form1Test, EscapeHidesTheNoticeUntilTheTextChanges)
{
    desktop.text(UnitField::ums) = "1e400";
    form.keyPressed(UnitField::ums, { .code = '0' });
    form.keyReleased(UnitField::ums, { .code = '0' });
    ASSERT_TRUE(desktop.notice(UnitField::ums));

    const KeyEvent escape { .code = 27, .escape = true };
    form.keyPressed(UnitField::ums, escape);
    EXPECT_FALSE(desktop.notice(UnitField::ums));
    form.keyReleased(UnitField::ums, escape);
    EXPECT_FALSE(desktop.notice(UnitField::ums)) << "the release brought it back";
    // Still described for a screen reader, still no beep again.
    EXPECT_EQ(desktop.description(UnitField::ums), texts::kOutOfRange);
    EXPECT_EQ(desktop.beeps, 1);

    form.keyPressed(UnitField::ums, { .code = kRight });
    form.keyReleased(UnitField::ums, { .code = kRight });
    EXPECT_FALSE(desktop.notice(UnitField::ums));

    desktop.text(UnitField::ums) = "1e4000";
    form.keyPressed(UnitField::ums, { .code = '0' });
    form.keyReleased(UnitField::ums, { .code = '0' });
    EXPECT_TRUE(desktop.notice(UnitField::ums));
}

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
    EXPECT_EQ(desktop.writes, 0);
    EXPECT_TRUE(desktop.command2Visible);
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
