#include <mensurel/win32/warning.h>

#include <mensurel/ui/layout.h>
#include <mensurel/win32/screens.h>

#include <commctrl.h>

#include <optional>

namespace mensurel::win32 {

namespace {

TOOLINFOW toolOf(HWND owner, HWND field)
{
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    return tool;
}

} // namespace

FieldWarning::~FieldWarning()
{
    if (tip_) DestroyWindow(tip_);
}

void FieldWarning::create(HWND owner)
{
    owner_ = owner;
}

bool FieldWarning::makeTip()
{
    if (tip_ || !owner_) return tip_ != nullptr;
    // A plain tooltip rather than a balloon: a balloon's stem would push it
    // off the point it is placed at.
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_NOANIMATE | TTS_NOFADE, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, GetModuleHandleW(nullptr),
        nullptr);
    setFont(font_);
    return tip_ != nullptr;
}

void FieldWarning::setFont(HFONT font)
{
    font_ = font;
    if (tip_ && font) SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FieldWarning::removeTool()
{
    if (!field_) return;
    TOOLINFOW tool = toolOf(owner_, field_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    field_ = nullptr;
}

// Packed as 16-bit two's complement, which Windows reads back signed: a
// monitor left of or above the main one has negative coordinates. (Wine 8
// reads them unsigned; placed on the work area of a monitor that starts at
// 0, as Wine's are, they are never negative there.)
void FieldWarning::trackAt(POINT screen) const
{
    SendMessageW(tip_, TTM_TRACKPOSITION, 0,
        MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(screen.x)),
            static_cast<WORD>(static_cast<SHORT>(screen.y))));
}

void FieldWarning::show(HWND field, const std::wstring& title, const std::wstring& text)
{
    if (!makeTip()) return;
    removeTool();
    text_ = text;
    title_ = title;
    TOOLINFOW tool = toolOf(owner_, field);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.lpszText = text_.data();
    if (!SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return;
    field_ = field;
    SendMessageW(tip_, TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title_.c_str()));
    place(tool);
}

// Shown where its bubble's size says it goes, then measured as shown: its
// border and margins may make it larger, and the tracking point may not be
// exactly its corner. It is narrowed or moved until it stands where placed,
// or stops moving (the tooltip keeps itself on the screen).
void FieldWarning::place(TOOLINFOW& tool) const
{
    MONITORINFO monitor { sizeof monitor, {}, {}, 0 };
    GetMonitorInfoW(MonitorFromWindow(field_, MONITOR_DEFAULTTONEAREST), &monitor);
    const ui::PixelRect work = toPixelRect(monitor.rcWork);
    RECT box;
    GetWindowRect(field_, &box);
    const ui::PixelRect at = toPixelRect(box);
    // The text wraps only where it would be wider than the work area.
    int maxWidth = work.width;
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, maxWidth);

    const auto bubble = static_cast<DWORD>(
        SendMessageW(tip_, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
    const ui::PixelPoint first = ui::placeWarning(at, LOWORD(bubble), HIWORD(bubble), work);
    POINT track { first.x, first.y };
    trackAt(track);
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    std::optional<ui::PixelRect> before;
    for (int round = 0; round < 4; ++round) {
        RECT shownRect;
        GetWindowRect(tip_, &shownRect);
        const ui::PixelRect shown = toPixelRect(shownRect);
        if (shown == before) break;
        before = shown;
        if (shown.width > work.width && maxWidth > shown.width - work.width) {
            maxWidth -= shown.width - work.width;
            SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
        } else {
            const ui::PixelPoint wanted = ui::placeWarning(at, shown.width, shown.height, work);
            if (shown.left == wanted.x && shown.top == wanted.y) break;
            track.x += wanted.x - shown.left;
            track.y += wanted.y - shown.top;
        }
        trackAt(track);
    }
}

void FieldWarning::hide(HWND field)
{
    if (field && field == field_) removeTool();
}

} // namespace mensurel::win32
