// What a window scenario does to the window and reads back from it, the
// same on every desktop. Each desktop's test program implements it over its
// real window, built as the program builds it and driven with real input
// from the desktop's own input queue (the X server, SendInput), and defines
// openWindow(). Positions are in the window's own pixels: the unit its
// layout is computed in (layoutDpi), client coordinates unless named screen.
#pragma once

#include <mensurel/convert.h>
#include <mensurel/ui/design.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mensurel::test {

using ui::Control;

// Physical keys the scenarios press and release one at a time.
enum class Key {
    Return,
    KeypadEnter,
    Space,
    Tab,
    Shift,
    Control,
    Escape,
    Backspace,
    Left,
    Right,
    Digit5,
    Digit7,
    V,
};

// An entry of a text field's own context menu.
enum class MenuEntry { Undo, Cut, Paste, Delete, SelectAll };

struct Options {
    int year = 0; // the year the notice line reads at load; 0: the system clock's
    bool launchWorks = true; // whether opening the web site succeeds
};

struct FontSeen {
    std::string family;
    int pointSize = 0;
    bool bold = false;
};

// The out-of-range warning as shown.
struct WarningSeen {
    std::string text;
    ui::PixelRect onScreen; // in screen coordinates
};

// A message box the driver saw. The driver closes each box 300 ms after it
// appears, as a user who read it would.
struct BoxSeen {
    std::string text;
    bool keptUntilClosed = false; // nothing but the driver closed it
    bool anotherOpen = false; // another box was on the screen at the same time
};

class Driver {
public:
    virtual ~Driver() = default;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Input, as a user gives it. Each returns once the window has handled it.
    virtual void type(std::string_view text) = 0; // printable ASCII, key by key, to the focus
    virtual void key(Key key, bool down) = 0; // one press or one release, to the focus
    // Holds `key` down for `ms` milliseconds, the desktop repeating it.
    virtual void hold(Key key, int ms) = 0;
    virtual void click(Control control, int times = 1) = 0; // left button, quick clicks
    virtual void movePointer(ui::PixelPoint client) = 0; // may lie outside the client area
    virtual void leftButton(bool down) = 0; // pressed or released where the pointer is
    virtual void choose(Control field, MenuEntry entry) = 0; // from the field's context menu
    // Focus a field with its text selected, as a user would before typing.
    virtual void focusAndSelectAll(Control field) = 0;
    virtual void focus(Control control) = 0;
    virtual void setClipboard(const std::string& text) = 0;
    // Another program replaces a field's text (an assistive tool, a message).
    virtual void setTextFromOutside(Control field, const std::string& text) = 0;
    // Moves the window by the given number of pixels (left: negative).
    virtual void moveWindowBy(int dx, int dy) = 0;
    virtual void minimise() = 0;
    virtual void activateAnotherWindow() = 0;
    virtual void wait(int ms) = 0; // handles events meanwhile

    // What the window shows.
    [[nodiscard]] virtual int layoutDpi() const = 0;
    [[nodiscard]] virtual bool exists(Control control) const = 0; // frames: painted, no control
    [[nodiscard]] virtual ui::PixelRect rect(Control control) const = 0;
    [[nodiscard]] virtual ui::PixelRect onScreen(Control control) const = 0;
    [[nodiscard]] virtual ui::PixelRect clientOnScreen() const = 0;
    [[nodiscard]] virtual ui::PixelRect frameOnScreen() const = 0; // title bar and borders too
    [[nodiscard]] virtual ui::PixelRect available() const = 0; // the screen's work area
    [[nodiscard]] virtual std::string title() const = 0;
    [[nodiscard]] virtual bool resizable() const = 0; // by the user: border or maximise box
    [[nodiscard]] virtual bool hasIcon() const = 0;
    [[nodiscard]] virtual std::string text(Control control) const = 0;
    [[nodiscard]] virtual std::string toolTip(Control control) const = 0;
    // What a screen reader is told; nothing where the desktop cannot read it
    // back (said in the driver).
    [[nodiscard]] virtual std::optional<std::string> accessibleName(Control control) const = 0;
    [[nodiscard]] virtual std::optional<std::string> description(Control field) const = 0;
    [[nodiscard]] virtual FontSeen font(Control control) const = 0;
    [[nodiscard]] virtual int textWidth(Control control) const = 0; // its text, on one line
    [[nodiscard]] virtual bool visible(Control control) const = 0;
    [[nodiscard]] virtual std::optional<Control> focused() const = 0;
    // The topmost control at a client point; none: the bare surface.
    [[nodiscard]] virtual std::optional<Control> controlAt(ui::PixelPoint client) const = 0;
    // The colours of the screen's pixels that make up a pixel of the window.
    [[nodiscard]] virtual std::vector<ui::Rgb> colours(ui::PixelPoint client) const = 0;
    [[nodiscard]] virtual ui::Rgb surfaceColour() const = 0;
    [[nodiscard]] virtual std::optional<WarningSeen> warning() const = 0;
    // The addresses the window asked to open, and the boxes shown since the
    // window opened.
    [[nodiscard]] virtual std::vector<std::string> launches() const = 0;
    [[nodiscard]] virtual std::vector<BoxSeen> boxes() const = 0;

protected:
    Driver() = default;
};

// The window, built and loaded as the program does it, shown and active
// with the pointer away from it. Each desktop's test program defines this.
std::unique_ptr<Driver> openWindow(const Options& options = {});

} // namespace mensurel::test
