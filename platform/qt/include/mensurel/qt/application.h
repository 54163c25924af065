// The program over Qt: the application object with its event loop and the
// desktop's language for Qt's own texts.
#pragma once

#include <QApplication>

#include <mensurel/ui/desktop.h>

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

// Shows `text` to the user in a modal message box titled with the program's
// name and marked with `icon`, over `parent` (or over no window when null).
void reportError(
    QWidget* parent, const QString& text, ui::MessageIcon icon = ui::kUnexpectedErrorIcon);

} // namespace mensurel::qt
