#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

// A named pipe made by the test, with a watchdog on its other end: as soon
// as anything opens the pipe for reading - and would wait there for a
// writer, for good - the watchdog opens it for writing and closes it again,
// so the reader reads an empty file and goes on, and the test learns that
// the pipe was opened instead of hanging.
class NamedPipe
{
public:
    explicit NamedPipe(const QString& path)
        : m_name(QFile::encodeName(path))
    {
        m_made = ::mkfifo(m_name.constData(), 0600) == 0;
        if (m_made)
            m_watchdog = std::thread([this] { watch(); });
    }
    ~NamedPipe()
    {
        m_stop = true;
        if (m_watchdog.joinable())
            m_watchdog.join();
    }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool isMade() const { return m_made; }
    // Something opened the pipe for reading.
    bool wasOpened() const { return m_opened; }

private:
    void watch()
    {
        while (!m_stop) {
            // Without a reader, a writer that does not wait is refused.
            const int fd = ::open(m_name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    QByteArray m_name;
    bool m_made = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_watchdog;
};
