// The controls' tooltips: one tooltip window over the window's controls, a
// tool for each control whose design has a tooltip.
#pragma once

#include <mensurel/ui/design.h>

#include <windows.h>

#include <array>
#include <span>
#include <string>

namespace mensurel::win32 {

class ControlTips {
public:
    // Creates the tooltip window, owned by `owner`, with the tools of
    // `controls` (as ui::controls(); null where there is no control).
    void create(HWND owner, std::span<const HWND, ui::kControlCount> controls);
    // Without the window's font the tooltips show Chinese as boxes. Nothing
    // before create().
    void setFont(HFONT font) const;

private:
    HWND tips_ = nullptr; // destroyed with its owner
    std::array<std::wstring, ui::kControlCount> texts_; // the tools point at them
};

} // namespace mensurel::win32
