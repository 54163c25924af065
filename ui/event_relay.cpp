#include "event_relay.h"

#include <QKeyEvent>

#include <algorithm>

namespace mensurel::ui {

EventRelay::EventRelay(QObject* watched, QEvent::Type type)
    : QObject(watched)
    , type_(type)
{
    watched->installEventFilter(this);
}

bool EventRelay::eventFilter(QObject* /*watched*/, QEvent* event)
{
    if (event->type() == type_) emit raised();
    return false;
}

KeyUpRelay::KeyUpRelay(QObject* watched)
    : QObject(watched)
{
    watched->installEventFilter(this);
}

bool KeyUpRelay::eventFilter(QObject* /*watched*/, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (std::ranges::find(pressed_, key) == pressed_.end()) pressed_.push_back(key);
        break;
    }
    case QEvent::KeyRelease: {
        const auto* release = static_cast<const QKeyEvent*>(event);
        // The releases a held key repeats in between are not the user's.
        if (release->isAutoRepeat()) break;
        const auto it = std::ranges::find(pressed_, release->key());
        if (it == pressed_.end()) break; // pressed in another control
        pressed_.erase(it);
        emit raised();
        break;
    }
    case QEvent::FocusOut:
        // Keys still down go on to whatever takes the focus next.
        pressed_.clear();
        break;
    default: break;
    }
    return false;
}

} // namespace mensurel::ui
