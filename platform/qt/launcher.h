// Opening a web address in the user's browser, with its outcome.
#pragma once

#include <QUrl>

#include <functional>

class QObject;

namespace mensurel::qt {

// Starts opening `address` and returns at once; calls `failed` later, from
// the event loop, when the launch turns out to have failed. On Linux the
// desktop's xdg-open is started directly (program and argument, no shell),
// so its exit status is known: a launcher that cannot start, or that exits
// with a failure within its first 30 s, counts as failed. After that it has
// handed the address over, and what the browser does later is not the
// launch's outcome. Elsewhere Qt's desktop services open the address, and
// only a refusal to start counts. `owner` keeps the running launcher; no
// launcher is ever waited for.
void launchWebAddress(const QUrl& address, QObject* owner, std::function<void()> failed);

// Ends the launchers `owner` still keeps without reporting anything; for an
// owner about to go. A launcher that still runs at that point has already
// started the browser, which goes on running.
void abandonLaunches(QObject* owner);

} // namespace mensurel::qt
