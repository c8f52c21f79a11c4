#include "platform/Delay.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

namespace platform {

void Delay(int seconds)
{
    if (seconds <= 0)
        return;
    QDeadlineTimer deadline(qint64(seconds) * 1000);
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(deadline.remainingTime()));
        return;
    }
    // A ticking timer wakes the event wait, so the loop sleeps between events
    // instead of spinning.
    QTimer tick;
    tick.start(20);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace platform
