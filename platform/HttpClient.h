#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace platform {

// The program's HTTP client: every HTTP request goes through one of these,
// one request at a time, used either asynchronously (start..., then
// requestCompleted) or blocking (get/post return the reply text).
//
// What it sends is set explicitly rather than left to the environment: no
// proxy unless setProxy names one (not the process's or the system's, such
// as http_proxy), the user agent, the caller's header lines, no redirect
// following (a 3xx reply is a reply), and the time-out below.
//
// Header lines are "Name: value" texts as the protocol writes them; a
// trailing line break is the end of the line. A line without a name, or
// with a line break or NUL inside, is not sent, so no text can add headers
// of its own; a user agent holding one refuses the whole request (it ends
// at once, failed, with nothing sent). A Content-Length line is sent with the byte length of the body
// actually sent, whatever number it gives, and only once. A POST without a
// Content-Type line goes as a form (application/x-www-form-urlencoded).
class HttpClient : public QObject
{
    Q_OBJECT

public:
    // A request keeps its state until its completion has been delivered.
    enum State {
        Idle = 0,       // no request, or its completion has been delivered
        Sending = 8,    // the request is on its way; no reply yet
        Receiving = 9,  // the reply's status line and headers arrived; the body is coming
        Aborted = 11,   // stopped by abort(); its completion is still to come
    };

    explicit HttpClient(QObject* parent = nullptr);

    // True when text can stand in a header line: it holds no CR, LF or NUL.
    static bool isHeaderText(QStringView text);
    // A running request is dropped without completion.
    ~HttpClient() override;

    // Settings read when a request starts.
    void setUrl(const QString& url) { m_url = url; }
    QString url() const { return m_url; }
    void setUserAgent(const QString& userAgent) { m_userAgent = userAgent; }
    // "host:port" of an HTTP proxy; empty: straight to the server.
    void setProxy(const QString& hostAndPort) { m_proxy = hostAndPort; }
    // The proxy's Basic login, given when the proxy asks for one (407). A
    // missing or refused login ends the request with the proxy's 407 reply.
    void setProxyUserName(const QString& userName) { m_proxyUserName = userName; }
    void setProxyPassword(const QString& password) { m_proxyPassword = password; }
    // Milliseconds a request may take, from its start to the end of its
    // reply, however the reply comes (a server that keeps sending a byte now
    // and then is cut off as well); then it ends as timed out with what
    // arrived so far. 0 (the default) waits as long as the connection stays
    // open.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // The longest reply body kept. A longer reply (announced or arriving)
    // ends the request as failed, "Reply too large", with no body at all:
    // no caller reads a cut reply as a whole one.
    static constexpr qint64 kDefaultMaxReplyBytes = 16 * 1024 * 1024;
    void setMaxReplyBytes(qint64 bytes) { m_maxReplyBytes = bytes; }

    // Asynchronous use: returns at once; requestCompleted follows exactly
    // once, always from the event loop, never inside this call. Starting
    // while the previous request runs or its completion is still pending
    // drops that request and its completion: the caller moved on.
    void startGet(const QStringList& headerLines = {});
    void startPost(const QByteArray& body, const QStringList& headerLines = {});

    // Blocking use: starts the request and runs a local event loop, without
    // user input, until it completes; returns replyText(). Without a
    // time-out a server that says nothing holds the call.
    QString get(const QStringList& headerLines = {});
    QString post(const QByteArray& body, const QStringList& headerLines = {});

    // Stops the running request: state Aborted, and its one completion is
    // delivered from the event loop (not inside this call); the status and
    // the body that arrived so far stay readable. Does nothing when no
    // request runs.
    void abort();

    State state() const { return m_state; }
    // The reply's HTTP status; 0 while none arrived.
    int statusCode() const { return m_status; }
    // The reply body received so far, as bytes and as text (decoded by the
    // charset the reply's Content-Type names, else as UTF-8).
    QByteArray replyBody() const { return m_body; }
    QString replyText() const;
    // Why the last request got no whole reply (refused, closed, timed out,
    // aborted, ...); "" when the server's reply arrived whole, whatever its
    // status.
    QString errorString() const { return m_error; }

signals:
    // The request ended; state() is Idle again.
    void requestCompleted();
    // Bytes of the reply body received so far and its length (-1 when the
    // reply gives none), at every arrival of a part of it.
    void progress(qint64 received, qint64 total);

private:
    void start(const QByteArray& verb, const QByteArray& body, const QStringList& headerLines);
    QString waitForCompletion();
    void onMetaData();
    bool readArrived();
    void onReadyRead();
    void onFinished();
    void dropReply();
    void fail(const QString& error);
    void tooLarge();
    void completeLater();

    std::unique_ptr<QNetworkAccessManager> m_manager;
    QNetworkReply* m_reply = nullptr;
    QString m_url;
    QString m_userAgent;
    QString m_proxy;
    QString m_proxyUserName;
    QString m_proxyPassword;
    int m_timeoutMs = 0;
    qint64 m_maxReplyBytes = kDefaultMaxReplyBytes;
    QTimer m_deadline;

    State m_state = Idle;
    int m_status = 0;
    QByteArray m_body;
    QByteArray m_contentType;
    QString m_error;
    quint64 m_request = 0;  // the current request's number; a completion of an older one is dropped
};

} // namespace platform
