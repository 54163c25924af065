#include "mensurel/ui/place.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace mensurel::ui {

namespace {

constexpr int kFarthest = 1'000'000; // pixels from the desktop's origin, or a screen's size
constexpr int kLowestDpi = 24;
constexpr int kHighestDpi = 2400;

} // namespace

std::string placeText(const RememberedPlace& place)
{
    const std::array numbers { place.client.x, place.client.y, place.screen.left, place.screen.top,
        place.screen.width, place.screen.height, place.dpi };
    std::string text;
    for (const int number : numbers) {
        if (!text.empty()) text += ' ';
        text += std::to_string(number);
    }
    return text;
}

std::optional<RememberedPlace> readPlace(std::string_view text)
{
    std::array<int, 7> numbers {};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (at == end || *at != ' ') return std::nullopt;
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, numbers[i]);
        if (error != std::errc() || std::abs(numbers[i]) > kFarthest) return std::nullopt;
        at = next;
    }
    if (at != end) return std::nullopt;
    const RememberedPlace place { .client = { numbers[0], numbers[1] },
        .screen = { numbers[2], numbers[3], numbers[4], numbers[5] },
        .dpi = numbers[6] };
    if (place.screen.width <= 0 || place.screen.height <= 0) return std::nullopt;
    if (place.dpi < kLowestDpi || place.dpi > kHighestDpi) return std::nullopt;
    return place;
}

std::optional<PixelPoint> rememberedClientPosition(const RememberedPlace& place,
    std::span<const ScreenArea> screens, int clientWidth, const PixelMargins& frame)
{
    const bool screenStillThere = std::ranges::any_of(screens, [&](const ScreenArea& screen) {
        return screen.geometry == place.screen && screen.dpi == place.dpi;
    });
    if (!screenStillThere) return std::nullopt;
    const PixelRect titleBar { .left = place.client.x - frame.left,
        .top = place.client.y - frame.top,
        .width = frame.left + clientWidth + frame.right,
        .height = std::max(frame.top, 1) };
    const bool reachable = std::ranges::any_of(
        screens, [&](const ScreenArea& screen) { return screen.available.contains(titleBar); });
    if (!reachable) return std::nullopt;
    return place.client;
}

} // namespace mensurel::ui
