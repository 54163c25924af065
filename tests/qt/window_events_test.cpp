// The window's events: typing and editing convert, the notice line takes the
// year at load, and the picture button swaps its faces under the pointer.
#include <mensurel/qt/application.h>
#include <mensurel/qt/window.h>
#include <mensurel/ui/design.h>

#include "controls.h"

#include <QAccessible>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QTest>

#include <functional>
#include <memory>
#include <string_view>

class WindowEventsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<mensurel::qt::Window> form_;

    QLineEdit* field(const QString& name) const { return ::field(*form_, qPrintable(name)); }
    QWidget* warning() const { return control(*form_, "warning"); }

    // inchs, mils, mm, ums
    QStringList texts() const
    {
        return { field("inchs")->text(), field("mils")->text(), field("mm")->text(),
            field("ums")->text() };
    }

    QString warningText() const
    {
        const auto* label = qobject_cast<const QLabel*>(warning());
        return label != nullptr ? label->text() : QString();
    }

private slots:
    void init()
    {
        form_ = std::make_unique<mensurel::qt::Window>();
        // No browser: a test that clicks sets its own handler.
        form_->setLaunchHandler([](std::string_view, const std::function<void()>&) { });
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        // Off every window, so that the first move of a test is a move.
        QCursor::setPos(form_->screen()->geometry().bottomRight());
    }
    void cleanup()
    {
        form_.reset();
        mensurel::qt::setDateSource({});
    }

    // Keys typed into each field reach that field's procedure: the field
    // keeps what was typed and the three others are rewritten (the values
    // are the conversion's own business).
    void typingConverts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::newRow("mm") << "mm" << "1.50";
        QTest::newRow("inchs") << "inchs" << "1";
        QTest::newRow("mils") << "mils" << "-2";
        QTest::newRow("ums") << "ums" << "3";
    }
    void typingConverts()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        const QStringList before = texts();
        field(name)->setFocus();
        field(name)->clear();
        QTest::keyClicks(field(name), typed);
        const QStringList after = texts();
        const qsizetype typedAt = QStringList { "inchs", "mils", "mm", "ums" }.indexOf(name);
        for (qsizetype i = 0; i < after.size(); ++i) {
            if (i == typedAt)
                QCOMPARE(after[i], typed);
            else
                QVERIFY2(after[i] != before[i], qPrintable(after.join(' ')));
        }
    }

    void keyReleaseConverts_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("autoRepeat");
        QTest::newRow("Left arrow") << int(Qt::Key_Left) << false;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << false;
        QTest::newRow("Control") << int(Qt::Key_Control) << false;
        QTest::newRow("held Right arrow: not before its real release")
            << int(Qt::Key_Right) << true;
    }
    void keyReleaseConverts()
    {
        QFETCH(int, key);
        QFETCH(bool, autoRepeat);
        {
            const QSignalBlocker quiet(field("mm")); // a text the release must pick up
            field("mm")->setText(QStringLiteral("2"));
        }
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(field("mm"), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(field("mm"), &release);
        QCOMPARE(field("mils")->text() != QStringLiteral("1.0000"), !autoRepeat);
    }

    // Tab moves the focus at its press, so its release lands in the next
    // field; converting there would overwrite the value just typed with one
    // computed back from a rounded result (0.00001 in is 0.254 um, which
    // reads back as 0.0000 in).
    void tabReleaseInNextFieldConvertsNothing()
    {
        field("inchs")->setFocus();
        field("inchs")->clear();
        QTest::keyClicks(field("inchs"), QStringLiteral("0.00001"));
        QCOMPARE(field("ums")->text(), QStringLiteral("0.254"));
        QTest::keyPress(field("inchs"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), field("ums"));
        QTest::keyRelease(field("ums"), Qt::Key_Tab);
        QCOMPARE(field("inchs")->text(), QStringLiteral("0.00001"));
        // A key pressed and released in the field still converts from it.
        QTest::keyClick(field("ums"), Qt::Key_Right);
        QCOMPARE(field("inchs")->text(), QStringLiteral("0.0000"));
    }

    void backspaceToEmptyGivesZero()
    {
        field("mm")->clear();
        QTest::keyClicks(field("mm"), QStringLiteral("2"));
        QTest::keyClick(field("mm"), Qt::Key_Backspace);
        QCOMPARE(texts(), (QStringList { "0.0000", "0.0000", "", "0.0000" }));
    }

    // Edits through the field's own context menu, and a write by the program.
    void editsConvert_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("actions"); // context-menu entries, or "a11y" edits
        QTest::addColumn<QString>("mm");
        QTest::addColumn<QString>("mils");
        QTest::newRow("paste 2 into an empty field") << "" << QStringList { "Paste" } << "2"
                                                     << "78.7402";
        QTest::newRow("cut all") << "2" << QStringList { "Select All", "Cut" } << ""
                                 << "0.0000";
        QTest::newRow("delete all") << "2" << QStringList { "Select All", "Delete" } << ""
                                    << "0.0000";
        QTest::newRow("undo a paste") << "" << QStringList { "Paste", "Undo" } << ""
                                      << "0.0000";
        QTest::newRow("an assistive tool sets the text, then inserts")
            << "" << QStringList { "a11y replace 2", "a11y insert 0" } << "20"
            << "787.4016";
    }
    void editsConvert()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, actions);
        QFETCH(QString, mm);
        QFETCH(QString, mils);
        QGuiApplication::clipboard()->setText(QStringLiteral("2"));
        field("mm")->setText(start);
        for (const QString& name : actions) {
            if (name.startsWith("a11y")) { // as a screen reader's bridge edits
                QAccessibleEditableTextInterface* text
                    = QAccessible::queryAccessibleInterface(field("mm"))->editableTextInterface();
                QVERIFY(text != nullptr);
                const QString insert = name.section(' ', 2);
                if (name.section(' ', 1, 1) == "replace")
                    text->replaceText(0, int(field("mm")->text().size()), insert);
                else
                    text->insertText(int(field("mm")->text().size()), insert);
                continue;
            }
            const std::unique_ptr<QMenu> menu(field("mm")->createStandardContextMenu());
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) { // "Cu&t\tCtrl+X" is "Cut"
                if (action->text().remove('&').section('\t', 0, 0) == name) chosen = action;
            }
            QVERIFY2(chosen != nullptr && chosen->isEnabled(), qPrintable(name));
            chosen->trigger();
        }
        QCOMPARE(field("mm")->text(), mm);
        QCOMPARE(field("mils")->text(), mils);
    }

    void outOfRange_data()
    {
        QTest::addColumn<QString>("first"); // converts
        QTest::addColumn<QString>("then"); // takes the number out of range
        QTest::newRow("1e400, beyond binary64 (1e40 already beyond the fixed point)") << "1e4"
                                                                                      << "00";
        QTest::newRow("99999999999, beyond the fixed point") << "9999999999"
                                                             << "9";
    }
    void outOfRange()
    {
        QFETCH(QString, first);
        QFETCH(QString, then);
        QLineEdit* inchs = field("inchs");
        inchs->setFocus();
        inchs->clear();
        QTest::keyClicks(inchs, first);
        QStringList expected = texts();
        QTest::keyClicks(inchs, then);
        expected[0] = first + then;
        QCOMPARE(texts(), expected);
        const QString notice = QString::fromUtf8(mensurel::ui::texts::kOutOfRange.data(),
            qsizetype(mensurel::ui::texts::kOutOfRange.size()));
        QVERIFY(notice.contains(QStringLiteral("超出范围")));
        QVERIFY(warning()->isVisible());
        QCOMPARE(warningText(), notice);
        QCOMPARE(inchs->accessibleDescription(), notice);

        // Escape hides it; its release does not bring it back.
        QTest::keyClick(inchs, Qt::Key_Escape);
        QVERIFY(!warning()->isVisible());
        QCOMPARE(inchs->text(), first + then);

        // The next key converts again and takes the notice away.
        inchs->selectAll();
        QTest::keyClicks(inchs, QStringLiteral("1"));
        QCOMPARE(texts(), (QStringList { "1", "1000.0000", "25.4", "25399.9863" }));
        QVERIFY(inchs->accessibleDescription().isEmpty());
        QVERIFY(!warning()->isVisible());
    }

    // The notice stands next to its field and wholly on the screen, at every
    // scale (the scale comes from QT_SCALE_FACTOR).
    void noticeOnScreen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("ums, at the right") << "ums";
        QTest::newRow("mils, at the left") << "mils";
        QTest::newRow("inchs, lower row") << "inchs";
    }
    void noticeOnScreen()
    {
        QFETCH(QString, name);
        QLineEdit* at = field(name);
        at->setFocus();
        at->clear();
        QTest::keyClicks(at, QStringLiteral("1e400"));
        QVERIFY(warning()->isVisible());
        const QRect notice = warning()->frameGeometry();
        const QRect available = at->screen()->availableGeometry();
        QVERIFY2(available.contains(notice),
            qPrintable(QStringLiteral("notice %1,%2 %3x%4 on %5x%6")
                    .arg(notice.x())
                    .arg(notice.y())
                    .arg(notice.width())
                    .arg(notice.height())
                    .arg(available.width())
                    .arg(available.height())));
        // Beside the field: touching it from below or from above.
        const QRect fieldOnScreen(at->mapToGlobal(QPoint(0, 0)), at->size());
        if (notice.height() + fieldOnScreen.height() < available.height())
            QVERIFY(notice.top() == fieldOnScreen.bottom() + 1
                || notice.bottom() + 1 == fieldOnScreen.top());
    }

    // A paste longer than Qt's default limit of 32,767 characters is kept
    // whole and converted whole: "1", 40,000 blanks, "5" reads 15 mm.
    void longPasteConvertsWhole()
    {
        const QString text
            = QStringLiteral("1") + QString(40000, QLatin1Char(' ')) + QStringLiteral("5");
        QGuiApplication::clipboard()->setText(text);
        QLineEdit* mm = field("mm");
        mm->setFocus();
        mm->selectAll();
        QTest::keyClick(mm, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(mm->text().size(), qsizetype(40002));
        QCOMPARE(field("mils")->text(), QStringLiteral("590.5512"));
    }

    // A blinking caret repaints, and lays out, the whole text: past 100,000
    // characters it stays on while that field has the focus.
    void longTextHoldsTheCaretSteady()
    {
        QStyleHints* hints = QGuiApplication::styleHints();
        const int blink = hints->cursorFlashTime();
        QVERIFY(blink > 0);
        field("mm")->setFocus();
        field("mm")->setText(QString(100000, QLatin1Char('1')));
        QCOMPARE(hints->cursorFlashTime(), blink);
        field("mm")->insert(QStringLiteral("2"));
        QCOMPARE(hints->cursorFlashTime(), 0);
        field("mils")->setFocus();
        QCOMPARE(hints->cursorFlashTime(), blink);
        field("mm")->setFocus();
        QCOMPARE(hints->cursorFlashTime(), 0);
        form_.reset();
        QCOMPARE(hints->cursorFlashTime(), blink);
    }

    // Return and Enter on a focused face click it once; in a field they are
    // key releases like any other.
    void returnClicksAFocusedFace_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("key");
        QTest::newRow("Command2, Return") << "Command2" << int(Qt::Key_Return);
        QTest::newRow("Command2, keypad Enter") << "Command2" << int(Qt::Key_Enter);
        QTest::newRow("Command1, Return") << "Command1" << int(Qt::Key_Return);
        QTest::newRow("Command1, Space") << "Command1" << int(Qt::Key_Space);
    }
    void returnClicksAFocusedFace()
    {
        QFETCH(QString, face);
        QFETCH(int, key);
        QStringList opened;
        form_->setLaunchHandler([&](std::string_view address, const std::function<void()>&) {
            opened << QString::fromUtf8(address.data(), qsizetype(address.size()));
        });
        if (face == "Command1") QTest::mouseMove(form_.get(), QPoint(4, 4));
        auto* button = form_->findChild<QPushButton*>(face);
        QVERIFY(button->isVisible());
        button->setFocus();
        const QStringList before = texts();
        QTest::keyClick(button, Qt::Key(key));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(texts(), before);

        opened.clear();
        field("mm")->setFocus();
        field("mm")->setText(QStringLiteral("2"));
        QTest::keyClick(field("mm"), Qt::Key(key == Qt::Key_Space ? Qt::Key_Return : key));
        QVERIFY(opened.isEmpty());
        QCOMPARE(field("mils")->text(), QStringLiteral("78.7402"));
    }

    // The hover swap hides the face that holds the focus: the focus passes
    // to the face shown, and a Space then launches and changes no field.
    void focusStaysOnTheButtonAcrossTheSwap()
    {
        int launches = 0;
        form_->setLaunchHandler(
            [&](std::string_view, const std::function<void()>&) { ++launches; });
        QTest::mouseMove(form_.get(), QPoint(4, 4)); // normal: Command1 shown
        field("mils")->setFocus();
        QTest::keyClick(field("mils"), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), button(*form_, "Command1"));
        QTest::mouseMove(button(*form_, "Command1"), QPoint(20, 20)); // hover: Command2 shown
        QVERIFY(
            button(*form_, "Command2")->isVisible() && !button(*form_, "Command1")->isVisible());
        QCOMPARE(QApplication::focusWidget(), button(*form_, "Command2"));
        const QStringList before = texts();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(launches, 1);
        QCOMPARE(texts(), before);
        QTest::mouseMove(form_.get(), QPoint(4, 4)); // and back
        QCOMPARE(QApplication::focusWidget(), button(*form_, "Command1"));
    }

    void noticeLine_data()
    {
        QTest::addColumn<QDate>("today"); // invalid: the system clock
        QTest::newRow("New Year's Eve") << QDate(2026, 12, 31);
        QTest::newRow("year 9999, the widest") << QDate(9999, 6, 30);
        QTest::newRow("system clock") << QDate();
    }
    void noticeLine()
    {
        QFETCH(QDate, today);
        int reads = 0;
        if (today.isValid()) {
            mensurel::qt::setDateSource([&] {
                ++reads;
                return today;
            });
        }
        form_->form().Form_Load();
        const int year = today.isValid() ? today.year() : QDate::currentDate().year();
        const QString expected = QStringLiteral("Brantovel 版权所有 (C) 2003 - %1").arg(year);
        QLabel* label = control<QLabel>(*form_, "Label1");
        QCOMPARE(label->text(), expected);
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(expected) <= label->width());
        if (!today.isValid()) return;
        QCOMPARE(reads, 1);

        // A day later, after typing and pointer movement, the year read at
        // load stays.
        mensurel::qt::setDateSource([&] { return today.addDays(1); });
        QTest::keyClicks(field("mm"), QStringLiteral("2"));
        QTest::mouseMove(form_.get(), QPoint(4, 4));
        QCOMPARE(label->text(), expected);
    }

    void hover_data()
    {
        // Places the pointer moves to in turn; "press" and "release" use the
        // left button where the pointer is.
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("command1Visible");
        QTest::addColumn<bool>("command2Visible");
        const bool shown = true;
        const bool hidden = false;
        QTest::newRow("start: both shown") << QStringList() << shown << shown;
        QTest::newRow("start, surface: normal") << QStringList { "surface" } << shown << hidden;
        QTest::newRow("start, within Command2: nothing")
            << QStringList { "button", "button2" } << shown << shown;
        QTest::newRow("start, over labels and a field: nothing")
            << QStringList { "Label1", "unit label", "field" } << shown << shown;
        QTest::newRow("normal, onto Command1: hover")
            << QStringList { "surface", "button" } << hidden << shown;
        QTest::newRow("hover, within Command2: hover")
            << QStringList { "surface", "button", "button2" } << hidden << shown;
        QTest::newRow("hover, onto a label: hover")
            << QStringList { "surface", "button", "Label1" } << hidden << shown;
        QTest::newRow("hover, onto a field: hover")
            << QStringList { "surface", "button", "field" } << hidden << shown;
        QTest::newRow("hover, dragging within a label: hover")
            << QStringList { "surface", "button", "Label1", "press", "Label1 left", "release" }
            << hidden << shown;
        QTest::newRow("hover, out of the window: hover")
            << QStringList { "surface", "button", "outside" } << hidden << shown;
        QTest::newRow("hover, onto a label lying on Shape2's line: hover")
            << QStringList { "surface", "button", "label on Shape2" } << hidden << shown;
        QTest::newRow("hover, onto Shape1's line: normal")
            << QStringList { "surface", "button", "Shape1" } << shown << hidden;
        QTest::newRow("hover, onto Shape2's line: normal")
            << QStringList { "surface", "button", "Shape2" } << shown << hidden;
        QTest::newRow("hover, surface inside the frames: normal")
            << QStringList { "surface", "button", "inside" } << shown << hidden;
        QTest::newRow("normal, surface again: normal")
            << QStringList { "surface", "inside" } << shown << hidden;
        QTest::newRow("hover, normal, hover again")
            << QStringList { "surface", "button", "inside", "button2" } << hidden << shown;
    }
    void hover()
    {
        QFETCH(QStringList, path);
        QFETCH(bool, command1Visible);
        QFETCH(bool, command2Visible);
        // Window coordinates; the frames and the notice line as in the layout
        // tests, Command1 and Command2 on (59, 104, 183, 49).
        const QHash<QString, QPoint> places {
            { "surface", { 4, 4 } },
            { "inside", { 150, 50 } },
            { "Shape1", { 7, 8 } },
            { "Shape2", { 14, 15 } },
            { "button", { 150, 128 } },
            { "button2", { 100, 120 } },
            { "Label1", { 150, 168 } },
            { "Label1 left", { 100, 168 } },
            { "unit label", { 135, 35 } },
            { "label on Shape2", { 288, 37 } },
            { "field", { 200, 34 } },
            { "outside", { -30, -30 } },
        };
        QPoint at;
        for (const QString& step : path) {
            if (step != "press" && step != "release") {
                QVERIFY2(places.contains(step), qPrintable(step));
                at = places[step];
            }
            // Events with a button held go to the control under the pointer;
            // the move propagates from there as a real one would.
            QWidget* target = form_->childAt(at) != nullptr ? form_->childAt(at) : form_.get();
            const QPoint local = target->mapFrom(form_.get(), at);
            if (step == "press")
                QTest::mousePress(target, Qt::LeftButton, {}, local);
            else if (step == "release")
                QTest::mouseRelease(target, Qt::LeftButton, {}, local);
            else
                QTest::mouseMove(target, local);
        }
        QCOMPARE(button(*form_, "Command1")->isVisible(), command1Visible);
        QCOMPARE(button(*form_, "Command2")->isVisible(), command2Visible);
    }
};

int main(int argc, char* argv[])
{
    mensurel::qt::Application application(argc, argv);
    WindowEventsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_events_test.moc"
