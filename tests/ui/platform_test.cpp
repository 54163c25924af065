// The platform layer: an exception escaping an event handler is reported to
// the user instead of ending the program.
#include <mensurel/platform.h>

#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// A receiver whose first event handler call throws, as a failing operation
// would.
class Thrower : public QObject {
public:
    int handled = 0;
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User) return QObject::event(event);
        if (++handled == 1) throw std::runtime_error("disk full");
        return true;
    }
};

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void unexpectedErrorIsReportedAndProgramGoesOn()
    {
        QString title;
        QString text;
        QTimer::singleShot(0, this, [&] { // the report is modal: read it, close it
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
        Thrower thrower;
        QEvent first(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &first); // must not throw through
        QCOMPARE(title, QStringLiteral("Mensurel"));
        QVERIFY2(text.contains(QStringLiteral("意外错误")) && text.contains("disk full"),
            qPrintable(text));
        QEvent second(QEvent::User);
        QVERIFY(QCoreApplication::sendEvent(&thrower, &second));
        QCOMPARE(thrower.handled, 2);
    }
};

int main(int argc, char* argv[])
{
    mensurel::platform::Application application(argc, argv);
    PlatformTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "platform_test.moc"
