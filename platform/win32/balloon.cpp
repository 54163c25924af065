#include <mensurel/win32/balloon.h>

#include <commctrl.h>

namespace mensurel::win32 {

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
    SendMessageW(
        tip_, TTM_SETMAXTIPWIDTH, 0, MulDiv(400, static_cast<int>(GetDpiForWindow(owner_)), 96));
    SendMessageW(tip_, TTM_SETTITLEW, TTI_WARNING, reinterpret_cast<LPARAM>(title_.c_str()));
    RECT box;
    GetWindowRect(field, &box);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0,
        MAKELPARAM((box.left + box.right) / 2, box.bottom - (box.bottom - box.top) / 4));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void FieldBalloon::reposition()
{
    if (!field_) return;
    const std::wstring title = title_;
    const std::wstring text = text_;
    show(field_, title, text);
}

void FieldBalloon::hide(HWND field)
{
    if (field && field == field_) removeTool();
}

} // namespace mensurel::win32
