#include "mensurel/qt/warning.h"

#include "text.h"

#include <mensurel/ui/layout.h>

#include <QLabel>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace mensurel::qt {

FieldWarning::FieldWarning(QWidget* window)
    : popup_(new QLabel(window, Qt::ToolTip | Qt::FramelessWindowHint))
{
    popup_->setObjectName(QStringLiteral("warning"));
    popup_->setTextFormat(Qt::PlainText);
    popup_->setWordWrap(true);
    popup_->setPalette(QToolTip::palette());
    popup_->setForegroundRole(QPalette::ToolTipText);
    popup_->setBackgroundRole(QPalette::ToolTipBase);
    popup_->setAutoFillBackground(true);
    popup_->setFrameStyle(QFrame::Box | QFrame::Plain);
    popup_->setMargin(3);
    popup_->setFocusPolicy(Qt::NoFocus);
    popup_->setAttribute(Qt::WA_ShowWithoutActivating);
}

void FieldWarning::show(const QWidget* field, const QString& text, const QFont& font)
{
    popup_->setText(text);
    popup_->setFont(font);
    field_ = field;

    // Wrapped only when the screen is narrower than the text.
    const QScreen* screen = field->screen();
    QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    // Qt rounds the screen's size in scaled pixels to the nearest: at three
    // times on 1280 pixels it says 427, and a warning flush with that edge
    // loses its border. One scaled pixel less keeps it whole at any scale.
    if (screen != nullptr && screen->devicePixelRatio() != 1.0) available.adjust(0, 0, -1, -1);
    const QMargins edges = popup_->contentsMargins();
    const int margin = (2 * popup_->margin()) + edges.left() + edges.right();
    int width = popup_->fontMetrics().horizontalAdvance(text) + margin + 1;
    if (available.isValid()) width = std::min(width, available.width());
    popup_->resize(width, popup_->heightForWidth(width));
    const QRect fieldOnScreen(field->mapToGlobal(QPoint(0, 0)), field->size());
    QPoint position(fieldOnScreen.left(), fieldOnScreen.bottom() + 1);
    if (available.isValid()) {
        const ui::PixelPoint placed = ui::placeWarning(
            toPixelRect(fieldOnScreen), popup_->width(), popup_->height(), toPixelRect(available));
        position = QPoint(placed.x, placed.y);
    }
    popup_->move(position);
    popup_->show();
    popup_->raise();
}

void FieldWarning::hide(const QWidget* field)
{
    if (field_ == field) popup_->hide();
}

} // namespace mensurel::qt
