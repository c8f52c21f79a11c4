#include "generator/BackgroundSync.h"

#include <fcntl.h>
#include <unistd.h>

namespace generator {

namespace {

// Pieces large enough that the disk writes them at full speed, small
// enough that little is left to sync once the file is done.
constexpr qint64 kPieceBytes = 16 * 1024 * 1024;

} // namespace

BackgroundSync::BackgroundSync(int fd)
    : m_fd(fd)
    , m_thread([this] { run(); })
{
}

BackgroundSync::~BackgroundSync()
{
    finish();
    m_thread.join();
}

void BackgroundSync::written(qint64 end)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_written = end;
    }
    m_changed.notify_one();
}

void BackgroundSync::finish()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_one();
}

void BackgroundSync::run()
{
    qint64 synced = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_finished || m_written - synced >= kPieceBytes; });
        if (m_finished)
            break;
        const qint64 end = m_written;
        lock.unlock();
#ifdef __linux__
        // Waits for this piece only; the writing goes on meanwhile.
        ::sync_file_range(m_fd, synced, end - synced,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
#endif
        synced = end;
        lock.lock();
    }
    lock.unlock();
    // Errors are the final sync's to find: it comes before the file is used.
    ::fdatasync(m_fd);
}

} // namespace generator
