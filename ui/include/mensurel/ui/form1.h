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
// modifiers were down), whether the desktop marked the event as a repetition
// of a held key, and whether it is Escape, Enter or Space. The mark is a
// hint only: some desktops leave repetitions unmarked, so a press of a key
// that is already down counts as a repetition too.
struct KeyEvent {
    int code = 0;
    bool autoRepeat = false;
    bool escape = false;
    bool enter = false; // Return, or Enter on the keypad
    bool space = false;
};

class Form1 {
public:
    explicit Form1(Desktop& desktop);

    // The procedures, named after their control and event.
    // Once, after building and before showing the window: writes the notice
    // line and puts the focus on the first control of the tab order.
    void Form_Load();
    void Form_MouseMove(); // the pointer moved over the bare window surface
    void Command1_MouseMove(); // the pointer moved over Command1
    void Command1_Click();
    void Command2_Click();
    // A face was clicked (pointer, or the button's own keys): its procedure.
    void faceClicked(Face face);
    void inchs_KeyUp();
    void mils_KeyUp();
    void mm_KeyUp();
    void ums_KeyUp();

    // When a field converts. The four fields must agree once the user stops,
    // whatever became of the keys on the way:
    // - every change of a field's text converts that field at once (the
    //   desktop reports them all; Form1 passes over its own writes), however it was made (typing,
    //   an input method, the context menu, a middle-click, a drop, undo, an assistive tool) and
    //   whether or not a key is held;
    // - a key released in the field that also took its press converts it
    //   again, so keys that change no text (arrows, Shift, Ctrl) convert as
    //   well; an auto-repeated release does not, and neither does a release
    //   whose press went to another field (a Tab that brought the focus
    //   here), came before the focus last left, or came before the program
    //   rewrote the field (converting another field): the text changed last
    //   stays.
    // Converting the same text twice gives the same three results.
    void keyPressed(UnitField field, const KeyEvent& key);
    void keyReleased(UnitField field, const KeyEvent& key);
    void focusLeft(UnitField field);
    void textChanged(UnitField field);

    // Keys on a focused face. Return, keypad Enter and Space click it at
    // their press, once per physical press however long the key is held and
    // whatever the desktop marks as a repetition; their releases are taken
    // too, so the button never clicks by itself. True when the key was
    // taken; other keys are the button's own.
    bool faceKeyPressed(Face face, const KeyEvent& key);
    bool faceKeyReleased(Face face, const KeyEvent& key);

    // The out-of-range warning stands where its field was: it goes when the
    // focus leaves the field, the window moves, or the window is
    // deactivated or minimised, and comes back when the user types on. While
    // the window is not the active one, a field that goes out of range only
    // describes the warning: nothing pops up over another program.
    void windowMoved();
    // The window is no longer the active one (another program, minimised,
    // another virtual desktop): keys still down are released elsewhere.
    void windowDeactivated();

    // The desktop's report that the launch of the web site failed. Told in
    // a message box, one at a time; while a key that clicks the button is
    // still down, the box waits for its release, so that the held key does
    // not close the box before it can be read.
    void launchFailed();

private:
    struct FieldState {
        std::vector<int> held; // physical keys pressed in this field, not yet released
        std::optional<std::string> failedText; // text that could not be converted
        bool warningShown = false;
        bool warningDismissed = false; // the user closed the warning (Escape)
    };

    void convertFromField(UnitField from);
    void hoverSwap(Face show, Face hide);
    void hideWarning(UnitField field);
    void faceKeyUp(int code);
    void tellLaunchFailed();
    FieldState& state(UnitField field);

    Desktop& desktop_;
    std::array<FieldState, 4> fields_ {};
    // Return, Enter or Space pressed on a face and not yet released. The two
    // faces are one button to the user: the focus may pass from one to the
    // other while a key is down.
    std::vector<int> faceKeysHeld_;
    bool messageShown_ = false; // a failed-launch message is on the screen
    bool messageWaiting_ = false; // a failed launch waits for the face keys' release
    bool writing_ = false; // Form1 is writing a field's text
};

// The KeyUp procedure of each field: converts that field, whatever made its
// text change (see Form1's rule of when a field converts).
void runKeyUp(Form1& form, UnitField field);

} // namespace mensurel::ui
