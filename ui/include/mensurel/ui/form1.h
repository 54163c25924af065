// The one window of the program, built from the design tables in layout.h.
#pragma once

#include <QRect>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScreen;

namespace mensurel {
enum class UnitField; // <mensurel/convert.h>
} // namespace mensurel

namespace mensurel::ui {

class Form1 final : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    // The window's load event, run once between building the window and
    // showing it: the notice line gets this year, read from today's date.
    void Form_Load();

    // The controls by their design names. The two frames are not widgets:
    // they are drawn on the window surface.
    QLineEdit* inchs() const { return inchs_; }
    QLineEdit* mils() const { return mils_; }
    QLineEdit* mm() const { return mm_; }
    QLineEdit* ums() const { return ums_; }
    QPushButton* command1() const { return command1_; }
    QPushButton* command2() const { return command2_; }
    QLabel* label1() const { return label1_; }

    // Puts the window where it first opens on `screen` (the design position
    // when the whole window fits there, otherwise centred).
    void placeOn(const QScreen* screen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Outline {
        QRect rect; // outer edge of the outline, in pixels
        int lineWidth; // drawn inwards from the edge
    };

    void buildControls();
    void orderStacking();
    void orderTabs();
    void bindEvents();

    // The event procedures; bindEvents() ties each to its control's event.
    void Form_MouseMove();
    void Command1_MouseMove();
    void Command1_Click();
    void Command2_Click();
    void inchs_KeyUp();
    void mils_KeyUp();
    void mm_KeyUp();
    void ums_KeyUp();

    // Converts the text of `from` and writes the three other fields; when
    // the number is out of range they keep their texts and the user is told
    // at `from`.
    void convertFrom(UnitField from);
    QLineEdit* field(UnitField unit) const;

    std::vector<Outline> frames_; // bottom-most first
    QLineEdit* inchs_ = nullptr;
    QLineEdit* mils_ = nullptr;
    QLineEdit* mm_ = nullptr;
    QLineEdit* ums_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QLabel* label1_ = nullptr;
};

} // namespace mensurel::ui
