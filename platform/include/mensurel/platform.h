// The desktop operations the window relies on, each a thin layer over Qt.
#pragma once

#include <QApplication>
#include <QDate>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace mensurel::platform {

// The application object. It owns the event loop; an exception that escapes
// an event handler is reported to the user instead of ending the program.
class Application final : public QApplication {
public:
    Application(int& argc, char** argv);

    // Runs the event loop until the last window closes and returns the
    // program's exit status (0 after an ordinary close).
    int run();

    bool notify(QObject* receiver, QEvent* event) override;
};

// Today's date in the system's local time zone.
QDate today();

// Replaces the source of today's date, so a test can pin the date; an empty
// function goes back to the system clock.
using DateSource = std::function<QDate()>;
void setDateSource(DateSource source);

// Asks the desktop to open `address` in the user's browser. Returns at once,
// without waiting for the browser; false if no handler could be started.
bool openWebAddress(const QUrl& address);

// The Chinese text shown for an unexpected error with the given detail.
QString unexpectedErrorText(const QString& detail);

// Shows `text` to the user in a modal message box titled with the
// program's name, over `parent` (or over no window when null).
void reportError(QWidget* parent, const QString& text);

} // namespace mensurel::platform
