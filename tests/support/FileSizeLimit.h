#pragma once

#include <sys/resource.h>

#include <csignal>

// While it lives, no file of this process may grow beyond `bytes`: a write
// past the limit fails (EFBIG) the way a full disk makes it fail, without a
// full disk. Only for single-threaded stretches of a test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return m_active; }

private:
    void (*m_oldHandler)(int);
    rlimit m_old{};
    bool m_active = false;
};
