#pragma once

#include "platform/SmtpLogRedactor.h"
#include "platform/SmtpMessage.h"

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>

namespace platform {

// One SMTP send through libcurl. run() blocks in the calling (worker) thread
// until the send has ended; the signals are emitted from that thread, so
// receivers in other threads get them queued, in order. abort() may be
// called from any thread and ends the send at once.
class SmtpTransfer : public QObject
{
    Q_OBJECT

public:
    explicit SmtpTransfer(SmtpMessage message);

    void run();
    void abort();

    // Called by libcurl's callbacks.
    void onDebug(int type, const char* data, size_t size);
    // False ends the send: nothing was sent for the time-out.
    bool onProgress(qint64 sent);
    int openSocket(int family, int type, int protocol);
    int closeSocket(int socket);

signals:
    void connected();
    void authenticated();
    void commandSent(const QString& line);
    void replyReceived(const QString& line);
    void note(const QString& text);
    void progress(qint64 sent, qint64 total);
    // ok: the server accepted the message data. Otherwise code is the
    // server's refusing reply code (400-599) or libcurl's error number.
    void finished(bool ok, int code, const QString& description);

private:
    struct Outcome {
        bool ok = false;
        int code = 0;
        QString description;
    };
    Outcome perform();
    void onReplyLine(const QString& line);
    void shutDownSockets();

    const SmtpMessage m_message;
    std::atomic_bool m_aborted = false;
    // Guards the running multi handle and the open sockets, which abort()
    // shuts down so that no wait inside libcurl (even for the reply to QUIT)
    // outlasts it.
    QMutex m_lock;
    void* m_multi = nullptr;
    QList<int> m_sockets;
    SmtpLogRedactor m_redactor;
    bool m_greeted = false;
    QString m_lastRefusal;     // the last 4xx or 5xx reply line
    qint64 m_estimatedSize = 0;
    qint64 m_lastSent = -1;
    // The server answers every command within the time-out: a send with
    // nothing sent for that long waits for an overdue reply (or greeting)
    // and ends at once, without a QUIT. libcurl asks about progress at
    // least once a second, also while it waits for a reply.
    QElapsedTimer m_lastSentAt;
    bool m_timedOut = false;
};

} // namespace platform
