// The window on a real X display with xdg-open started for real (a fake one
// on a private PATH): both buttons open the maker's site on every click, a
// launch that fails is reported and the program goes on, and closing the
// window ends the program.
#include "x11_window.h"

#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>

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

    void writeLauncher(const QString& script)
    {
        QFile fake(bin_.filePath("xdg-open"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(script.toUtf8());
        fake.close();
        QVERIFY(fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

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

    // The launcher is missing, fails (xdg-open's "no method available"),
    // or hangs: the first two are reported once, none freezes the window.
    void launchOutcome_data()
    {
        QTest::addColumn<QString>("launcher"); // the fake xdg-open; empty: none
        QTest::addColumn<bool>("reported");
        QTest::newRow("no xdg-open on PATH") << QString() << true;
        QTest::newRow("xdg-open exits 3") << "#!/bin/sh\nexit 3\n" << true;
        QTest::newRow("xdg-open hangs") << "#!/bin/sh\nexec /bin/sleep 60\n" << false;
    }
    void launchOutcome()
    {
        QFETCH(QString, launcher);
        QFETCH(bool, reported);
        QFile::remove(bin_.filePath("xdg-open"));
        if (!launcher.isEmpty()) writeLauncher(launcher);

        mensurel::qt::Window form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QStringList shown;
        QTimer closer; // reads each message box and closes it
        connect(&closer, &QTimer::timeout, &form, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box == nullptr || !box->isVisible()) continue;
                shown << box->text();
                box->accept();
            }
        });
        closer.start(50);
        QTest::mouseClick(form.command2(), Qt::LeftButton);
        // The window answers at once, whatever the launcher does.
        form.mm()->setFocus();
        form.mm()->clear();
        QTest::keyClicks(form.mm(), QStringLiteral("2"));
        QCOMPARE(form.mils()->text(), QStringLiteral("78.7402"));
        if (reported) {
            QTRY_COMPARE(shown.size(), 1);
            QVERIFY2(shown[0].contains(QStringLiteral("无法打开网址 " MENSUREL_SITE_URL)),
                qPrintable(shown[0]));
        } else {
            QTest::qWait(500);
            QVERIFY(shown.isEmpty());
        }
        closer.stop();
    }

    void everyClickOpensTheSite()
    {
        const QString opened = bin_.filePath("opened.txt");
        writeLauncher(
            QStringLiteral("#!/bin/sh\nprintf '%s %s\\n' \"$#\" \"$*\" >> '%1'\n").arg(opened));

        mensurel::qt::Window form;
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
    mensurel::qt::Application application(argc, argv);
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_test.moc"
