#include "XServer.h"

#include <QByteArray>
#include <QStandardPaths>

#include <csignal>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t g_server = -1;
bool g_installed = false;
QString g_reason = QStringLiteral("no X server was started: call XServer::startForThisProcess() from initMain()");

void stopServer()
{
    if (g_server <= 0)
        return;
    ::kill(g_server, SIGTERM);
    ::waitpid(g_server, nullptr, 0);
    g_server = -1;
}

// Reads the display number Xvfb writes to the pipe once it accepts clients.
QByteArray readDisplayNumber(int fd)
{
    QByteArray number;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 15000) <= 0)
            return QByteArray();
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n <= 0)
            return QByteArray();
        if (c == '\n')
            return number;
        number.append(c);
    }
}

} // namespace

namespace XServer {

void startForThisProcess(const QSize& screen)
{
    if (g_server > 0)
        return;
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    g_installed = !xvfb.isEmpty();
    if (!g_installed) {
        g_reason = QStringLiteral("Xvfb is not installed (apt-get install xvfb): this test needs a real X server");
        return;
    }

    int fds[2];
    if (::pipe(fds) != 0) {
        g_reason = QStringLiteral("cannot start Xvfb: no pipe");
        return;
    }
    const std::string program = xvfb.toStdString();
    const std::string fd = std::to_string(fds[1]);
    const std::string geometry = std::to_string(screen.width()) + 'x' + std::to_string(screen.height()) + "x24";
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The server must not outlive a test program that crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
        ::close(fds[0]);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                geometry.c_str(), "-dpi", "96", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        g_reason = QStringLiteral("cannot start Xvfb: fork failed");
        return;
    }
    g_server = pid;
    const QByteArray number = readDisplayNumber(fds[0]);
    ::close(fds[0]);
    if (number.isEmpty()) {
        stopServer();
        g_reason = QStringLiteral("Xvfb (%1) did not start within 15 s").arg(xvfb);
        return;
    }
    std::atexit(stopServer);
    qputenv("DISPLAY", ":" + number);
    qputenv("QT_QPA_PLATFORM", "xcb");
    g_reason.clear();
}

bool running() { return g_server > 0; }

bool installed() { return g_installed; }

QString whyNotRunning() { return g_reason; }

} // namespace XServer
