// Feeds the socket SMTP client replies that never end and measures how long
// it takes to give up and how much memory it holds meanwhile. A server on
// 127.0.0.1 greets, takes HELO and then streams one of:
//
//   line       one reply line without end: "250 xxxxxxxx..."
//   multiline  one multi-line reply without end: "250-xxxx\r\n250-xxxx\r\n..."
//   garbage    one line that is no reply after another: "garbage\r\n..."
//
// until the client closes the connection or CAP MiB have gone out; then the
// server falls silent and the client's reply time-out (TIMEOUT seconds) is
// the last thing that can end the dialogue.
//
//   smtpreply_bench KIND [CAP [TIMEOUT]]    256 MiB and 5 s by default
//
// One kind per run, for the peak memory is the process's.

#include "PeakMemory.h"

#include "preferences/SendMailSettings.h"
#include "preferences/SmtpSocketClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// A blocking one-client server in a thread of its own.
class StreamingServer
{
public:
    StreamingServer(QByteArray chunk, qint64 cap)
        : m_chunk(std::move(chunk))
        , m_cap(cap)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        ::listen(m_listener, 1);
        m_thread = std::thread([this] { serve(); });
    }
    ~StreamingServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }

    quint16 port() const { return m_port; }
    qint64 sent() const { return m_sent; }

private:
    void serve()
    {
        const int client = ::accept(m_listener, nullptr, nullptr);
        const char greeting[] = "220 bench ready\r\n";
        ::send(client, greeting, sizeof greeting - 1, MSG_NOSIGNAL);
        char command[512];
        ::recv(client, command, sizeof command, 0);   // HELO
        while (!m_stop && m_sent < m_cap) {
            const ssize_t n = ::send(client, m_chunk.constData(), m_chunk.size(), MSG_NOSIGNAL);
            if (n <= 0)
                break;   // the client has closed
            m_sent += n;
        }
        while (!m_stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::close(client);
    }

    QByteArray m_chunk;
    qint64 m_cap;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::atomic_bool m_stop = false;
    std::thread m_thread;
};

QByteArray chunkOf(const char* kind)
{
    constexpr int kChunk = 64 * 1024;
    if (std::strcmp(kind, "line") == 0)
        return "250 " + QByteArray(kChunk - 4, 'x');
    const QByteArray line = std::strcmp(kind, "multiline") == 0 ? QByteArray("250-") + QByteArray(60, 'x') + "\r\n"
                                                                : QByteArray("garbage\r\n");
    return line.repeated(kChunk / line.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const char* scenario = argc > 1 ? argv[1] : "";
    if (std::strcmp(scenario, "line") != 0 && std::strcmp(scenario, "multiline") != 0
        && std::strcmp(scenario, "garbage") != 0) {
        std::fprintf(stderr, "usage: smtpreply_bench line|multiline|garbage [CAP_MIB [TIMEOUT_S]]\n");
        return 2;
    }
    const qint64 cap = (argc > 2 ? std::atoll(argv[2]) : 256) * 1024 * 1024;
    const int timeOut = argc > 3 ? std::atoi(argv[3]) : 5;
    std::printf("%-10s %12s %12s %14s\n", "reply", "ended ms", "served MiB", "peak RSS MiB");
    {
        StreamingServer server(chunkOf(scenario), cap);
        SendMailSettings settings;
        settings.senderAddress = QStringLiteral("sender@example.com");
        settings.Host = QStringLiteral("127.0.0.1");
        settings.Port = server.port();
        settings.TimeOut = timeOut;
        SmtpSocketClient client(settings);
        bool ended = false;
        QObject::connect(&client, &SmtpSocketClient::ended, [&ended] { ended = true; });
        QElapsedTimer clock;
        clock.start();
        client.SendMail(QStringLiteral("reader@example.com"), QStringLiteral("Hi"), QStringLiteral("Hello"), QString(),
                        QString());
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        std::printf("%-10s %12lld %12.1f %14.1f\n", scenario, static_cast<long long>(clock.elapsed()),
                    server.sent() / 1048576.0, peakRssKiB() / 1024.0);
        std::fflush(stdout);
    }
    return 0;
}
