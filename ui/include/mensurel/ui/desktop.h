// What the window's procedures need from the desktop they run on. A desktop
// layer (Qt, Win32, or a test's fake) builds the window from the design
// tables, implements these operations over its own controls, and feeds the
// user's actions to Form1. No procedure ever sees a widget.
#pragma once

#include "mensurel/ui/design.h"

#include <mensurel/convert.h>

#include <string>
#include <string_view>

namespace mensurel::ui {

// How a message box marks what it tells.
enum class MessageIcon {
    Warning, // the program goes on as before: a launch that failed
    Error, // something failed that should not have: an unexpected error
};
inline constexpr MessageIcon kLaunchFailedIcon = MessageIcon::Warning;
inline constexpr MessageIcon kUnexpectedErrorIcon = MessageIcon::Error;

class Desktop {
public:
    virtual ~Desktop() = default;

    // The text of a field as the user sees it, UTF-8.
    [[nodiscard]] virtual std::string fieldText(UnitField field) const = 0;
    // Replaces a field's text. The desktop may report the change to
    // Form1::textChanged as it reports any other, before this returns.
    virtual void setFieldText(UnitField field, const std::string& text) = 0;

    // Shows or hides a face; a hidden face is not drawn, takes no pointer
    // input and is passed over by the tab order.
    virtual void setFaceVisible(Face face, bool visible) = 0;
    // Whether the keyboard focus is on a control, and putting it there.
    [[nodiscard]] virtual bool hasFocus(Control control) const = 0;
    virtual void setFocus(Control control) = 0;

    // Writes the caption of the notice line Label1.
    virtual void setNoticeCaption(const std::string& text) = 0;

    // The calendar year of today's date in local time.
    [[nodiscard]] virtual int currentYear() const = 0;

    // Starts opening `address` in the user's browser and returns at once.
    // When the launch turns out to have failed, the desktop calls
    // Form1::launchFailed, possibly before this returns. What counts as
    // failed is what the desktop can know: on Linux the launcher (xdg-open)
    // could not be started or exited with an error within 30 seconds; on
    // Windows the shell refused the address (ShellExecuteExW failed). A
    // browser that opens and then fails to load the page is not a failure
    // the program can see.
    virtual void startLaunch(std::string_view address) = 0;

    // Whether the window is the active one: shown, not minimised, on the
    // current desktop and taking the keyboard.
    [[nodiscard]] virtual bool windowActive() const = 0;

    // Sounds the desktop's warning beep.
    virtual void beep() = 0;
    // The out-of-range warning of a field. Showing it puts `text` beside the
    // field without taking the focus from anything and makes it the field's
    // accessible description; hiding takes it off the screen only; removing
    // also takes it off the description.
    virtual void showWarning(UnitField field, const std::string& text) = 0;
    // Makes `text` the field's accessible description without showing it.
    virtual void describeWarning(UnitField field, const std::string& text) = 0;
    virtual void hideWarning(UnitField field) = 0;
    virtual void removeWarning(UnitField field) = 0;

    // Tells the user `text` in a modal message box titled with the program's
    // name, marked with `icon`, and returns when the user has closed it. Events go on being
    // handled meanwhile (a failed launch may be reported again).
    virtual void showMessage(const std::string& text, MessageIcon icon) = 0;

protected:
    Desktop() = default;
    Desktop(const Desktop&) = default;
    Desktop& operator=(const Desktop&) = default;
};

} // namespace mensurel::ui
