// The design tables and the arithmetic every desktop layer places the
// window with: twips to pixels at two resolutions, the first position on
// the screen, where the out-of-range notice stands.
#include <mensurel/ui/design.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>

namespace mensurel::ui {
namespace {

struct GeometryRow {
    Control control;
    PixelRect at96;
    PixelRect at192;
};

// Test names and failure messages show the row by its name.
void PrintTo(const GeometryRow& row, std::ostream* out)
{
    *out << std::string(designOf(row.control).name);
}

class GeometryTest : public ::testing::TestWithParam<GeometryRow> { };

TEST_P(GeometryTest, TwipsBecomePixelsAtTheDisplaysResolution)
{
    const GeometryRow& row = GetParam();
    const TwipRect twips = designOf(row.control).rect;
    EXPECT_EQ(toPixels(twips), row.at96);
    EXPECT_EQ(toPixels(twips, 192), row.at192);
}

INSTANTIATE_TEST_SUITE_P(Controls, GeometryTest,
    ::testing::Values(
        GeometryRow { Control::Command2, { 59, 104, 183, 49 }, { 117, 208, 366, 98 } },
        GeometryRow { Control::Command1, { 59, 104, 183, 49 }, { 117, 208, 366, 98 } },
        GeometryRow { Control::ums, { 161, 63, 97, 22 }, { 322, 126, 194, 44 } },
        GeometryRow { Control::inchs, { 21, 63, 97, 22 }, { 42, 126, 194, 44 } },
        GeometryRow { Control::mm, { 160, 24, 97, 21 }, { 320, 48, 194, 43 } },
        GeometryRow { Control::mils, { 23, 24, 97, 21 }, { 46, 48, 194, 43 } },
        // One pixel row of the notice line lies past the client area.
        GeometryRow { Control::Label1, { 56, 160, 198, 17 }, { 112, 320, 396, 34 } },
        GeometryRow { Control::Shape1, { 7, 8, 289, 92 }, { 14, 16, 578, 184 } },
        GeometryRow { Control::Shape2, { 14, 15, 275, 78 }, { 28, 30, 550, 156 } },
        GeometryRow { Control::Um, { 266, 70, 22, 13 }, { 532, 140, 44, 27 } },
        GeometryRow { Control::english, { 127, 29, 25, 17 }, { 254, 58, 50, 34 } }),
    [](const auto& info) { return std::string(designOf(info.param.control).name); });

TEST(Design, WindowClientAreaIs300By176AtDesignResolution)
{
    const PixelRect client = toPixels(windowDesign().clientArea);
    EXPECT_EQ(client.width, 300);
    EXPECT_EQ(client.height, 176);
    const PixelRect at144 = toPixels(windowDesign().clientArea, 144);
    EXPECT_EQ(at144.width, 450);
    EXPECT_EQ(at144.height, 264);
}

TEST(Design, TabOrderAndStackingFollowTheTable)
{
    std::vector<std::pair<int, std::string>> focusable;
    std::set<int> positions;
    for (const ControlDesign& c : controls()) {
        if (c.tabIndex >= 0) {
            EXPECT_TRUE(positions.insert(c.tabIndex).second) << c.name;
        }
        if (c.kind == ControlKind::TextField || c.kind == ControlKind::PictureButton)
            focusable.emplace_back(c.tabIndex, std::string(c.name));
    }
    std::sort(focusable.begin(), focusable.end());
    std::vector<std::string> order;
    for (const auto& [index, name] : focusable) order.push_back(name);
    EXPECT_EQ(
        order, (std::vector<std::string> { "mils", "mm", "inchs", "ums", "Command2", "Command1" }));
    EXPECT_EQ(controls().front().name, "Command2"); // above Command1
}

TEST(Design, ToolTipOfCommand2EndsWithTheSitesHost)
{
    EXPECT_EQ(toolTipOf(designOf(Control::Command2)), "更多资讯请访问" EXPECTED_SITE_HOST);
    EXPECT_EQ(siteHost(), EXPECTED_SITE_HOST);
    EXPECT_EQ(toolTipOf(designOf(Control::Command1)), "");
    EXPECT_EQ(toolTipOf(designOf(Control::mils)), "英制数据");
}

struct PlacementRow {
    const char* name;
    PixelRect available;
    PixelPoint client;
};

void PrintTo(const PlacementRow& row, std::ostream* out)
{
    *out << row.name;
}

class FirstPlacementTest : public ::testing::TestWithParam<PlacementRow> { };

TEST_P(FirstPlacementTest, DesignPositionWhenItFitsElseCentred)
{
    // With a frame of 8, 32, 8, 8 the whole window is 316 x 216.
    EXPECT_EQ(
        firstClientPosition(GetParam().available, 300, 176, { 8, 32, 8, 8 }), GetParam().client);
}

INSTANTIATE_TEST_SUITE_P(Screens, FirstPlacementTest,
    ::testing::Values(
        PlacementRow { "large_screen_design_position", { 0, 0, 1920, 1080 }, { 466, 414 } },
        PlacementRow { "fits_exactly_design_position", { 0, 0, 774, 598 }, { 466, 414 } },
        PlacementRow { "one_pixel_short_on_the_right_centred", { 0, 0, 773, 600 }, { 237, 224 } },
        PlacementRow {
            "second_screen_to_the_right_centred_on_it", { 1920, 0, 800, 600 }, { 2170, 224 } },
        PlacementRow {
            "screen_smaller_than_the_window_title_bar_kept_on_it", { 0, 0, 300, 200 }, { 8, 32 } }),
    [](const auto& info) { return std::string(info.param.name); });

struct NoticeRow {
    const char* name;
    PixelRect field;
    int width;
    int height;
    PixelRect available;
    PixelPoint expected;
};

void PrintTo(const NoticeRow& row, std::ostream* out)
{
    *out << row.name;
}

class NoticePlacementTest : public ::testing::TestWithParam<NoticeRow> { };

TEST_P(NoticePlacementTest, BesideTheFieldAndOnTheScreen)
{
    const NoticeRow& row = GetParam();
    const PixelPoint at = placeNotice(row.field, row.width, row.height, row.available);
    EXPECT_EQ(at, row.expected);
    const PixelRect notice { at.x, at.y, row.width, row.height };
    if (row.width <= row.available.width && row.height <= row.available.height) {
        EXPECT_TRUE(row.available.contains(notice));
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, NoticePlacementTest,
    ::testing::Values(NoticeRow { "below_left_edges_aligned", { 483, 189, 291, 63 }, 420, 60,
                          { 0, 0, 1280, 800 }, { 483, 252 } },
        NoticeRow { "near_the_right_edge_shifted_left_not_flipped", { 1100, 189, 97, 22 }, 420, 30,
            { 0, 0, 1280, 800 }, { 860, 211 } },
        NoticeRow { "no_room_below_above_the_field", { 483, 189, 291, 63 }, 420, 60,
            { 0, 0, 800, 300 }, { 380, 129 } },
        // Three times the window on a 1280 x 800 screen, ums at the right.
        NoticeRow { "scale_3_ums_field", { 1023, 589, 291, 66 }, 600, 40, { 0, 0, 1280, 770 },
            { 680, 655 } },
        NoticeRow { "room_neither_below_nor_above_kept_on_the_screen", { 0, 40, 100, 20 }, 200, 60,
            { 0, 0, 400, 100 }, { 0, 40 } },
        NoticeRow { "screen_not_at_the_origin", { 2000, 100, 97, 22 }, 300, 30,
            { 1920, 0, 1024, 768 }, { 2000, 122 } }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mensurel::ui
