#pragma once

#include <QFile>
#include <QString>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

// A socket bound at a path, as a program listening there leaves it: what
// stands at the path is a socket for the tests of files that must be
// regular ones. The socket file stays when the object ends.
class BoundSocket
{
public:
    explicit BoundSocket(const QString& path)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        m_bound = m_fd >= 0 && size_t(name.size()) < sizeof(address.sun_path);
        if (m_bound) {
            std::copy(name.cbegin(), name.cend(), address.sun_path);
            m_bound = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
        }
    }
    ~BoundSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;

    bool isBound() const { return m_bound; }

private:
    int m_fd;
    bool m_bound = false;
};
