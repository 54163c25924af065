// The out-of-range warning at a field: a tooltip window with the warning
// icon, a title and the text, shown without taking the focus, its top-left
// corner where ui::placeWarning puts it on the work area of the field's
// monitor, as every desktop places it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace mensurel::win32 {

class FieldWarning {
public:
    FieldWarning() = default;
    FieldWarning(const FieldWarning&) = delete;
    FieldWarning& operator=(const FieldWarning&) = delete;
    ~FieldWarning();

    // The warning for the fields of `owner`. Its tooltip window is made
    // when it first shows: most runs never show it.
    void create(HWND owner);
    void setFont(HFONT font); // kept for the window, which shows it in it

    // Shows `text` under `title` at `field`; replaces a warning shown at
    // another field.
    void show(HWND field, const std::wstring& title, const std::wstring& text);
    // Takes the warning off `field`; nothing when it is not shown there.
    void hide(HWND field);

private:
    bool makeTip(); // whether there is a tooltip window
    void removeTool();
    void place(TOOLINFOW& tool) const; // at the field, as the layout rules say
    void trackAt(POINT screen) const;

    HWND owner_ = nullptr;
    HWND tip_ = nullptr;
    HFONT font_ = nullptr; // the window's, owned by it
    HWND field_ = nullptr; // the field the warning is shown at, if any
    std::wstring text_; // kept for the tooltip, which holds a pointer to it
    std::wstring title_;
};

} // namespace mensurel::win32
