// What only the Linux desktop has, beside the window scenarios both desktops
// run: xdg-open started for real (a fake one on a private PATH), the X
// selection's middle-click paste, edits through the accessibility bridge,
// the caret of a very long text, the Chinese glyphs of the chosen fonts, the
// faces' "@2x" pictures, and closing the program's window.
#include "controls.h"
#include "x11_window.h"

#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>
#include <mensurel/ui/design.h>

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QClipboard>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleHints>
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
    QTemporaryDir config_; // XDG_CONFIG_HOME, where the window keeps its place
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
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        // No browser but the ones these tests put on PATH.
        qputenv("PATH", QFile::encodeName(bin_.path()));
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
    }

    // A key released as another character (Shift let go first turns "3"
    // into "#"), then a middle-click paste of the X selection ("2") at the
    // end of the field: the field typed in keeps its text and the three
    // others follow from it. Words of xdotool.
    void selectionPasteKeepsTheFieldsAgreeing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected"); // inchs, mils, mm, ums
        QTest::newRow("3 released as # under Shift, then a middle-click paste")
            << "mm" << "keydown 3 keydown shift keyup 3 keyup shift @paste"
            << QStringList { "1.2598", "1259.8425", "32", "32000.0000" };
    }
    void selectionPasteKeepsTheFieldsAgreeing()
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
    // hangs or works: the first two are reported once, none freezes the
    // window, and xdg-open is given the address alone.
    void launchOutcome_data()
    {
        QTest::addColumn<QString>("launcher"); // the fake xdg-open; empty: none
        QTest::addColumn<bool>("reported");
        QTest::newRow("no xdg-open on PATH") << QString() << true;
        QTest::newRow("xdg-open exits 3") << "#!/bin/sh\nexit 3\n" << true;
        QTest::newRow("xdg-open hangs") << "#!/bin/sh\nexec /bin/sleep 60\n" << false;
        QTest::newRow("xdg-open works")
            << "#!/bin/sh\nprintf '%s %s\\n' \"$#\" \"$*\" >> \"$0.log\"\n"
            << false;
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
        if (launcher.contains(".log")) // one argument: the address
            QCOMPARE(
                linesOf(bin_.filePath("xdg-open.log")), QStringList { "1 " MENSUREL_SITE_URL });
    }

    // An assistive tool edits a field through the accessibility bridge, as
    // a screen reader does: sets the text, then inserts; each converts.
    void assistiveEditsConvert()
    {
        mensurel::qt::Window form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QLineEdit* mm = field(form, "mm");
        QAccessibleEditableTextInterface* text
            = QAccessible::queryAccessibleInterface(mm)->editableTextInterface();
        QVERIFY(text != nullptr);
        text->replaceText(0, int(mm->text().size()), QStringLiteral("2"));
        text->insertText(int(mm->text().size()), QStringLiteral("0"));
        QCOMPARE(mm->text(), QStringLiteral("20"));
        QCOMPARE(field(form, "mils")->text(), QStringLiteral("787.4016"));
    }

    // A blinking caret repaints, and lays out, the whole text of a line
    // edit: past 100,000 characters it stays on while that field has the
    // focus.
    void longTextHoldsTheCaretSteady()
    {
        QStyleHints* hints = QGuiApplication::styleHints();
        const int blink = hints->cursorFlashTime();
        QVERIFY(blink > 0);
        {
            mensurel::qt::Window form;
            form.show();
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QLineEdit* mm = field(form, "mm");
            mm->setFocus();
            mm->setText(QString(100000, QLatin1Char('1')));
            QCOMPARE(hints->cursorFlashTime(), blink);
            mm->insert(QStringLiteral("2"));
            QCOMPARE(hints->cursorFlashTime(), 0);
            field(form, "mils")->setFocus();
            QCOMPARE(hints->cursorFlashTime(), blink);
            mm->setFocus();
            QCOMPARE(hints->cursorFlashTime(), 0);
        }
        QCOMPARE(hints->cursorFlashTime(), blink);
    }

    // The fonts fontconfig picked from the design's lists carry every
    // Chinese character the window shows.
    void fontsCarryTheChineseTexts()
    {
        mensurel::qt::Window form;
        QString chinese = QString::fromUtf8(mensurel::ui::texts::kOutOfRange.data(),
            qsizetype(mensurel::ui::texts::kOutOfRange.size()));
        for (QWidget* widget : form.findChildren<QWidget*>()) chinese += widget->toolTip();
        chinese += static_cast<QLabel*>(control(form, "Label1"))->text();
        for (const QChar ch : chinese)
            QVERIFY2(QFontMetrics(form.font()).inFont(ch), qPrintable(QString(ch)));
    }

    // Each face is its picture, and at twice the scale (run again with
    // QT_SCALE_FACTOR=2) the "@2x" picture, not the small one scaled up.
    void facesShowTheirPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");
        QTest::newRow("Command1") << "Command1" << ":/pictures/command1";
        QTest::newRow("Command2") << "Command2" << ":/pictures/command2";
    }
    void facesShowTheirPictures()
    {
        QFETCH(QString, name);
        QFETCH(QString, picture);
        mensurel::qt::Window form;
        const qreal scale = form.devicePixelRatio();
        QPushButton* face = button(form, qPrintable(name));
        QVERIFY(face->text().isEmpty() && !face->isFlat());
        QCOMPARE(face->iconSize(), QSize(175, 40));
        const QPixmap shown = face->icon().pixmap(face->iconSize(), scale);
        QCOMPARE(shown.size(), QSize(175, 40) * scale);
        // Transparent pixels compare equal whatever colour they hold.
        const auto premultiplied = [](const QImage& image) {
            return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        QCOMPARE(premultiplied(shown.toImage()),
            premultiplied(QImage(picture + (scale > 1.0 ? "@2x.gif" : ".gif"))));
    }

    // Closed somewhere else, the window opens there again; a stored place
    // that is not a place, or no longer on the screen, is passed over and
    // the window opens at its first placement (the design position on this
    // 1280 x 1024 screen).
    void reopensWhereItWasLeft_data()
    {
        QTest::addColumn<QByteArray>(
            "stored"); // the settings file's line; empty: as the window left it
        QTest::addColumn<QPoint>("opensAt");
        QTest::newRow("moved, closed, opened again") << QByteArray() << QPoint(200, 150);
        QTest::newRow("not a place") << QByteArray("place=abc") << QPoint(466, 414);
        QTest::newRow("half written") << QByteArray("place=200 150 0 0 12") << QPoint(466, 414);
        QTest::newRow("on a screen since gone")
            << QByteArray("place=200 150 1280 0 1280 1024 96") << QPoint(466, 414);
    }
    void reopensWhereItWasLeft()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QPoint, opensAt);
        const QString file = config_.filePath("Mensurel/Mensurel.ini");
        QFile::remove(file);
        {
            mensurel::qt::Window form;
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.setGeometry(QRect(QPoint(200, 150), form.size()));
            QTRY_COMPARE(form.geometry().topLeft(), QPoint(200, 150));
            QVERIFY(form.close());
        }
        QCOMPARE(linesOf(file).last(), QStringLiteral("place=200 150 0 0 1280 1024 96"));
        if (!stored.isEmpty()) {
            QFile settings(file);
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write("[window]\n" + stored + "\n");
        }
        mensurel::qt::Window form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.geometry().topLeft(), opensAt);
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
