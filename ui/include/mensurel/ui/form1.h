// The window Form1 as behaviour: its event procedures and the rules that
// decide when they run. A desktop layer feeds it plain events (a key pressed
// or released in a field, the focus leaving a field, a text changed by the
// user, pointer movement, clicks) and it acts through a Desktop.
#pragma once

#include "mensurel/ui/desktop.h"

#include <mensurel/convert.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mensurel::ui {

// A key as a desktop reports it: its own key code (any stable number per
// physical key), whether the event is a repetition of a held key, and
// whether it is the Escape key.
struct KeyEvent {
    int code = 0;
    bool autoRepeat = false;
    bool escape = false;
};

class Form1 {
public:
    explicit Form1(Desktop& desktop);

    // The procedures, named after their control and event.
    void Form_Load(); // once, after building and before showing the window
    void Form_MouseMove(); // the pointer moved over the bare window surface
    void Command1_MouseMove(); // the pointer moved over Command1
    void Command1_Click();
    void Command2_Click();
    void inchs_KeyUp();
    void mils_KeyUp();
    void mm_KeyUp();
    void ums_KeyUp();

    // When a field converts. A key released in the field that also took its
    // press runs the field's KeyUp once; an auto-repeated release does not.
    // A release that only ends a chord already converted (Ctrl after the V of
    // Ctrl+V, Shift after a digit) converts nothing when the field's text is
    // unchanged since. A text changed by the user while no key is held in
    // the field (a paste or undo from the menu, a middle-click paste, a drop)
    // converts once. The program's own writes never reach these.
    void keyPressed(UnitField field, const KeyEvent& key);
    void keyReleased(UnitField field, const KeyEvent& key);
    void focusLeft(UnitField field);
    void textEditedByUser(UnitField field);

    // The desktop's report that the launch of the web site failed.
    void launchFailed();

private:
    struct FieldState {
        struct Held {
            int code;
            bool convertedWhileHeld; // a conversion ran while this key was down
        };
        std::vector<Held> held; // keys pressed in this field, not yet released
        std::optional<std::string> lastConverted; // text of the last conversion from here
        std::optional<std::string> failedText; // text that could not be converted
        bool noticeDismissed = false; // the user closed the notice (Escape)
    };

    void convertFromField(UnitField from);
    void hoverSwap(Face show, Face hide);
    FieldState& state(UnitField field);

    Desktop& desktop_;
    std::array<FieldState, 4> fields_ {};
};

// The KeyUp procedure of each field.
void runKeyUp(Form1& form, UnitField field);

} // namespace mensurel::ui
