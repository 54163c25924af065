// The window on a real X display, where Qt hands web addresses to xdg-open:
// both buttons open the maker's site on every click, a launch that fails is
// reported and the program goes on, and closing the window ends the program.
#include "x11_window.h"

#include <mensurel/platform.h>
#include <mensurel/ui/form1.h>

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    QTemporaryDir bin_; // the only directory on PATH
    QTemporaryDir runtime_; // XDG_RUNTIME_DIR, which xvfb-run leaves unset

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(bin_.isValid() && runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
        // No browser but the ones these tests put on PATH.
        qputenv("PATH", QFile::encodeName(bin_.path()));
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
    }

    // Qt keeps the first browser it finds for the rest of the process, so
    // this runs before any launch can succeed.
    void failedLaunchIsReported()
    {
        QVERIFY(!QFile::exists(bin_.filePath("xdg-open")));
        mensurel::ui::Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QString shown;
        QTimer closer; // reads the message box and closes it
        connect(&closer, &QTimer::timeout, &form, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box == nullptr || !box->isVisible()) continue;
                shown = box->text();
                box->accept();
            }
        });
        closer.start(50);
        QTest::mouseClick(form.command2(), Qt::LeftButton); // returns when the box is closed
        closer.stop();
        QVERIFY2(
            shown.contains(QStringLiteral("无法打开网址 " MENSUREL_SITE_URL)), qPrintable(shown));

        form.mm()->clear();
        QTest::keyClicks(form.mm(), QStringLiteral("2"));
        QCOMPARE(form.mils()->text(), QStringLiteral("78.7402"));
    }

    void everyClickOpensTheSite()
    {
        const QString opened = bin_.filePath("opened.txt");
        QFile fake(bin_.filePath("xdg-open"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(QStringLiteral("#!/bin/sh\nprintf '%s %s\\n' \"$#\" \"$*\" >> '%1'\n")
                .arg(opened)
                .toUtf8());
        fake.close();
        QVERIFY(fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        mensurel::ui::Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Command2 lies on top at start; the pointer over the bare surface
        // brings Command1 up. Each is clicked with the mouse and with Space.
        QTest::mouseClick(form.command2(), Qt::LeftButton);
        QTest::keyClick(form.command2(), Qt::Key_Space);
        QTest::mouseMove(&form, QPoint(4, 4));
        QTRY_VERIFY(form.command1()->isVisible() && !form.command2()->isVisible());
        QTest::mouseClick(form.command1(), Qt::LeftButton);
        QTest::keyClick(form.command1(), Qt::Key_Space);

        // One argument each time: the address.
        const QString once = QStringLiteral("1 " MENSUREL_SITE_URL);
        QTRY_COMPARE(linesOf(opened), QStringList(4, once));
    }

    void closingEndsTheProgram()
    {
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(MENSUREL_PROGRAM), {});
        QVERIFY(program.waitForStarted());
        unsigned long window = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            (window = x11::findWindow(program.processId(), "Mensurel")) != 0, 30000);
        QVERIFY(x11::requestClose(window));
        QVERIFY(program.waitForFinished(30000)); // no question keeps it open
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

int main(int argc, char* argv[])
{
    mensurel::platform::Application application(argc, argv);
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_test.moc"
