#include "mensurel/platform.h"

#include <QDesktopServices>
#include <QMessageBox>

#include <exception>
#include <utility>

namespace mensurel::platform {

namespace {

DateSource& dateSource()
{
    static DateSource source;
    return source;
}

} // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Mensurel"));
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
        reportError(activeWindow(), unexpectedErrorText(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        reportError(activeWindow(), unexpectedErrorText(QString()));
    }
    return false;
}

QDate today()
{
    const DateSource& source = dateSource();
    return source ? source() : QDate::currentDate();
}

void setDateSource(DateSource source)
{
    dateSource() = std::move(source);
}

bool openWebAddress(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

QString unexpectedErrorText(const QString& detail)
{
    QString text = QStringLiteral("程序发生了意外错误，刚才的操作未能完成。程序将继续运行。");
    if (!detail.isEmpty()) text += QStringLiteral("\n\n错误信息：") + detail;
    return text;
}

void reportError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, QStringLiteral("Mensurel"), text);
}

} // namespace mensurel::platform
