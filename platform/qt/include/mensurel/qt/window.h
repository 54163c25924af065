// The window Form1 over Qt: widgets built from the design tables, Qt's
// events turned into the plain events Form1 takes, and the desktop
// operations its procedures use.
#pragma once

#include <mensurel/qt/caret.h>
#include <mensurel/qt/warning.h>
#include <mensurel/ui/desktop.h>
#include <mensurel/ui/form1.h>
#include <mensurel/ui/layout.h>

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mensurel::qt {

class Window final : public QWidget, private ui::Desktop {
public:
    // Opens a web address in the user's browser; calls `failed` later, from
    // the event loop, when the launch turns out to have failed.
    using LaunchHandler
        = std::function<void(std::string_view address, std::function<void()> failed)>;
    // What the window takes from the desktop beyond its widgets. An empty
    // member is the program's own: the site opened with xdg-open
    // (launchWebAddress), the system clock, the place kept in the user's
    // settings file (settings.h); a test gives other ones.
    struct Services {
        LaunchHandler launch;
        std::function<int()> currentYear; // the calendar year of today in local time
        // Where the window was when it last closed (ui::placeText), if kept.
        std::function<std::optional<std::string>()> loadPlace;
        std::function<void(const std::string&)> savePlace;
    };

    // Built at the place where the window last closed, when that place is
    // still on a screen; otherwise at its first placement.
    explicit Window(Services services = {});
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window's behaviour; Form_Load runs once before the window is
    // first shown. The controls are children named as in the design; the
    // out-of-range warning is the child "warning".
    ui::Form1& form() { return form_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Remembers the window's place (not on Wayland, where the compositor
    // places windows).
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void bindEvents();
    bool fieldEvent(UnitField unit, QEvent* event);
    bool faceEvent(ui::Face which, QEvent* event);
    void steadyCaretForLongText();

    QWidget* control(ui::Control id) const { return controls_[static_cast<std::size_t>(id)]; }
    QLineEdit* field(UnitField unit) const;
    QPushButton* face(ui::Face which) const;
    std::optional<ui::Control> controlOf(const QObject* object) const;

    // ui::Desktop
    std::string fieldText(UnitField unit) const override;
    void setFieldText(UnitField unit, const std::string& text) override;
    void setFaceVisible(ui::Face which, bool visible) override;
    bool hasFocus(ui::Control id) const override;
    void setFocus(ui::Control id) override;
    void setNoticeCaption(const std::string& text) override;
    int currentYear() const override;
    void startLaunch(std::string_view address) override;
    bool windowActive() const override;
    void beep() override;
    void showWarning(UnitField unit, const std::string& text) override;
    void describeWarning(UnitField unit, const std::string& text) override;
    void hideWarning(UnitField unit) override;
    void removeWarning(UnitField unit) override;
    void showMessage(const std::string& text, ui::MessageIcon icon) override;

    ui::Form1 form_;
    FieldWarning warning_;
    ui::Layout layout_; // in Qt's device-independent pixels: the design's at 96 dpi
    std::array<QWidget*, ui::kControlCount> controls_ {}; // by table row; none for the frames
    SteadyCaret caret_;
    Services services_;
};

} // namespace mensurel::qt
