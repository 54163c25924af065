// The window Form1 as behaviour: its event procedures and the rules that
// decide when they run. A desktop layer feeds it plain events (a key pressed
// or released in a field, the focus leaving a field, a field's text changed
// by anything but the program, pointer movement, clicks) and it acts through
// a Desktop.
#pragma once

#include "mensurel/ui/desktop.h"

#include <mensurel/convert.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace mensurel::ui {

// A key as a desktop reports it: a code for the physical key (the same at the
// press and the release, whatever character it produced and whichever
// modifiers were down), whether the event is a repetition of a held key, and
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

    // When a field converts. The four fields must agree once the user stops,
    // whatever became of the keys on the way:
    // - every change of a field's text that is not the program's own write
    //   converts that field at once, however it was made (typing, an input
    //   method, the context menu, a middle-click, a drop, undo, an assistive
    //   tool) and whether or not a key is held;
    // - a key released in the field that also took its press converts it
    //   again, so keys that change no text (arrows, Shift, Ctrl) convert as
    //   well; an auto-repeated release does not, and neither does a release
    //   whose press went to another field (a Tab that brought the focus
    //   here) or came before the focus last left.
    // Converting the same text twice gives the same three results.
    void keyPressed(UnitField field, const KeyEvent& key);
    void keyReleased(UnitField field, const KeyEvent& key);
    void focusLeft(UnitField field);
    void textChangedByUser(UnitField field);

    // The desktop's report that the launch of the web site failed.
    void launchFailed();

private:
    struct FieldState {
        std::vector<int> held; // physical keys pressed in this field, not yet released
        std::optional<std::string> failedText; // text that could not be converted
        bool noticeDismissed = false; // the user closed the notice (Escape)
    };

    void convertFromField(UnitField from);
    void hoverSwap(Face show, Face hide);
    FieldState& state(UnitField field);

    Desktop& desktop_;
    std::array<FieldState, 4> fields_ {};
    bool messageShown_ = false; // a failed-launch message is on the screen
};

// The KeyUp procedure of each field.
void runKeyUp(Form1& form, UnitField field);

} // namespace mensurel::ui
