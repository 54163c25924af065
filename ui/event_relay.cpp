#include "event_relay.h"

#include <QKeyEvent>

namespace mensurel::ui {

EventRelay::EventRelay(QObject* watched, QEvent::Type type)
    : QObject(watched)
    , type_(type)
{
    watched->installEventFilter(this);
}

bool EventRelay::eventFilter(QObject* /*watched*/, QEvent* event)
{
    // A key held down until it repeats is released once, at the end; the
    // releases the keyboard repeats in between are not the user's.
    const bool repeated = event->type() == QEvent::KeyRelease
        && static_cast<const QKeyEvent*>(event)->isAutoRepeat();
    if (event->type() == type_ && !repeated) emit raised();
    return false;
}

} // namespace mensurel::ui
