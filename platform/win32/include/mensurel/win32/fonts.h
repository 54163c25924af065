// The window's fonts, from ui/'s font designs: each font takes the first of
// its design's typefaces that is installed.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

namespace mensurel::win32 {

// The first of `typefaces` (UTF-8, empty entries passed over) that is
// installed; the first of the list when none is (the font mapper then picks
// the nearest).
std::wstring firstInstalledTypeface(std::span<const std::string_view> typefaces);

// A font of `typeface` at `points` for a window at `dpi`.
HFONT createPointFont(
    const std::wstring& typeface, int points, bool bold, int dpi, BYTE charset = DEFAULT_CHARSET);

} // namespace mensurel::win32
