// The window in pixels: twips at two resolutions, the one scaling of other
// lengths, the faces and outlines, the first position on the screen, where
// an out-of-range warning stands, where the window goes at a new resolution.
#include <mensurel/ui/layout.h>

#include <gtest/gtest.h>

#include <ostream>
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

TEST(Layout, WindowClientAreaIs300By176AtDesignResolution)
{
    const PixelRect client = toPixels(windowDesign().clientArea);
    EXPECT_EQ(client.width, 300);
    EXPECT_EQ(client.height, 176);
    const PixelRect at144 = toPixels(windowDesign().clientArea, 144);
    EXPECT_EQ(at144.width, 450);
    EXPECT_EQ(at144.height, 264);
}

struct ScaleRow {
    int dpi;
    Layout expected; // dpi, client, faces; the controls are not compared here
    int thinLine; // Shape2's outline, 1 pixel at 96 dpi
    int thickLine; // Shape1's, 2 pixels
    PixelRect command2;
};

void PrintTo(const ScaleRow& row, std::ostream* out)
{
    *out << row.dpi << " dpi";
}

class ScaleTest : public ::testing::TestWithParam<ScaleRow> { };

TEST_P(ScaleTest, ClientFacesAndLinesFollowTheResolution)
{
    const ScaleRow& row = GetParam();
    const Layout layout = layoutAt(row.dpi);
    EXPECT_EQ(layout.clientWidth, row.expected.clientWidth);
    EXPECT_EQ(layout.clientHeight, row.expected.clientHeight);
    EXPECT_EQ(layout.faceScale, row.expected.faceScale);
    EXPECT_EQ(layout.faceWidth, row.expected.faceWidth);
    EXPECT_EQ(layout.faceHeight, row.expected.faceHeight);
    EXPECT_EQ(lineWidthAt(designOf(Control::Shape2), row.dpi), row.thinLine);
    EXPECT_EQ(lineWidthAt(designOf(Control::Shape1), row.dpi), row.thickLine);
    EXPECT_EQ(layout.controls[static_cast<std::size_t>(Control::Command2)], row.command2);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ScaleTest,
    ::testing::Values(ScaleRow { 96,
                          { .clientWidth = 300,
                              .clientHeight = 176,
                              .faceScale = 1,
                              .faceWidth = 175,
                              .faceHeight = 40 },
                          1, 2, { 59, 104, 183, 49 } },
        ScaleRow { 120,
            { .clientWidth = 375,
                .clientHeight = 220,
                .faceScale = 1,
                .faceWidth = 219,
                .faceHeight = 50 },
            1, 3, { 73, 130, 229, 61 } },
        ScaleRow { 144,
            { .clientWidth = 450,
                .clientHeight = 264,
                .faceScale = 2,
                .faceWidth = 263,
                .faceHeight = 60 },
            2, 3, { 88, 156, 274, 74 } },
        ScaleRow { 192,
            { .clientWidth = 600,
                .clientHeight = 352,
                .faceScale = 2,
                .faceWidth = 350,
                .faceHeight = 80 },
            2, 4, { 117, 208, 366, 98 } }),
    [](const auto& info) { return std::to_string(info.param.dpi); });

TEST(Layout, OutlineIsFourBarsInsideTheFrame)
{
    const auto bars = outlineOf({ 7, 8, 289, 92 }, 2);
    EXPECT_EQ(bars[0], (PixelRect { 7, 8, 289, 2 }));
    EXPECT_EQ(bars[1], (PixelRect { 7, 98, 289, 2 }));
    EXPECT_EQ(bars[2], (PixelRect { 7, 8, 2, 92 }));
    EXPECT_EQ(bars[3], (PixelRect { 294, 8, 2, 92 }));
}

TEST(Layout, DpiChangeTakesTheSuggestedRectangleUnlessItsSizeIsOff)
{
    const PixelRect frame { 0, 0, 616, 398 };
    // The suggestion already has the new size: taken as it is, also when it
    // differs by a pixel of rounding.
    EXPECT_EQ(windowAfterDpiChange({ 10, 20, 616, 398 }, frame), (PixelRect { 10, 20, 616, 398 }));
    EXPECT_EQ(windowAfterDpiChange({ 10, 20, 617, 397 }, frame), (PixelRect { 10, 20, 617, 397 }));
    // A suggestion of another size keeps its position and gets the size the
    // client area needs.
    EXPECT_EQ(windowAfterDpiChange({ -5, 7, 310, 200 }, frame), (PixelRect { -5, 7, 616, 398 }));
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

struct WarningRow {
    const char* name;
    PixelRect field;
    int width;
    int height;
    PixelRect available;
    PixelPoint expected;
};

void PrintTo(const WarningRow& row, std::ostream* out)
{
    *out << row.name;
}

class WarningPlacementTest : public ::testing::TestWithParam<WarningRow> { };

TEST_P(WarningPlacementTest, BesideTheFieldAndOnTheScreen)
{
    const WarningRow& row = GetParam();
    const PixelPoint at = placeWarning(row.field, row.width, row.height, row.available);
    EXPECT_EQ(at, row.expected);
    const PixelRect warning { at.x, at.y, row.width, row.height };
    if (row.width <= row.available.width && row.height <= row.available.height) {
        EXPECT_TRUE(row.available.contains(warning));
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, WarningPlacementTest,
    ::testing::Values(WarningRow { "below_left_edges_aligned", { 483, 189, 291, 63 }, 420, 60,
                          { 0, 0, 1280, 800 }, { 483, 252 } },
        WarningRow { "near_the_right_edge_shifted_left_not_flipped", { 1100, 189, 97, 22 }, 420, 30,
            { 0, 0, 1280, 800 }, { 860, 211 } },
        WarningRow { "no_room_below_above_the_field", { 483, 189, 291, 63 }, 420, 60,
            { 0, 0, 800, 300 }, { 380, 129 } },
        // Three times the window on a 1280 x 800 screen, ums at the right.
        WarningRow { "scale_3_ums_field", { 1023, 589, 291, 66 }, 600, 40, { 0, 0, 1280, 770 },
            { 680, 655 } },
        WarningRow { "room_neither_below_nor_above_kept_on_the_screen", { 0, 40, 100, 20 }, 200, 60,
            { 0, 0, 400, 100 }, { 0, 40 } },
        WarningRow { "screen_not_at_the_origin", { 2000, 100, 97, 22 }, 300, 30,
            { 1920, 0, 1024, 768 }, { 2000, 122 } }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mensurel::ui
