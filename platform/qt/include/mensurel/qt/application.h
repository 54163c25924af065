// The program over Qt: the application object with its event loop, the
// desktop's language for Qt's own texts, and today's date.
#pragma once

#include <QApplication>
#include <QDate>

#include <mensurel/ui/desktop.h>

#include <functional>

namespace mensurel::qt {

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

// Shows `text` to the user in a modal message box titled with the program's
// name and marked with `icon`, over `parent` (or over no window when null).
void reportError(
    QWidget* parent, const QString& text, ui::MessageIcon icon = ui::kUnexpectedErrorIcon);

} // namespace mensurel::qt
