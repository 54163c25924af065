#include <mensurel/win32/fonts.h>

#include <cwchar>

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

std::wstring firstInstalledTypeface(std::span<const wchar_t* const> typefaces)
{
    if (typefaces.empty()) return {};
    HDC dc = GetDC(nullptr);
    std::wstring chosen = typefaces.front();
    for (const wchar_t* typeface : typefaces) {
        if (isInstalled(dc, typeface)) {
            chosen = typeface;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return chosen;
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
