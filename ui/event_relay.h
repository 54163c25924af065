// Turns one kind of event on one object into a signal, so that a control's
// event can be bound to a procedure of the window with a plain connect().
#pragma once

#include <QEvent>
#include <QObject>

namespace mensurel::ui {

class EventRelay final : public QObject {
    Q_OBJECT

public:
    // Watches `watched` for events of `type`; owned by `watched`. The event
    // itself goes on to `watched` untouched.
    EventRelay(QObject* watched, QEvent::Type type);

signals:
    void raised();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type type_;
};

} // namespace mensurel::ui
