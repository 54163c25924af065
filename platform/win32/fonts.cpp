#include <mensurel/win32/fonts.h>

#include <cwchar>

namespace mensurel::win32 {

namespace {

int CALLBACK noteFace(
    const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0; // one match is enough
}

bool isInstalled(HDC dc, const wchar_t* face)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

} // namespace

std::wstring firstInstalledFace(std::span<const wchar_t* const> faces)
{
    if (faces.empty()) return {};
    HDC dc = GetDC(nullptr);
    std::wstring chosen = faces.front();
    for (const wchar_t* face : faces) {
        if (isInstalled(dc, face)) {
            chosen = face;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return chosen;
}

HFONT createPointFont(const std::wstring& face, int points, bool bold, int dpi, BYTE charset)
{
    LOGFONTW font {};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

} // namespace mensurel::win32
