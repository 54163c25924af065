// The application object: an exception escaping an event handler is
// reported to the user instead of ending the program, and Qt's own texts
// follow the desktop's language.
#include <mensurel/qt/application.h>

#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
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

class ApplicationTest : public QObject {
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

    // Run with LANG=zh_CN.UTF-8: the fields' context menu and the message
    // box's button read Chinese, beside the window's own Chinese texts.
    void qtTextsInTheDesktopsLanguage()
    {
        if (QLocale().name() != QStringLiteral("zh_CN")) QSKIP("needs LANG=zh_CN.UTF-8");
        QLineEdit field(QStringLiteral("2"));
        const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) entries << action->text().remove('&').section('\t', 0, 0);
        }
        // Qt's translators spell Undo either way.
        const QStringList expected { "撤销|撤消", "重做", "剪切", "复制", "粘贴", "删除", "全选" };
        for (const QString& alternatives : expected) {
            const QStringList spellings = alternatives.split('|');
            QVERIFY2(std::any_of(entries.begin(), entries.end(),
                         [&](const QString& entry) {
                             return std::any_of(spellings.begin(), spellings.end(),
                                 [&](const QString& s) { return entry.startsWith(s); });
                         }),
                qPrintable(entries.join(QStringLiteral(" / "))));
        }
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Mensurel"), QStringLiteral("x"),
            QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text().remove('&'), QStringLiteral("确定"));
    }
};

int main(int argc, char* argv[])
{
    mensurel::qt::Application application(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
