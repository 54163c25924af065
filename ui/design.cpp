#include "mensurel/ui/design.h"

#include <algorithm>
#include <cctype>

#ifndef MENSUREL_SITE_URL
#error "MENSUREL_SITE_URL must name the maker's web site (set by CMake)"
#endif

namespace mensurel::ui {

namespace {

constexpr WindowDesign kWindow {
    .title = "Mensurel",
    .clientArea = { .left = 6990, .top = 6210, .width = 4500, .height = 2640 },
    .icon = "mensurel",
    .frameColour = { .red = 0, .green = 144, .blue = 64 },
    .pictureWidth = 175,
    .pictureHeight = 40,
    // The fields, the notice line, the tooltips and the warning: faces that
    // carry the Chinese glyphs of the tooltips and the notice line, those of
    // Windows first, then those a Linux desktop has.
    .defaultFont = { .families = { "Microsoft YaHei UI", "Microsoft YaHei", "SimSun",
                         "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Sans Serif" },
        .pointSize = 9,
        .bold = false },
    .unitLabelFont
    = { .families = { "Arial", "Liberation Sans", "Sans Serif" }, .pointSize = 9, .bold = true },
    .frameAllowance = { .left = 8, .top = 32, .right = 8, .bottom = 8 },
    .maximiseBox = false,
    .fieldMaxLength = 0,
};

constexpr std::string_view kMetric = "公制数据";
constexpr std::string_view kImperial = "英制数据";

// Stacking order, topmost first; the enum Control follows the same order.
constexpr std::array<ControlDesign, kControlCount> kControls { {
    { .id = Control::Command2,
        .name = "Command2",
        .kind = ControlKind::PictureButton,
        .rect = { 878, 1560, 2745, 735 },
        .tabIndex = 9,
        .toolTip = "更多资讯请访问",
        .toolTipEndsWithSiteHost = true,
        .picture = "command2",
        .accessibleName = "Brantovel" },
    { .id = Control::ums,
        .name = "ums",
        .kind = ControlKind::TextField,
        .rect = { 2415, 945, 1455, 330 },
        .text = "25.4000",
        .font = ControlFont::WindowDefault,
        .tabIndex = 5,
        .toolTip = kMetric,
        .accessibleName = "微米 (µm)" },
    { .id = Control::inchs,
        .name = "inchs",
        .kind = ControlKind::TextField,
        .rect = { 315, 945, 1455, 330 },
        .text = "0.001",
        .font = ControlFont::WindowDefault,
        .tabIndex = 4,
        .toolTip = kImperial,
        .accessibleName = "英寸 (inch)" },
    { .id = Control::mm,
        .name = "mm",
        .kind = ControlKind::TextField,
        .rect = { 2400, 360, 1455, 320 },
        .text = "0.0254",
        .font = ControlFont::WindowDefault,
        .tabIndex = 2,
        .toolTip = kMetric,
        .accessibleName = "毫米 (mm)" },
    { .id = Control::mils,
        .name = "mils",
        .kind = ControlKind::TextField,
        .rect = { 345, 360, 1455, 320 },
        .text = "1.0000",
        .font = ControlFont::WindowDefault,
        .tabIndex = 0,
        .toolTip = kImperial,
        .accessibleName = "密耳 (mil)" },
    { .id = Control::Command1,
        .name = "Command1",
        .kind = ControlKind::PictureButton,
        .rect = { 878, 1560, 2745, 735 },
        .tabIndex = 10,
        .picture = "command1",
        .accessibleName = "Brantovel" },
    { .id = Control::Label1,
        .name = "Label1",
        .kind = ControlKind::Label,
        .rect = { 840, 2400, 2970, 255 },
        .text = "Brantovel (C) 2003 - 2005",
        .font = ControlFont::WindowDefault,
        .tabIndex = 8,
        .toolTip = "欢迎使用Brantovel开发的实用工具" },
    { .id = Control::Shape2,
        .name = "Shape2",
        .kind = ControlKind::Frame,
        .rect = { 210, 225, 4125, 1170 },
        .lineWidth = 1 },
    { .id = Control::Um,
        .name = "Um",
        .kind = ControlKind::Label,
        .rect = { 3990, 1050, 330, 200 },
        .text = "um",
        .font = ControlFont::UnitLabel,
        .tabIndex = 7 },
    { .id = Control::Inch,
        .name = "Inch",
        .kind = ControlKind::Label,
        .rect = { 1890, 1050, 435, 195 },
        .text = "Inch",
        .font = ControlFont::UnitLabel,
        .tabIndex = 6 },
    { .id = Control::Shape1,
        .name = "Shape1",
        .kind = ControlKind::Frame,
        .rect = { 105, 120, 4335, 1380 },
        .lineWidth = 2 },
    { .id = Control::metric,
        .name = "metric",
        .kind = ControlKind::Label,
        .rect = { 3960, 435, 375, 255 },
        .text = "Mm",
        .font = ControlFont::UnitLabel,
        .tabIndex = 3 },
    { .id = Control::english,
        .name = "english",
        .kind = ControlKind::Label,
        .rect = { 1905, 435, 375, 255 },
        .text = "Mil",
        .font = ControlFont::UnitLabel,
        .tabIndex = 1 },
} };

static_assert(
    [] {
        for (std::size_t i = 0; i < kControls.size(); ++i) {
            if (static_cast<std::size_t>(kControls[i].id) != i) return false;
        }
        return true;
    }(),
    "the control table lists the controls in the order of enum Control");

// The controls that take the focus, by tab position.
constexpr std::array kFocusOrder = [] {
    std::array<Control, 6> order {};
    std::size_t n = 0;
    for (int position = 0; position < static_cast<int>(kControlCount); ++position) {
        for (const ControlDesign& c : kControls) {
            const bool focusable
                = c.kind == ControlKind::TextField || c.kind == ControlKind::PictureButton;
            if (focusable && c.tabIndex == position) order.at(n++) = c.id;
        }
    }
    return order;
}();

} // namespace

const WindowDesign& windowDesign()
{
    return kWindow;
}

std::span<const ControlDesign, kControlCount> controls()
{
    return kControls;
}

const ControlDesign& designOf(Control control)
{
    return kControls[static_cast<std::size_t>(control)];
}

Control controlOf(UnitField field)
{
    switch (field) {
    case UnitField::inchs: return Control::inchs;
    case UnitField::mils: return Control::mils;
    case UnitField::mm: return Control::mm;
    case UnitField::ums: return Control::ums;
    }
    return Control::mils;
}

Control controlOf(Face face)
{
    return face == Face::Command1 ? Control::Command1 : Control::Command2;
}

std::optional<UnitField> fieldOf(Control control)
{
    for (const UnitField field : kUnitFields) {
        if (controlOf(field) == control) return field;
    }
    return std::nullopt;
}

std::optional<Face> faceOf(Control control)
{
    if (control == Control::Command1) return Face::Command1;
    if (control == Control::Command2) return Face::Command2;
    return std::nullopt;
}

std::span<const Control> focusOrder()
{
    return kFocusOrder;
}

std::string_view siteAddress()
{
    return MENSUREL_SITE_URL;
}

std::string siteHost()
{
    std::string_view rest = siteAddress();
    if (const auto scheme = rest.find("://"); scheme != std::string_view::npos)
        rest.remove_prefix(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/:?#"));
    if (const auto user = rest.rfind('@'); user != std::string_view::npos)
        rest.remove_prefix(user + 1);
    std::string host(rest);
    std::ranges::transform(
        host, host.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return host;
}

std::string toolTipOf(const ControlDesign& control)
{
    std::string text(control.toolTip);
    if (control.toolTipEndsWithSiteHost) text += siteHost();
    return text;
}

namespace texts {

std::string launchFailed(std::string_view address)
{
    std::string text = "无法打开网址 ";
    text += address;
    text += "：系统中没有找到能打开网页的程序，或者它未能打开这个网址。\n\n请在浏览器中手动访问这个"
            "网址。";
    return text;
}

std::string unexpectedError(std::string_view detail)
{
    std::string text = "程序发生了意外错误，刚才的操作未能完成。程序将继续运行。";
    if (!detail.empty()) {
        text += "\n\n错误信息：";
        text += detail;
    }
    return text;
}

} // namespace texts

} // namespace mensurel::ui
