// The window's fonts: a CJK-capable typeface for the fields and the notice
// line, Arial bold for the unit labels.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace mensurel::win32 {

// Typefaces that show Simplified Chinese, in order of preference: those of
// Windows first, then those a test machine may have.
inline constexpr const wchar_t* kChineseTypefaces[] = {
    L"Microsoft YaHei UI",
    L"Microsoft YaHei",
    L"SimSun",
    L"WenQuanYi Micro Hei",
    L"Noto Sans CJK SC",
};

// The first of `typefaces` that is installed; the first of the list when none
// is (the font mapper then picks the nearest).
std::wstring firstInstalledTypeface(std::span<const wchar_t* const> typefaces);

// A font of `typeface` at `points` for a window at `dpi`.
HFONT createPointFont(
    const std::wstring& typeface, int points, bool bold, int dpi, BYTE charset = DEFAULT_CHARSET);

} // namespace mensurel::win32
