#include <mensurel/win32/fonts.h>

#include <mensurel/win32/text.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace mensurel::win32 {

namespace {

int CALLBACK noteTypeface(
    const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one match is enough
}

bool isInstalled(HDC dc, const wchar_t* typeface)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, typeface, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, noteTypeface, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

} // namespace

std::wstring firstInstalledTypeface(std::span<const std::string_view> typefaces)
{
    std::vector<std::wstring> names;
    for (const std::string_view typeface : typefaces) {
        if (!typeface.empty()) names.push_back(widen(typeface));
    }
    if (names.empty()) return {};
    HDC dc = GetDC(nullptr);
    const auto found = std::ranges::find_if(
        names, [dc](const std::wstring& name) { return isInstalled(dc, name.c_str()); });
    ReleaseDC(nullptr, dc);
    return found != names.end() ? *found : names.front();
}

HFONT createPointFont(const std::wstring& typeface, int points, bool bold, int dpi, BYTE charset)
{
    LOGFONTW font {};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(font.lfFaceName, typeface.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

} // namespace mensurel::win32
