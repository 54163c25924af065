// The design of the window Form1 as data: the window and its thirteen
// controls, every position and size in twips (1/1440 inch), every text as
// UTF-8. A desktop layer builds the window from these tables and nothing
// else; nothing here depends on a toolkit.
#pragma once

#include <mensurel/convert.h>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mensurel::ui {

// A rectangle in twips from the top-left corner of the client area (or, for
// the window, of the screen).
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A rectangle in pixels, same corner.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    [[nodiscard]] int right() const { return left + width; } // one past the last column
    [[nodiscard]] int bottom() const { return top + height; } // one past the last row
    [[nodiscard]] bool contains(const PixelRect& other) const
    {
        return other.left >= left && other.top >= top && other.right() <= right()
            && other.bottom() <= bottom();
    }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Border widths in pixels: left, top, right, bottom.
struct PixelMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct Rgb {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
};

// The controls by their design names, in stacking order, topmost first.
enum class Control {
    Command2,
    ums,
    inchs,
    mm,
    mils,
    Command1,
    Label1,
    Shape2,
    Um,
    Inch,
    Shape1,
    metric,
    english,
};

enum class ControlKind {
    PictureButton, // push button whose face is a picture, no caption
    TextField, // single-line edit field
    Label, // caption on the window surface, never focused
    Frame, // rectangle outline drawn on the window surface
};

enum class ControlFont {
    None, // the control shows no text
    WindowDefault, // the window's default font
    UnitLabel, // the unit labels' font
};

// Every member has an initializer, so a row of the control table names only
// what it sets; GCC asks for them even where they equal the default.
// NOLINTBEGIN(readability-redundant-member-init)
struct ControlDesign {
    Control id = Control::Command2;
    std::string_view name {}; // design name
    ControlKind kind = ControlKind::Label;
    TwipRect rect {};
    std::string_view text {}; // starting text or caption; empty: none
    ControlFont font = ControlFont::None;
    int tabIndex = -1; // -1: the control has no tab position
    std::string_view toolTip {}; // empty: none
    bool toolTipEndsWithSiteHost = false; // the site's host follows the tooltip text
    std::string_view picture {}; // button face: file stem of the picture
    std::string_view accessibleName {}; // what a screen reader calls the control
    int lineWidth = 0; // frames: width of the outline in pixels
};
// NOLINTEND(readability-redundant-member-init)

struct FontDesign {
    // Faces in order of preference, for every desktop: the first one
    // installed is used, and a desktop that has none of them falls back to
    // its own. Unused entries at the end are empty.
    std::array<std::string_view, 6> families;
    int pointSize;
    bool bold;
};

struct WindowDesign {
    std::string_view title;
    TwipRect clientArea; // design position on the screen and client size
    std::string_view icon; // file stem of the window icon
    Rgb frameColour; // outline colour of both frames
    int pictureWidth; // size of each button face in pixels at 96 dpi
    int pictureHeight;
    FontDesign defaultFont;
    FontDesign unitLabelFont;
    // Room for a usual window frame and title bar, allowed for when checking
    // that the window fits on the screen before its real frame is known.
    PixelMargins frameAllowance;
    // The window keeps its size: no border to drag, no maximise box.
    bool maximiseBox;
    // The most characters a text field takes; 0: as many as the desktop's
    // control can hold, so a long paste is kept whole.
    int fieldMaxLength;
};

inline constexpr int kDesignDpi = 96;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr std::size_t kControlCount = 13;

// The four unit fields, in the order of UnitField.
inline constexpr std::array kUnitFields { UnitField::inchs, UnitField::mils, UnitField::mm,
    UnitField::ums };

// The two faces of the picture button, on the same rectangle: Command1 the
// normal one, Command2 the one under the pointer.
enum class Face { Command1, Command2 };

// The window itself.
const WindowDesign& windowDesign();

// The thirteen controls in stacking order, topmost first.
std::span<const ControlDesign, kControlCount> controls();

// The row of one control.
const ControlDesign& designOf(Control control);

// The text field of a unit, the button of a face, and back.
Control controlOf(UnitField field);
Control controlOf(Face face);
std::optional<UnitField> fieldOf(Control control);
std::optional<Face> faceOf(Control control);

// The controls that take the keyboard focus, in tab order: the four fields,
// then the two faces (only the shown one is reached). The first has the
// focus when the window opens. The labels hold tab positions too but never
// take the focus.
std::span<const Control> focusOrder();

// The maker's web site, scheme and host ("https://www.brantovel.example"),
// and its host in lower case ("www.brantovel.example").
std::string_view siteAddress();
std::string siteHost();

// The control's tooltip as shown, the site's host appended where designed.
std::string toolTipOf(const ControlDesign& control);

// The window's own texts beyond the tables, UTF-8.
namespace texts {

// The maker, the rights notice and the first year; the notice line is this
// followed by the current year as FormatStr renders it (" 2026").
inline constexpr std::string_view kNoticePrefix = "Brantovel 版权所有 (C) 2003 -";

// Shown at a field whose number cannot be converted.
inline constexpr std::string_view kOutOfRange = "数值超出范围，无法换算；其他各栏保持不变。";

// Shown when the web site could not be opened.
std::string launchFailed(std::string_view address);

// Shown for an unexpected error; `detail` may be empty.
std::string unexpectedError(std::string_view detail);

} // namespace texts

} // namespace mensurel::ui
