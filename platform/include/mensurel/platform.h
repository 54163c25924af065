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

// Opens `address` as openWebAddress does; when that fails, tells the user in
// a message box over `parent` that names the address, and returns.
void launchWebAddress(QWidget* parent, const QUrl& address);

// The Chinese text shown when `address` could not be opened.
QString launchFailedText(const QUrl& address);

// The Chinese text shown for an unexpected error with the given detail.
QString unexpectedErrorText(const QString& detail);

// Shows `text` to the user in a modal message box titled with the
// program's name, over `parent` (or over no window when null).
void reportError(QWidget* parent, const QString& text);

// The Chinese text telling that a field holds a number the program cannot
// convert.
QString outOfRangeText();

// Tells the user about `field` without taking the focus from it: `text`
// appears as a tooltip at the field and becomes its accessible description,
// so a screen reader can find it. The first notice of a text beeps; showing
// the same notice again while the field still carries it does not.
void showFieldNotice(QWidget* field, const QString& text);

// Takes a notice of showFieldNotice off `field`; nothing when it has none.
void clearFieldNotice(QWidget* field);

} // namespace mensurel::platform
