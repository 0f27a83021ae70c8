#include "capture/capture_countdown.h"

#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

// The title is given back this long before the capture: the window manager has redrawn it by
// the time the screen is copied.
constexpr qint64 kRestoreAheadMs = 300;

} // namespace

CaptureCountdown::CaptureCountdown(QWidget &shownOn, std::function<bool()> running)
    : window(&shownOn), timerRunning(std::move(running))
{
    ticker.setSingleShot(true);
    connect(&ticker, &QTimer::timeout, this, &CaptureCountdown::tick);
}

CaptureCountdown::~CaptureCountdown()
{
    stop();
}

QString CaptureCountdown::title(int seconds)
{
    return QStringLiteral("Capture in %1 s").arg(seconds);
}

void CaptureCountdown::start(int milliseconds)
{
    if (!window)
        return;
    if (!active)
        normalTitle = window->windowTitle();
    active = true;
    deadline = QDeadlineTimer(milliseconds);
    tick();
}

void CaptureCountdown::stop()
{
    if (!active)
        return;
    active = false;
    ticker.stop();
    if (window)
        window->setWindowTitle(normalTitle);
}

void CaptureCountdown::tick()
{
    const qint64 left = deadline.remainingTime();
    if (!window || left <= kRestoreAheadMs || (timerRunning && !timerRunning())) {
        stop();
        return;
    }
    window->setWindowTitle(title(static_cast<int>((left + 999) / 1000)));
    // The next tick falls on the next whole second left, or on the moment to give the title
    // back.
    const qint64 toWholeSecond = (left - 1) % 1000 + 1;
    const qint64 toRestore = left - kRestoreAheadMs;
    ticker.start(static_cast<int>(std::min(toWholeSecond, toRestore)));
}
