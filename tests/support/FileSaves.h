#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <QString>

// Counts, by file name, how often a file of one folder was saved whole: made
// by a link or replaced by a file moved onto it (the last step of an atomic
// save), from the moment the counter is made (Linux inotify). The folder
// must exist.
class FileSaves
{
public:
    explicit FileSaves(const QString& folder)
        : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        // The temporary files' events, each under a name of its own, keep two
        // saves of a file from merging into one event.
        if (m_fd >= 0)
            m_watch = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                                        IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO);
    }
    ~FileSaves()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileSaves(const FileSaves&) = delete;
    FileSaves& operator=(const FileSaves&) = delete;

    bool isActive() const { return m_watch >= 0; }

    // The saves of the file so far.
    int count(const QString& name)
    {
        collect();
        return m_counts.value(name);
    }

private:
    void collect()
    {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                return;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && (event->mask & (IN_CREATE | IN_MOVED_TO)))
                    ++m_counts[QFile::decodeName(event->name)];
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    int m_fd = -1;
    int m_watch = -1;
    QHash<QString, int> m_counts;
};
