// Turns one kind of event on one object into a signal, so that a control's
// event can be bound to a procedure of the window with a plain connect().
#pragma once

#include <QEvent>
#include <QObject>

#include <vector>

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

// Raises for every key released in `watched` whose press `watched` received
// too: a key held until it repeats raises once, at its real release, and the
// release of a Tab that moved the focus here from another control does not
// count as a key release in this one.
class KeyUpRelay final : public QObject {
    Q_OBJECT

public:
    explicit KeyUpRelay(QObject* watched);

signals:
    void raised();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<int> pressed_; // keys pressed here and not yet released
};

} // namespace mensurel::ui
