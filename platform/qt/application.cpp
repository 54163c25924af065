#include "mensurel/qt/application.h"

#include "text.h"
#include "x11_keys.h"

#include <mensurel/ui/design.h>

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <exception>
#include <utility>

namespace mensurel::qt {

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(toQString(ui::windowDesign().title));
    // Qt's own texts (the fields' context menu, message-box buttons) in the
    // desktop's language, beside the window's Chinese texts. Without a
    // translation for that language they stay English.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    // On X a held key otherwise arrives as release and press pairs that Qt
    // marks as repetitions only when the press is already queued.
    if (const auto* x11 = nativeInterface<QNativeInterface::QX11Application>())
        x11::reportHeldKeysWithoutReleases(x11->display());
}

int Application::run()
{
    return exec();
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    // Qt does not let exceptions travel through its event loop; this is the
    // one place where they are caught. The event that raised one is dropped,
    // the user is told, and the program goes on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(activeWindow(),
            QString::fromStdString(
                ui::texts::unexpectedError(QString::fromLocal8Bit(error.what()).toStdString())));
    } catch (...) {
        reportError(activeWindow(), QString::fromStdString(ui::texts::unexpectedError({})));
    }
    return false;
}

void reportError(QWidget* parent, const QString& text, ui::MessageIcon icon)
{
    QMessageBox box(icon == ui::MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning,
        toQString(ui::windowDesign().title), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace mensurel::qt
