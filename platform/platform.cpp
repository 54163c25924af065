#include "mensurel/platform.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QToolTip>
#include <QWidget>

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

void launchWebAddress(QWidget* parent, const QUrl& address)
{
    if (!openWebAddress(address)) reportError(parent, launchFailedText(address));
}

QString launchFailedText(const QUrl& address)
{
    return QStringLiteral("无法打开网址 %1：系统中没有找到能打开网页的程序（xdg-open 或浏览器）。"
                          "\n\n请在浏览器中手动访问这个网址。")
        .arg(address.toString());
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

QString outOfRangeText()
{
    return QStringLiteral("数值超出范围，无法换算；其他各栏保持不变。");
}

void showFieldNotice(QWidget* field, const QString& text)
{
    // Typing on in a field that is still out of range re-shows the tooltip
    // (a key press hides it) but beeps only once.
    if (field->accessibleDescription() != text) {
        QApplication::beep();
        field->setAccessibleDescription(text);
    }
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field);
}

void clearFieldNotice(QWidget* field)
{
    if (field->accessibleDescription().isEmpty()) return;
    if (QToolTip::isVisible() && QToolTip::text() == field->accessibleDescription())
        QToolTip::hideText();
    field->setAccessibleDescription(QString());
}

} // namespace mensurel::platform
