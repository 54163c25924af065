// The window on a real X display with xdg-open started for real (a fake one
// on a private PATH): keys and clicks from the X server (xdotool) keep the
// fields agreeing however they overlap, both buttons open the maker's site
// on every click, a launch that fails is reported and the program goes on,
// and closing the window ends the program.
#include "controls.h"
#include "x11_window.h"

#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <utility>
#include <vector>

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
    QString xdotool_;

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
        xdotool_ = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        QVERIFY2(!xdotool_.isEmpty(), "xdotool (package xdotool) is needed");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
        // No browser but the ones these tests put on PATH.
        qputenv("PATH", QFile::encodeName(bin_.path()));
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
    }

    // Keys that overlap as in fast typing, and edits while a key is down:
    // the field typed in keeps its text and the three others follow from it
    // once the keys are up. Words of xdotool; "@mm" is a click into mm,
    // "@paste" a middle-click paste of "2" at the end of the field typed in.
    void realInputKeepsTheFieldsAgreeing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected"); // inchs, mils, mm, ums
        const QStringList mils7 { "0.007", "7", "0.1778", "177.7999" };
        QTest::newRow("7 rolled over Tab into the next field")
            << "mils" << "keydown 7 keydown Tab keyup 7 keyup Tab" << mils7;
        QTest::newRow("5 rolled over Shift+Tab out of ums")
            << "ums" << "keydown 5 keydown shift keydown Tab keyup 5 keyup Tab keyup shift"
            << QStringList { "0.0002", "0.1969", "0.005", "5" };
        QTest::newRow("click into mm while 7 is down")
            << "mils" << "keydown 7 @mm keyup 7" << mils7;
        QTest::newRow("3 released as # under Shift, then a middle-click paste")
            << "mm" << "keydown 3 keydown shift keyup 3 keyup shift @paste"
            << QStringList { "1.2598", "1259.8425", "32", "32000.0000" };
    }
    void realInputKeepsTheFieldsAgreeing()
    {
        QFETCH(QString, name);
        QFETCH(QString, input);
        QFETCH(QStringList, expected);
        mensurel::qt::Window form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QLineEdit* at = field(form, qPrintable(name));
        at->setFocus();
        at->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("2"), QClipboard::Selection);
        QStringList words;
        for (const QString& word : input.split(' ')) {
            if (!word.startsWith('@')) {
                words << word;
                continue;
            }
            const bool paste = word == "@paste";
            const QWidget* target = paste ? at : field(form, "mm");
            const QPoint point = target->mapToGlobal(
                paste ? QPoint(target->width() - 4, 8) : target->rect().center());
            words << "mousemove" << QString::number(point.x()) << QString::number(point.y())
                  << "click" << (paste ? "2" : "1");
        }
        QCOMPARE(QProcess::execute(xdotool_, words), 0);
        const auto texts = [&] {
            QStringList shown;
            for (const char* unit : { "inchs", "mils", "mm", "ums" })
                shown << field(form, unit)->text();
            return shown;
        };
        QTRY_COMPARE(texts(), expected);
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
        QTest::mouseClick(button(form, "Command2"), Qt::LeftButton);
        // The window answers at once, whatever the launcher does.
        field(form, "mm")->setFocus();
        field(form, "mm")->clear();
        QTest::keyClicks(field(form, "mm"), QStringLiteral("2"));
        QCOMPARE(field(form, "mils")->text(), QStringLiteral("78.7402"));
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
        QTest::mouseClick(button(form, "Command2"), Qt::LeftButton);
        QTest::keyClick(button(form, "Command2"), Qt::Key_Space);
        QTest::mouseMove(&form, QPoint(4, 4));
        QTRY_VERIFY(
            button(form, "Command1")->isVisible() && !button(form, "Command2")->isVisible());
        QTest::mouseClick(button(form, "Command1"), Qt::LeftButton);
        QTest::keyClick(button(form, "Command1"), Qt::Key_Space);

        // One argument each time: the address.
        const QString once = QStringLiteral("1 " MENSUREL_SITE_URL);
        QTRY_COMPARE(linesOf(opened), QStringList(4, once));
    }

    // A key held on the picture button, repeated by the X server while
    // busy processes load the machine (Qt's own guess at which presses are
    // repetitions fails most then): the site opens once, and a failed
    // launch is told in a box that stays until it is closed.
    void heldKeyOnTheButtonOpensOnce_data()
    {
        QTest::addColumn<QString>("key"); // xdotool's name
        QTest::addColumn<int>("launcherExit");
        QTest::newRow("Return") << "Return" << 0;
        QTest::newRow("keypad Enter") << "KP_Enter" << 0;
        QTest::newRow("Space") << "space" << 0;
        QTest::newRow("Return, the launch failing") << "Return" << 3;
    }
    void heldKeyOnTheButtonOpensOnce()
    {
        QFETCH(QString, key);
        QFETCH(int, launcherExit);
        const QString opened = bin_.filePath("held.txt");
        QFile::remove(opened);
        writeLauncher(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\nexit %2\n")
                .arg(opened)
                .arg(launcherExit));
        mensurel::qt::Window form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        button(form, "Command2")->setFocus();

        // Each box seen, and for how many ticks; the watcher closes it after
        // six (300 ms), unless something else closed it first.
        std::vector<std::pair<QMessageBox*, int>> boxes;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, &form, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            if (boxes.empty() || boxes.back().first != box) boxes.emplace_back(box, 0);
            if (++boxes.back().second == 6) box->accept();
        });
        watcher.start(50);
        // Each ends itself at its time limit.
        std::array<QProcess, 4> busy;
        for (QProcess& process : busy)
            process.start("/usr/bin/timeout", { "3", "/bin/sh", "-c", "while :; do :; done" });
        QProcess keys;
        keys.start(xdotool_, { "keydown", key, "sleep", "1.5", "keyup", key });
        QTRY_VERIFY_WITH_TIMEOUT(keys.state() == QProcess::NotRunning, 10000);
        for (QProcess& process : busy) process.waitForFinished(5000);
        QTest::qWait(launcherExit == 0 ? 500 : 1000);
        watcher.stop();
        QCOMPARE(linesOf(opened), QStringList { QStringLiteral(MENSUREL_SITE_URL) });
        QCOMPARE(boxes.size(), std::size_t { launcherExit == 0 ? 0U : 1U });
        if (!boxes.empty()) QCOMPARE(boxes[0].second, 6);
    }

    // Out of range while the window is minimised or another window is
    // active: an assistive tool sets the text, nothing pops up, the field
    // describes the warning.
    void warningWaitsForTheWindow_data()
    {
        QTest::addColumn<bool>("minimised"); // else: another window active
        QTest::newRow("minimised") << true;
        QTest::newRow("another window active") << false;
    }
    void warningWaitsForTheWindow()
    {
        QFETCH(bool, minimised);
        mensurel::qt::Window form;
        QWidget other;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        if (minimised) {
            form.showMinimized();
        } else {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        QLineEdit* inchs = field(form, "inchs");
        QAccessible::queryAccessibleInterface(inchs)->editableTextInterface()->replaceText(
            0, int(inchs->text().size()), QStringLiteral("9e99"));
        QTest::qWait(100);
        const QWidget* warning = control(form, "warning");
        QVERIFY(!warning->isVisible());
        QVERIFY(inchs->accessibleDescription().contains(QStringLiteral("超出范围")));
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
