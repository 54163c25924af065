#include "launcher.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>

#include <memory>
#include <utility>

namespace mensurel::qt {

#if defined(Q_OS_LINUX)

namespace {

// Past this the launcher has handed the address to a browser that it now
// runs in the foreground; its exit status is then the browser's.
constexpr qint64 kHandOverMs = 30'000;

} // namespace

void launchWebAddress(const QUrl& address, QObject* owner, std::function<void()> failed)
{
    auto* process = new QProcess(owner);
    auto started = std::make_shared<QElapsedTimer>();
    auto report = std::make_shared<std::function<void()>>(std::move(failed));
    // Starting or running may fail; either way the user hears of it once.
    QObject::connect(process, &QProcess::errorOccurred, process,
        [process, report](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            if (*report) std::exchange(*report, nullptr)();
            process->deleteLater();
        });
    QObject::connect(process, &QProcess::finished, process,
        [process, started, report](int exitCode, QProcess::ExitStatus status) {
            const bool ok = status == QProcess::NormalExit && exitCode == 0;
            if (!ok && started->elapsed() < kHandOverMs && *report)
                std::exchange(*report, nullptr)();
            process->deleteLater();
        });
    // The launcher's own messages are of no use in a window.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({ address.toString(QUrl::FullyEncoded) });
    started->start();
    process->start(QIODevice::NotOpen);
}

#else

void launchWebAddress(const QUrl& address, QObject* /*owner*/, std::function<void()> failed)
{
    if (!QDesktopServices::openUrl(address) && failed) failed();
}

#endif

void abandonLaunches(QObject* owner)
{
    // Ending a launcher makes it report a crash; nobody is left to hear it.
    for (QProcess* process :
        owner->findChildren<QProcess*>(QString(), Qt::FindDirectChildrenOnly)) {
        process->disconnect();
        delete process;
    }
}

} // namespace mensurel::qt
