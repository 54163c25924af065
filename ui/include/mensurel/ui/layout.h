// The design of the window Form1 as data: the window itself and its thirteen
// controls, every position and size in twips (1/1440 inch), every text as
// UTF-8. Form1 is built from these tables and nothing else.
#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QUrl>

#include <array>
#include <string_view>

namespace mensurel::ui {

// A rectangle in twips from the top-left corner of the client area (or, for
// the window, of the screen).
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
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

struct ControlDesign {
    std::string_view name; // design name, also the widget's objectName
    ControlKind kind;
    TwipRect rect;
    std::string_view text; // starting text or caption; empty: none
    ControlFont font;
    int tabIndex; // -1: the control has no tab position
    std::string_view toolTip;
    bool toolTipEndsWithSiteHost; // the site's host follows the tooltip text
    int stackRank; // 0 is the topmost control
    std::string_view picture; // resource path of the button's face
    std::string_view accessibleName;
    int lineWidth; // frames: width of the outline in pixels
};

struct FontDesign {
    // Families in order of preference; fontconfig fills in the rest.
    std::array<std::string_view, 3> families;
    int pointSize;
    bool bold;
};

struct WindowDesign {
    std::string_view title;
    TwipRect clientArea; // design position on the screen and client size
    std::string_view icon;
    QColor frameColour; // outline colour of both frames
    QSize pictureSize; // size of each button face in pixels at scale 1
    FontDesign defaultFont;
    FontDesign unitLabelFont;
    // Room for the window manager's border and title bar, allowed for when
    // checking that the window fits on the screen before the real frame is
    // known.
    QMargins frameAllowance;
};

inline constexpr int kTwipsPerPixel = 15;

inline const WindowDesign kWindow {
    "Mensurel",
    { 6990, 6210, 4500, 2640 },
    ":/icons/mensurel.ico",
    QColor(0, 144, 64),
    QSize(175, 40),
    // The fields and the notice line; the first face carries the Chinese
    // glyphs of the tooltips and labels.
    { { "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Sans Serif" }, 9, false },
    { { "Arial", "Liberation Sans", "Sans Serif" }, 9, true },
    QMargins(8, 32, 8, 8),
};

// The controls in stacking order, topmost first.
// clang-format off
inline constexpr std::array<ControlDesign, 13> kControls{{
    // name       kind                        left  top   width height  text
    //            font                        tab   tooltip                       +host rank picture                    accessible name   line
    {"Command2",  ControlKind::PictureButton, {878,  1560, 2745, 735},  {},
                  ControlFont::None,          9,    "更多资讯请访问",              true,  0,  ":/pictures/command2.gif", "Brantovel",      0},
    {"ums",       ControlKind::TextField,     {2415, 945,  1455, 330},  "25.4000",
                  ControlFont::WindowDefault, 5,    "公制数据",                    false, 1,  {},                        "微米 (µm)",      0},
    {"inchs",     ControlKind::TextField,     {315,  945,  1455, 330},  "0.001",
                  ControlFont::WindowDefault, 4,    "英制数据",                    false, 2,  {},                        "英寸 (inch)",    0},
    {"mm",        ControlKind::TextField,     {2400, 360,  1455, 320},  "0.0254",
                  ControlFont::WindowDefault, 2,    "公制数据",                    false, 3,  {},                        "毫米 (mm)",      0},
    {"mils",      ControlKind::TextField,     {345,  360,  1455, 320},  "1.0000",
                  ControlFont::WindowDefault, 0,    "英制数据",                    false, 4,  {},                        "密耳 (mil)",     0},
    {"Command1",  ControlKind::PictureButton, {878,  1560, 2745, 735},  {},
                  ControlFont::None,          10,   {},                           false, 5,  ":/pictures/command1.gif", "Brantovel",      0},
    {"Label1",    ControlKind::Label,         {840,  2400, 2970, 255},  "Brantovel (C) 2003 - 2005",
                  ControlFont::WindowDefault, 8,    "欢迎使用Brantovel开发的实用工具", false, 6,  {},                        {},               0},
    {"Shape2",    ControlKind::Frame,         {210,  225,  4125, 1170}, {},
                  ControlFont::None,          -1,   {},                           false, 7,  {},                        {},               1},
    {"Um",        ControlKind::Label,         {3990, 1050, 330,  200},  "um",
                  ControlFont::UnitLabel,     7,    {},                           false, 8,  {},                        {},               0},
    {"Inch",      ControlKind::Label,         {1890, 1050, 435,  195},  "Inch",
                  ControlFont::UnitLabel,     6,    {},                           false, 9,  {},                        {},               0},
    {"Shape1",    ControlKind::Frame,         {105,  120,  4335, 1380}, {},
                  ControlFont::None,          -1,   {},                           false, 10, {},                        {},               2},
    {"metric",    ControlKind::Label,         {3960, 435,  375,  255},  "Mm",
                  ControlFont::UnitLabel,     3,    {},                           false, 11, {},                        {},               0},
    {"english",   ControlKind::Label,         {1905, 435,  375,  255},  "Mil",
                  ControlFont::UnitLabel,     1,    {},                           false, 12, {},                        {},               0},
}};
// clang-format on

// The one conversion from twips to device-independent pixels; Qt's high-DPI
// scaling maps those to the screen. Edges are rounded to the nearest pixel
// and the size taken between them, so controls that touch in twips touch on
// the screen.
int twipsToPixels(int twips);
QRect toPixels(const TwipRect& rect);

QFont toFont(const FontDesign& design);
QString toQString(std::string_view utf8);

// The maker's web site (scheme and host) and the host shown in Command2's
// tooltip.
QUrl siteAddress();
QString siteHost();

// The control's tooltip as shown, the site's host appended where designed.
QString toolTipOf(const ControlDesign& control);

// Where the client area goes when the window first opens: at the design
// position when the whole window, `frame` included, fits inside `available`;
// otherwise the window is centred on `available`, its top-left corner kept
// on it when the window is larger.
QPoint firstClientPosition(const QRect& available, const QSize& client, const QMargins& frame);

} // namespace mensurel::ui
