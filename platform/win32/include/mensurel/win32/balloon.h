// A warning at a field: a balloon with an icon, a title and a text, pointing
// at the field's lower edge, shown without taking the focus. A tracking
// tooltip is used because EM_SHOWBALLOONTIP is not drawn everywhere.
#pragma once

#include <windows.h>

#include <string>

namespace mensurel::win32 {

class FieldBalloon {
public:
    FieldBalloon() = default;
    FieldBalloon(const FieldBalloon&) = delete;
    FieldBalloon& operator=(const FieldBalloon&) = delete;
    ~FieldBalloon();

    // Creates the tooltip window for the fields of `owner`, in `font`.
    void create(HWND owner, HFONT font);
    void setFont(HFONT font);

    // Shows `text` under `title` at `field`; replaces a balloon shown at
    // another field.
    void show(HWND field, const std::wstring& title, const std::wstring& text);
    // Takes the balloon off `field`; nothing when it is not shown there.
    void hide(HWND field);

private:
    void removeTool();

    HWND owner_ = nullptr;
    HWND tip_ = nullptr;
    HWND field_ = nullptr; // the field the balloon is shown at, if any
    std::wstring text_; // kept for the tooltip, which holds a pointer to it
    std::wstring title_;
};

} // namespace mensurel::win32
