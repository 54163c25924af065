// The out-of-range warning at a field: a tooltip-like popup beside the
// field, wholly on its screen, shown without taking the focus.
#pragma once

#include <QPointer>
#include <QString>

class QFont;
class QLabel;
class QWidget;

namespace mensurel::qt {

class FieldWarning {
public:
    // The popup belongs to `window` (the child "warning").
    explicit FieldWarning(QWidget* window);

    // Shows `text` in `font` beside `field`, where ui::placeWarning puts it;
    // replaces a warning shown at another field.
    void show(const QWidget* field, const QString& text, const QFont& font);
    // Takes the warning off the screen when it stands at `field`.
    void hide(const QWidget* field);

private:
    QLabel* popup_;
    QPointer<const QWidget> field_; // the field it stands at
};

} // namespace mensurel::qt
