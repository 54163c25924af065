#include "mensurel/qt/caret.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>

namespace mensurel::qt {

namespace {

constexpr qsizetype kSteadyCaretLength = 100'000;

} // namespace

SteadyCaret::~SteadyCaret()
{
    update(nullptr);
}

void SteadyCaret::update(const QLineEdit* focused)
{
    const bool steady = focused != nullptr && focused->text().size() > kSteadyCaretLength;
    QStyleHints* hints = QGuiApplication::styleHints();
    if (steady && !desktopFlashTime_) {
        desktopFlashTime_ = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!steady && desktopFlashTime_) {
        hints->setCursorFlashTime(*desktopFlashTime_);
        desktopFlashTime_.reset();
    }
}

} // namespace mensurel::qt
