#include <mensurel/win32/balloon.h>

#include <mensurel/ui/layout.h>

#include <commctrl.h>

#include <algorithm>

namespace mensurel::win32 {

namespace {

// The widest the balloon grows before it wraps, in pixels at 96 dpi.
constexpr int kMaxWidth = 400;

} // namespace

FieldBalloon::~FieldBalloon()
{
    if (tip_) DestroyWindow(tip_);
}

void FieldBalloon::create(HWND owner, HFONT font)
{
    owner_ = owner;
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    setFont(font);
}

void FieldBalloon::setFont(HFONT font)
{
    if (tip_ && font) SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FieldBalloon::removeTool()
{
    if (!field_) return;
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(field_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    field_ = nullptr;
}

void FieldBalloon::show(HWND field, const std::wstring& title, const std::wstring& text)
{
    if (!tip_) return;
    removeTool();
    text_ = text;
    title_ = title;
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    tool.lpszText = text_.data();
    if (!SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return;
    field_ = field;
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0,
        ui::scaled(kMaxWidth, static_cast<int>(GetDpiForWindow(owner_))));
    SendMessageW(tip_, TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title_.c_str()));
    RECT box;
    GetWindowRect(field, &box);
    POINT at { (box.left + box.right) / 2, box.bottom - ((box.bottom - box.top) / 4) };
    // The stem points into the work area of the field's monitor, so the
    // balloon stays on the screen when the window is partly off its edge.
    MONITORINFO monitor { sizeof monitor, {}, {}, 0 };
    if (GetMonitorInfoW(MonitorFromWindow(field, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        at.x = std::clamp(at.x, work.left, std::max(work.left, work.right - 1));
        at.y = std::clamp(at.y, work.top, std::max(work.top, work.bottom - 1));
    }
    // Packed as 16-bit two's complement, which Windows reads back signed:
    // a monitor left of or above the main one has negative coordinates.
    // (Wine 8 reads them unsigned; the clamp above keeps them on a monitor
    // there too as long as that monitor starts at 0.)
    SendMessageW(tip_, TTM_TRACKPOSITION, 0,
        MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(at.x)),
            static_cast<WORD>(static_cast<SHORT>(at.y))));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void FieldBalloon::hide(HWND field)
{
    if (field && field == field_) removeTool();
}

} // namespace mensurel::win32
