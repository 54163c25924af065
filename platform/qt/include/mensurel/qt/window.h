// The window Form1 over Qt: widgets built from the design tables, Qt's
// events turned into the plain events Form1 takes, and the desktop
// operations its procedures use.
#pragma once

#include <mensurel/ui/desktop.h>
#include <mensurel/ui/form1.h>

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScreen;

namespace mensurel::qt {

class Window final : public QWidget, private ui::Desktop {
public:
    explicit Window(QWidget* parent = nullptr);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The window's behaviour; Form_Load runs once before the window is
    // first shown.
    ui::Form1& form() { return form_; }

    // The controls by their design names. The two frames are not widgets:
    // they are drawn on the window surface.
    QLineEdit* inchs() const { return field(UnitField::inchs); }
    QLineEdit* mils() const { return field(UnitField::mils); }
    QLineEdit* mm() const { return field(UnitField::mm); }
    QLineEdit* ums() const { return field(UnitField::ums); }
    QLineEdit* field(UnitField unit) const { return fields_[static_cast<std::size_t>(unit)]; }
    QPushButton* command1() const { return command1_; }
    QPushButton* command2() const { return command2_; }
    QLabel* label1() const { return label1_; }

    // The out-of-range notice as it stands on the screen (hidden when no
    // notice is shown).
    const QWidget* notice() const;

    // Replaces the launch of the web site, so a test opens no browser. The
    // handler gets the address and a function to call if the launch fails.
    using LaunchHandler
        = std::function<void(std::string_view address, std::function<void()> failed)>;
    void setLaunchHandler(LaunchHandler handler);

    // Puts the window where it first opens on `screen` (the design position
    // when the whole window fits there, otherwise centred).
    void placeOn(const QScreen* screen);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Outline {
        QRect rect; // outer edge of the outline, in pixels
        int lineWidth; // drawn inwards from the edge
    };

    void buildControls();
    void bindEvents();
    int fieldIndex(const QObject* object) const; // -1: not a field
    void steadyCaretForLongText();

    // ui::Desktop
    std::string fieldText(UnitField unit) const override;
    void setFieldText(UnitField unit, const std::string& text) override;
    void setFaceVisible(ui::Face which, bool visible) override;
    bool faceHasFocus(ui::Face which) const override;
    void focusFace(ui::Face which) override;
    void setNoticeCaption(const std::string& text) override;
    int currentYear() const override;
    void startLaunch(std::string_view address) override;
    void beep() override;
    void showFieldNotice(UnitField unit, const std::string& text) override;
    void hideFieldNotice(UnitField unit, bool forget) override;
    void showMessage(const std::string& text) override;

    QPushButton* face(ui::Face which) const;

    ui::Form1 form_;
    std::vector<Outline> frames_; // bottom-most first
    std::array<QLineEdit*, 4> fields_ {}; // by UnitField
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* notice_ = nullptr; // the out-of-range notice, a tooltip-like popup
    int noticeField_ = -1; // the field it stands at
    bool writing_ = false; // the program is writing a field's text
    std::optional<int> desktopFlashTime_; // the caret's blink while it is held steady
    LaunchHandler launch_;
};

} // namespace mensurel::qt
