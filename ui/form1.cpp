#include "mensurel/ui/form1.h"

#include "mensurel/ui/design.h"

#include <mensurel/number_text.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace mensurel::ui {

namespace {

// Raises a flag for the life of a scope, however the scope is left: an
// exception on the way must not leave it up.
class Raised {
public:
    explicit Raised(bool& flag)
        : flag_(flag)
    {
        flag_ = true;
    }
    ~Raised() { flag_ = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
};

} // namespace

Form1::Form1(Desktop& desktop)
    : desktop_(desktop)
{
}

void Form1::Form_Load()
{
    const Currency year { std::int64_t { desktop_.currentYear() } * 10000 };
    desktop_.setNoticeCaption(std::string(texts::kNoticePrefix) + FormatStr(year));
    desktop_.setFocus(focusOrder().front());
}

void Form1::Form_MouseMove()
{
    hoverSwap(Face::Command1, Face::Command2);
}

void Form1::Command1_MouseMove()
{
    hoverSwap(Face::Command2, Face::Command1);
}

void Form1::hoverSwap(Face show, Face hide)
{
    desktop_.setFaceVisible(show, true);
    // The two faces are one button to the user: when the face that holds
    // the focus goes, the focus stays on the button, now the other face.
    // Left alone, the desktop would pass it on to the next field, where the
    // next Space would overwrite the value there.
    if (desktop_.hasFocus(controlOf(hide))) desktop_.setFocus(controlOf(show));
    desktop_.setFaceVisible(hide, false);
}

void Form1::Command1_Click()
{
    desktop_.startLaunch(siteAddress());
}

void Form1::faceClicked(Face face)
{
    if (face == Face::Command1)
        Command1_Click();
    else
        Command2_Click();
}

bool Form1::faceKeyPressed(Face face, const KeyEvent& key)
{
    if (!key.enter && !key.space) return false;
    if (key.autoRepeat || std::ranges::find(faceKeysHeld_, key.code) != faceKeysHeld_.end())
        return true;
    faceKeysHeld_.push_back(key.code);
    faceClicked(face);
    return true;
}

bool Form1::faceKeyReleased(Face /*face*/, const KeyEvent& key)
{
    if (!key.enter && !key.space) return false;
    if (!key.autoRepeat) faceKeyUp(key.code);
    return true;
}

void Form1::faceKeyUp(int code)
{
    const auto held = std::ranges::find(faceKeysHeld_, code);
    if (held == faceKeysHeld_.end()) return;
    faceKeysHeld_.erase(held);
    if (faceKeysHeld_.empty() && std::exchange(messageWaiting_, false)) tellLaunchFailed();
}

void Form1::Command2_Click()
{
    desktop_.startLaunch(siteAddress());
}

void Form1::launchFailed()
{
    // A box opened under a key still held would take its repetitions and
    // close before the user could read it.
    if (!faceKeysHeld_.empty()) {
        messageWaiting_ = true;
        return;
    }
    tellLaunchFailed();
}

void Form1::tellLaunchFailed()
{
    // One message at a time: failures reported while it is shown (quick
    // clicks with a launcher that keeps failing) tell the user nothing new.
    if (messageShown_) return;
    const Raised shown(messageShown_);
    desktop_.showMessage(texts::launchFailed(siteAddress()), kLaunchFailedIcon);
}

void Form1::inchs_KeyUp()
{
    convertFromField(UnitField::inchs);
}

void Form1::mils_KeyUp()
{
    convertFromField(UnitField::mils);
}

void Form1::mm_KeyUp()
{
    convertFromField(UnitField::mm);
}

void Form1::ums_KeyUp()
{
    convertFromField(UnitField::ums);
}

void runKeyUp(Form1& form, UnitField field)
{
    switch (field) {
    case UnitField::inchs: form.inchs_KeyUp(); break;
    case UnitField::mils: form.mils_KeyUp(); break;
    case UnitField::mm: form.mm_KeyUp(); break;
    case UnitField::ums: form.ums_KeyUp(); break;
    }
}

void Form1::convertFromField(UnitField from)
{
    FieldTexts texts;
    for (const UnitField unit : kUnitFields) texts[unit] = desktop_.fieldText(unit);
    FieldState& source = state(from);

    if (!mensurel::ConvertFromField(from, texts)) {
        // The other fields keep their texts. The beep marks the moment the
        // field goes out of range; typing on shows the warning again (a key
        // press or the focus leaving may have hidden it) unless the user
        // closed it for this text.
        const bool sameText = source.failedText == texts[from];
        if (!source.failedText) desktop_.beep();
        if (!sameText) source.warningDismissed = false;
        // Over another program, or with no window under it, the warning
        // would only be in the way: a screen reader still finds it in the
        // field's description.
        if (!source.warningDismissed && desktop_.windowActive()) {
            desktop_.showWarning(from, std::string(texts::kOutOfRange));
            source.warningShown = true;
        } else {
            desktop_.describeWarning(from, std::string(texts::kOutOfRange));
        }
        source.failedText = texts[from];
        return;
    }
    for (const UnitField unit : kUnitFields) {
        FieldState& field = state(unit);
        if (field.failedText) {
            desktop_.removeWarning(unit);
            field.failedText.reset();
            field.warningShown = false;
            field.warningDismissed = false;
        }
        if (unit == from) continue;
        {
            // The desktop reports this change like any other.
            const Raised writing(writing_);
            desktop_.setFieldText(unit, texts[unit]);
        }
        // Keys still down in a rewritten field would convert its old text
        // again at their release, over the text changed last.
        field.held.clear();
    }
}

void Form1::hideWarning(UnitField field)
{
    FieldState& s = state(field);
    if (!s.warningShown) return;
    s.warningShown = false;
    desktop_.hideWarning(field);
}

void Form1::windowMoved()
{
    for (const UnitField unit : kUnitFields) hideWarning(unit);
}

void Form1::windowDeactivated()
{
    windowMoved();
    // Their releases go to the program that is active now.
    faceKeysHeld_.clear();
    if (std::exchange(messageWaiting_, false)) tellLaunchFailed();
}

void Form1::keyPressed(UnitField field, const KeyEvent& key)
{
    FieldState& s = state(field);
    if (key.escape && s.failedText && !s.warningDismissed) {
        s.warningDismissed = true;
        hideWarning(field);
    }
    if (std::ranges::find(s.held, key.code) == s.held.end()) s.held.push_back(key.code);
}

void Form1::keyReleased(UnitField field, const KeyEvent& key)
{
    // The releases a held key repeats in between are not the user's.
    if (key.autoRepeat) return;
    // A key held on the button while the focus came here is up now.
    faceKeyUp(key.code);
    FieldState& s = state(field);
    const auto held = std::ranges::find(s.held, key.code);
    if (held == s.held.end()) return; // pressed elsewhere: a Tab that brought the focus here
    s.held.erase(held);
    runKeyUp(*this, field);
}

void Form1::focusLeft(UnitField field)
{
    // Keys still down go on to whatever takes the focus next; their releases
    // there are not this field's. A release that never comes leaves nothing
    // behind either.
    state(field).held.clear();
    hideWarning(field);
}

void Form1::textChanged(UnitField field)
{
    if (writing_) return; // the program's own write
    runKeyUp(*this, field);
}

Form1::FieldState& Form1::state(UnitField field)
{
    return fields_[static_cast<std::size_t>(field)];
}

} // namespace mensurel::ui
