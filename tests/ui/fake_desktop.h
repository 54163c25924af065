// A desktop without a toolkit: four field texts, two faces, a focus, a
// notice line, and a log of what the window's procedures asked for.
#pragma once

#include <mensurel/ui/desktop.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mensurel::ui::testing {

class FakeDesktop final : public Desktop {
public:
    // The design's starting texts, in UnitField order: inchs, mils, mm, ums.
    std::array<std::string, 4> texts { "0.001", "1.0000", "0.0254", "25.4000" };
    bool command1Visible = true;
    bool command2Visible = true;
    std::optional<Control> focused;
    std::string caption;
    int year = 2026;
    mutable int yearReads = 0;
    std::vector<std::string> launches;
    bool launchFails = false;
    std::vector<std::string> messages;
    std::vector<MessageIcon> messageIcons;
    int beeps = 0;
    std::array<std::optional<std::string>, 4> warnings; // shown at each field
    std::array<std::string, 4> descriptions; // accessible descriptions
    int writes = 0;
    bool active = true; // the window is the active one

    std::string& text(UnitField f) { return texts[static_cast<std::size_t>(f)]; }
    std::optional<std::string>& warning(UnitField f)
    {
        return warnings[static_cast<std::size_t>(f)];
    }
    std::string& description(UnitField f) { return descriptions[static_cast<std::size_t>(f)]; }

    // Set by the test after constructing the form: where a failed launch
    // is reported.
    std::function<void()> onLaunchFailed;

    std::string fieldText(UnitField f) const override { return texts[static_cast<std::size_t>(f)]; }
    // Runs inside each write, as a toolkit reports the change it makes.
    std::function<void(UnitField)> whileWriting;
    void setFieldText(UnitField f, const std::string& t) override
    {
        ++writes;
        text(f) = t;
        if (whileWriting) whileWriting(f);
    }
    void setFaceVisible(Face face, bool visible) override
    {
        (face == Face::Command1 ? command1Visible : command2Visible) = visible;
        // A hidden face loses the focus to the next control in the tab
        // order, a field.
        if (!visible && focused == controlOf(face)) focused = Control::mils;
    }
    bool hasFocus(Control control) const override { return focused == control; }
    void setFocus(Control control) override { focused = control; }
    void setNoticeCaption(const std::string& t) override { caption = t; }
    int currentYear() const override
    {
        ++yearReads;
        return year;
    }
    void startLaunch(std::string_view address) override
    {
        launches.emplace_back(address);
        if (launchFails && onLaunchFailed) onLaunchFailed();
    }
    bool windowActive() const override { return active; }
    void beep() override { ++beeps; }
    void showWarning(UnitField f, const std::string& t) override
    {
        warning(f) = t;
        description(f) = t;
    }
    void describeWarning(UnitField f, const std::string& t) override { description(f) = t; }
    void hideWarning(UnitField f) override { warning(f).reset(); }
    void removeWarning(UnitField f) override
    {
        warning(f).reset();
        description(f).clear();
    }
    // Runs while the message is on the screen: what the user does before
    // closing it.
    std::function<void()> whileMessageShown;
    void showMessage(const std::string& t, MessageIcon icon) override
    {
        messages.push_back(t);
        messageIcons.push_back(icon);
        if (whileMessageShown) std::exchange(whileMessageShown, nullptr)();
    }
};

} // namespace mensurel::ui::testing
