#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace generator {

// Puts a file that is being written on the disk in the background, a large
// piece at a time while the writing goes on and the rest once it has ended,
// so that the sync that must come before the file replaces an old one finds
// little left to do. The writing thread only says how far it has written.
//
// Threading: one thread of its own per file, which only syncs the file's
// descriptor; written(), finish() and wait() come from the one writing
// thread, and wait() and the destructor wait until the thread has ended.
// The descriptor must stay open until then.
class BackgroundSync
{
public:
    explicit BackgroundSync(int fd);
    ~BackgroundSync();

    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    // The file holds the bytes before end.
    void written(qint64 end);
    // Nothing more is written: the rest is synced, and the thread ends.
    void finish();
    // finish(), then waits until the thread has ended. Returns 0 when the
    // file is on the disk, else the error number of the first sync that
    // failed (a descriptor that cannot be synced at all counts as synced):
    // the bytes may then be lost.
    int wait();

private:
    void run();

    const int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_written = 0; // guarded by m_mutex
    bool m_finished = false; // guarded by m_mutex
    int m_error = 0; // the thread's until it has ended
    std::thread m_thread;
};

} // namespace generator
