#include <mensurel/win32/tooltips.h>

#include <mensurel/win32/text.h>

#include <commctrl.h>

namespace mensurel::win32 {

void ControlTips::create(HWND owner, std::span<const HWND, ui::kControlCount> controls)
{
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    const auto designs = ui::controls();
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].toolTip.empty() || !controls[i]) continue;
        texts_[i] = widen(ui::toolTipOf(designs[i]));
        TOOLINFOW tool {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = owner;
        tool.uId = reinterpret_cast<UINT_PTR>(controls[i]);
        tool.lpszText = texts_[i].data();
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ControlTips::setFont(HFONT font) const
{
    if (tips_) SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

} // namespace mensurel::win32
