// The remembered place of the window: its line of text, and whether the
// window opens there again as the screens are now.
#include <mensurel/ui/place.h>

#include <gtest/gtest.h>

#include <vector>

namespace mensurel::ui {
namespace {

const RememberedPlace kPlace { .client = { 466, 414 }, .screen = { 0, 0, 1280, 1024 }, .dpi = 96 };
const PixelMargins kFrame { .left = 8, .top = 32, .right = 8, .bottom = 8 };
constexpr int kClientWidth = 300;

TEST(RememberedPlace, ReadsBackOnlyWhatItWrote)
{
    EXPECT_EQ(placeText(kPlace), "466 414 0 0 1280 1024 96");
    const RememberedPlace left {
        .client = { -1200, 30 }, .screen = { -1280, 0, 1280, 800 }, .dpi = 144
    };
    for (const RememberedPlace& place : { kPlace, left })
        EXPECT_EQ(readPlace(placeText(place)), place);
    for (const char* text : { "", "abc", "466 414 0 0 1280", "466 414 0 0 1280 1024 96 7",
             "466 414 0 0 1280 1024 96 ", " 466 414 0 0 1280 1024 96", "466,414 0 0 1280 1024 96",
             "466 x 0 0 1280 1024 96", "466 414 0 0 1280 1024 9.6", "466 414 0 0 0 1024 96",
             "466 414 0 0 1280 1024 0", "466 414 0 0 1280 1024 9600",
             "99999999999 414 0 0 1280 1024 96", "1000001 414 0 0 1280 1024 96" }) {
        EXPECT_FALSE(readPlace(text)) << '"' << text << '"';
    }
}

TEST(RememberedPlace, UsedOnlyWhereTheTitleBarCanBeGrabbed)
{
    struct Row {
        const char* what;
        RememberedPlace place;
        std::vector<ScreenArea> screens;
        bool used;
    };
    const ScreenArea screen { .geometry = { 0, 0, 1280, 1024 }, .available = { 0, 0, 1280, 994 } };
    const ScreenArea leftOfIt { .geometry = { -1280, 0, 1280, 800 },
        .available = { -1280, 0, 1280, 800 } };
    const auto at = [](int x, int y, const ScreenArea& on) {
        return RememberedPlace { .client = { x, y }, .screen = on.geometry, .dpi = on.dpi };
    };
    const Row rows[] = {
        { "on the screen", kPlace, { screen }, true },
        { "in a corner, the frame flush with the edges", at(8, 32, screen), { screen }, true },
        { "half off the right edge", at(1100, 414, screen), { screen }, false },
        { "title bar above the top edge", at(466, 20, screen), { screen }, false },
        { "title bar under the task bar", at(466, 1000, screen), { screen }, false },
        { "lower part off the bottom, title bar on", at(466, 900, screen), { screen }, true },
        { "on a screen left of the main one", at(-900, 100, leftOfIt), { screen, leftOfIt }, true },
        { "on a screen that is gone", at(-900, 100, leftOfIt), { screen }, false },
        { "after a change of resolution", kPlace,
            { { .geometry = { 0, 0, 1920, 1080 }, .available = { 0, 0, 1920, 1050 } } }, false },
        { "after a change of scale", kPlace,
            { { .geometry = screen.geometry, .available = screen.available, .dpi = 192 } }, false },
        { "across two screens, title bar on neither wholly", at(-150, 100, leftOfIt),
            { screen, leftOfIt }, false },
        { "no screens", kPlace, {}, false },
    };
    for (const Row& row : rows) {
        const auto position
            = rememberedClientPosition(row.place, row.screens, kClientWidth, kFrame);
        EXPECT_EQ(position.has_value(), row.used) << row.what;
        if (position) {
            EXPECT_EQ(*position, row.place.client) << row.what;
        }
    }
}

} // namespace
} // namespace mensurel::ui
