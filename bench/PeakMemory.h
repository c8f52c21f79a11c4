#pragma once

#include <QByteArray>
#include <QFile>

// The process's peak resident set size (VmHWM) in KiB, or -1 when unknown.
inline qint64 peakRssKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
