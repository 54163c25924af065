// The design tables: the focus order, the maps between fields, faces and
// controls, the tooltips.
#include <mensurel/ui/design.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace mensurel::ui {
namespace {

TEST(Design, FocusGoesFieldsFirstThenTheFacesWithCommand2StackedAbove)
{
    std::set<int> positions;
    for (const ControlDesign& c : controls()) {
        if (c.tabIndex >= 0) {
            EXPECT_TRUE(positions.insert(c.tabIndex).second) << c.name;
        }
    }
    const std::vector<Control> order(focusOrder().begin(), focusOrder().end());
    EXPECT_EQ(order,
        (std::vector { Control::mils, Control::mm, Control::inchs, Control::ums, Control::Command2,
            Control::Command1 }));
    EXPECT_EQ(controls().front().id, Control::Command2);
}

TEST(Design, FieldsAndFacesMapToTheirControlsAndBack)
{
    for (const UnitField field : kUnitFields) {
        EXPECT_EQ(designOf(controlOf(field)).kind, ControlKind::TextField);
        EXPECT_EQ(fieldOf(controlOf(field)), field);
    }
    EXPECT_EQ(designOf(controlOf(UnitField::inchs)).name, "inchs");
    EXPECT_EQ(controlOf(Face::Command1), Control::Command1);
    EXPECT_EQ(faceOf(Control::Command2), Face::Command2);
    EXPECT_EQ(fieldOf(Control::Command2), std::nullopt);
    EXPECT_EQ(faceOf(Control::ums), std::nullopt);
}

TEST(Design, ToolTipOfCommand2EndsWithTheSitesHost)
{
    EXPECT_EQ(toolTipOf(designOf(Control::Command2)), "更多资讯请访问" EXPECTED_SITE_HOST);
    EXPECT_EQ(siteHost(), EXPECTED_SITE_HOST);
    EXPECT_EQ(toolTipOf(designOf(Control::Command1)), "");
    EXPECT_EQ(toolTipOf(designOf(Control::mils)), "英制数据");
}

} // namespace
} // namespace mensurel::ui
