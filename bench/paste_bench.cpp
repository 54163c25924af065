// Time for a long paste into a field, through the window's real event path:
// Ctrl+V with the text on the clipboard, until the three other fields hold
// their new texts, then until the window has painted the result; then the
// processor time the idle window takes while that field keeps the focus.
//   QT_QPA_PLATFORM=offscreen build/bench/paste_bench [megabytes...]
#include <mensurel/qt/window.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>

#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atof(argv[i]));
    if (sizes.empty()) sizes = { 0.04, 1, 10 };

    mensurel::qt::Window window;
    window.form().Form_Load();
    window.show();
    window.activateWindow(); // the caret blinks only in the active window
    QApplication::processEvents();
    for (const double megabytes : sizes) {
        // "1", blanks, "5": reads 15 whatever the length.
        const auto length = static_cast<qsizetype>(megabytes * 1e6);
        QString text(std::max<qsizetype>(length, 2), QLatin1Char(' '));
        text.front() = QLatin1Char('1');
        text.back() = QLatin1Char('5');
        QGuiApplication::clipboard()->setText(text);
        window.findChild<QLineEdit*>(QStringLiteral("mm"))->setFocus();
        window.findChild<QLineEdit*>(QStringLiteral("mm"))->selectAll();

        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
        QApplication::sendEvent(window.findChild<QLineEdit*>(QStringLiteral("mm")), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(window.findChild<QLineEdit*>(QStringLiteral("mm")), &release);
        const double converted = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        window.repaint();
        QApplication::processEvents();
        const double painted = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const bool whole
            = window.findChild<QLineEdit*>(QStringLiteral("mm"))->text().size() == text.size()
            && window.findChild<QLineEdit*>(QStringLiteral("mils"))->text()
                == QStringLiteral("590.5512");
        std::printf("paste of %lld characters: converted after %.1f ms, painted after %.1f ms%s\n",
            static_cast<long long>(text.size()), converted, painted, whole ? "" : " (NOT WHOLE)");
        if (!whole) return 1;

        const std::clock_t idleStart = std::clock();
        QEventLoop idle;
        QTimer::singleShot(3000, &idle, &QEventLoop::quit);
        idle.exec();
        const double busy = static_cast<double>(std::clock() - idleStart) / CLOCKS_PER_SEC / 3;
        std::printf("  idle with the focus in that field: %.0f %% of a core\n", busy * 100);
    }
    return 0;
}
