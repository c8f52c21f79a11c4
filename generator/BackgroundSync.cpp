#include "generator/BackgroundSync.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace generator {

namespace {

// Pieces large enough that the disk writes them at full speed, small
// enough that little is left to sync once the file is done.
constexpr qint64 kPieceBytes = 16 * 1024 * 1024;

// The error number of a failed sync call (result -1), 0 for success or for
// a descriptor that does not support syncing.
int syncError(int result)
{
    return result == 0 || errno == EINVAL || errno == ESPIPE ? 0 : errno;
}

} // namespace

BackgroundSync::BackgroundSync(int fd)
    : m_fd(fd)
    , m_thread([this] { run(); })
{
}

BackgroundSync::~BackgroundSync()
{
    wait();
}

int BackgroundSync::wait()
{
    finish();
    if (m_thread.joinable())
        m_thread.join();
    return m_error;
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
        // Waits for this piece only; the writing goes on meanwhile. A
        // write-back error found here is not found again by the final sync.
        const int error = syncError(::sync_file_range(
            m_fd, synced, end - synced, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER));
        if (!m_error)
            m_error = error;
#endif
        synced = end;
        lock.lock();
    }
    lock.unlock();
    // The file replaces an old one only after this sync: its error is the
    // file's (nothing else syncs it and reports a failure).
    const int error = syncError(::fdatasync(m_fd));
    if (!m_error)
        m_error = error;
}

} // namespace generator
