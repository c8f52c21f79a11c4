#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

// The longest time between two turns of the event loop while it runs:
// a precise 10 ms timer notes when it fires, and a gap is the time between
// two firings (or between start and the first, the last and stop). With
// PANEL_BENCH_TRACE set, every gap above 50 ms is printed as it ends.
struct StallMeter {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    qint64 worstEnd = 0;            // when the longest gap ended, ms after start
    QString worstWhere;             // what where() said when it ended
    std::function<QString()> where; // optional: what is going on (a status text)
    bool trace = qEnvironmentVariableIsSet("PANEL_BENCH_TRACE");

    StallMeter()
    {
        timer.setInterval(10);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { note(); });
    }

    void start()
    {
        clock.start();
        last = 0;
        worst = 0;
        worstEnd = 0;
        worstWhere.clear();
        timer.start();
    }

    void stop()
    {
        timer.stop();
        note();
    }

private:
    void note()
    {
        const qint64 now = clock.elapsed();
        if (trace && now - last > 50)
            std::printf("  stall %lld ms ending at %lld ms\n", static_cast<long long>(now - last),
                        static_cast<long long>(now));
        if (now - last > worst) {
            worst = now - last;
            worstEnd = now;
            worstWhere = where ? where() : QString();
        }
        last = now;
    }
};
