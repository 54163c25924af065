// Time from a key release in a field until the three other fields hold
// their new texts, through the window's real event path.
//   QT_QPA_PLATFORM=offscreen build/bench/keyup_bench [rounds]
#include <mensurel/qt/window.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(100, std::atoi(argv[1])) : 5000;
    mensurel::qt::Window form;
    form.form().Form_Load();
    form.show();
    QApplication::processEvents();

    const std::array<QLineEdit*, 4> fields { form.findChild<QLineEdit*>(QStringLiteral("inchs")),
        form.findChild<QLineEdit*>(QStringLiteral("mils")),
        form.findChild<QLineEdit*>(QStringLiteral("mm")),
        form.findChild<QLineEdit*>(QStringLiteral("ums")) };
    const std::array<QString, 5> texts { "1", "25.4", "0.0005", "-12.7", "123456.789" };
    std::vector<qint64> nanos;
    nanos.reserve(static_cast<std::size_t>(rounds));
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        QLineEdit* field = fields[static_cast<std::size_t>(i) % fields.size()];
        field->setFocus();
        field->setText(texts[static_cast<std::size_t>(i) % texts.size()]);
        // Shift changes no text, so only the release converts.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        timer.start();
        QApplication::sendEvent(field, &release);
        nanos.push_back(timer.nsecsElapsed());
    }
    std::sort(nanos.begin(), nanos.end());
    const auto at = [&](double q) {
        return static_cast<double>(nanos[static_cast<std::size_t>(q * (nanos.size() - 1))])
            / 1000.0;
    };
    std::printf("key release to three fields written, %d rounds: median %.1f us, p90 %.1f us, "
                "p99 %.1f us\n",
        rounds, at(0.5), at(0.9), at(0.99));
    return 0;
}
