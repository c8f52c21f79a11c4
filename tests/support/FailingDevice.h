#pragma once

#include <QByteArray>
#include <QIODevice>

// A write-only device that takes the first `capacity` bytes and then fails,
// as a full disk does: the write that crosses the limit stores what fits and
// reports that short count, every later write fails outright.
class FailingDevice final : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity)
        : m_capacity(capacity)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    const QByteArray& written() const { return m_written; }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = m_capacity - m_written.size();
        if (room < size)
            setErrorString(QStringLiteral("No space left on device"));
        if (room <= 0)
            return -1;
        const qint64 n = qMin(room, size);
        m_written.append(data, n);
        return n;
    }

private:
    qint64 m_capacity;
    QByteArray m_written;
};
