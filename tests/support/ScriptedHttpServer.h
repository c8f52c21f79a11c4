#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <utility>

class QTcpSocket;

// A scripted HTTP server for network tests. It listens on 127.0.0.1 at a
// port the system picks (port 0) from construction to destruction, and
// answers each request by the route of its path: a status, headers and a
// body, optionally after a delay, or one of the misbehaviours a client must
// survive (no reply, part of a reply then silence or a close, a close
// without reply, a reply that trickles in).
// Every request is recorded. In proxy mode it plays an HTTP proxy that
// wants a Basic login: a request without the right Proxy-Authorization gets
// 407 with a Basic challenge, one with it gets the route's reply.
// Each reply ends its connection ("Connection: close").
class ScriptedHttpServer : public QObject
{
    Q_OBJECT

public:
    using Header = std::pair<QByteArray, QByteArray>;

    enum class Behaviour {
        Answer,            // the whole reply
        NoReply,           // reads the request, then says nothing and keeps the connection open
        PartialThenStall,  // status line, headers and the first partialBytes of the body, then silence
        PartialThenClose,  // the same, then a close of the connection before the rest of the body
        CloseWithoutReply, // reads the request and closes the connection
        Trickle,           // status line and headers, then the body one byte every trickleMs
    };

    struct Reply {
        int status = 200;
        QList<Header> headers;   // sent as given; Content-Length (of the whole body) is added unless
        bool sendLength = true;  // false: the body ends where the connection does
        QByteArray body;
        int delayMs = 0;         // wait this long after the request before answering
        Behaviour behaviour = Behaviour::Answer;
        qsizetype partialBytes = 0;
        int trickleMs = 0;
    };

    struct Request {
        QByteArray method;
        QByteArray target;       // as on the request line: "/p?q", or "http://host:port/p" through a proxy
        QList<Header> headers;   // in the order sent, names as sent
        QByteArray body;

        // Every value of the header name (compared without regard to case), in order.
        QByteArrayList values(QByteArrayView name) const;
        // The first value of the header name, or "" when it was not sent.
        QByteArray header(QByteArrayView name) const;
        // The path of the target, without query.
        QString path() const;
    };

    explicit ScriptedHttpServer(QObject* parent = nullptr);
    ~ScriptedHttpServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>" followed by path.
    QString url(const QString& path = QStringLiteral("/")) const;

    // Answers requests for path (any method) with reply; a path without a
    // route gets 404 with the body "no route".
    void route(const QString& path, const Reply& reply);
    static Reply answer(int status, const QByteArray& body, const QByteArray& contentType = "text/plain");
    // A 200 reply of body that misbehaves as behaviour says.
    static Reply misbehaving(Behaviour behaviour, const QByteArray& body = QByteArray(), qsizetype partialBytes = 0);
    // A 200 reply of body that comes one byte every everyMs.
    static Reply trickling(const QByteArray& body, int everyMs);
    // An address on 127.0.0.1 where nothing listens: connections are refused.
    static QString refusingUrl(const QString& path = QStringLiteral("/"));

    // Proxy mode: requests must carry "Proxy-Authorization: Basic" with
    // base64 of user:password.
    void requireProxyLogin(const QByteArray& user, const QByteArray& password);

    const QList<Request>& requests() const { return m_requests; }
    // Waits, running the event loop, until at least count requests were
    // recorded; false when timeoutMs passed first.
    bool waitForRequests(int count, int timeoutMs = 5000);

signals:
    void requestReceived();

private:
    void onConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Request& request);
    static void send(QTcpSocket* socket, const Reply& reply, bool whole);

    QTcpServer m_server;
    QHash<QString, Reply> m_routes;
    QByteArray m_proxyCredentials;  // "Basic ..." expected; empty: no proxy mode
    QList<Request> m_requests;
};
