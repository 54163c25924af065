// The window's fonts: a CJK-capable face for the fields and the notice line,
// Arial bold for the unit labels.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace mensurel::win32 {

// Faces that show Simplified Chinese, in order of preference: those of
// Windows first, then those a test machine may have.
inline constexpr const wchar_t* kChineseFaces[] = {
    L"Microsoft YaHei UI",
    L"Microsoft YaHei",
    L"SimSun",
    L"WenQuanYi Micro Hei",
    L"Noto Sans CJK SC",
};

// The first of `faces` that is installed; the first of the list when none is
// (the font mapper then picks the nearest).
std::wstring firstInstalledFace(std::span<const wchar_t* const> faces);

// A font of `face` at `points` for a window at `dpi`.
HFONT createPointFont(
    const std::wstring& face, int points, bool bold, int dpi, BYTE charset = DEFAULT_CHARSET);

} // namespace mensurel::win32
