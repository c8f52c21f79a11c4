#include "ScriptedHttpServer.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

// The request in buffer once it is complete (head and Content-Length bytes
// of body); false while more is to come.
bool parseRequest(const QByteArray& buffer, ScriptedHttpServer::Request& request)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    request.headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    const qsizetype length = request.header("Content-Length").toLongLong();
    if (buffer.size() - (headEnd + 4) < length)
        return false;
    request.body = buffer.mid(headEnd + 4, length);
    return true;
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

QByteArrayList ScriptedHttpServer::Request::values(QByteArrayView name) const
{
    QByteArrayList found;
    for (const Header& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            found.append(h.second);
    }
    return found;
}

QByteArray ScriptedHttpServer::Request::header(QByteArrayView name) const
{
    return values(name).value(0);
}

QString ScriptedHttpServer::Request::path() const
{
    return QUrl(QString::fromLatin1(target)).path();
}

ScriptedHttpServer::ScriptedHttpServer(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedHttpServer::onConnection);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        qFatal("ScriptedHttpServer: cannot listen on 127.0.0.1: %s", qPrintable(m_server.errorString()));
}

ScriptedHttpServer::~ScriptedHttpServer() = default;

quint16 ScriptedHttpServer::port() const
{
    return m_server.serverPort();
}

QString ScriptedHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(port()) + path;
}

void ScriptedHttpServer::route(const QString& path, const Reply& reply)
{
    m_routes.insert(path, reply);
}

ScriptedHttpServer::Reply ScriptedHttpServer::answer(int status, const QByteArray& body, const QByteArray& contentType)
{
    Reply reply;
    reply.status = status;
    reply.body = body;
    reply.headers.append(Header("Content-Type", contentType));
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::misbehaving(Behaviour behaviour, const QByteArray& body,
                                                          qsizetype partialBytes)
{
    Reply reply = answer(200, body);
    reply.behaviour = behaviour;
    reply.partialBytes = partialBytes;
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::trickling(const QByteArray& body, int everyMs)
{
    Reply reply = misbehaving(Behaviour::Trickle, body);
    reply.trickleMs = everyMs;
    return reply;
}

QString ScriptedHttpServer::refusingUrl(const QString& path)
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return QStringLiteral("http://127.0.0.1:") + QString::number(probe.serverPort()) + path;
}

void ScriptedHttpServer::requireProxyLogin(const QByteArray& user, const QByteArray& password)
{
    m_proxyCredentials = "Basic " + (user + ':' + password).toBase64();
}

bool ScriptedHttpServer::waitForRequests(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_requests.size() >= count; }, timeoutMs);
}

void ScriptedHttpServer::onConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        // The socket is a child of the listening server, so it goes when the test's server does.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            Request request;
            if (!parseRequest(*buffer, request))
                return;
            socket->disconnect(this);
            m_requests.append(request);
            Q_EMIT requestReceived();
            respond(socket, request);
        });
    }
}

void ScriptedHttpServer::respond(QTcpSocket* socket, const Request& request)
{
    Reply reply = m_routes.value(request.path(), answer(404, "no route"));
    if (!m_proxyCredentials.isEmpty() && request.header("Proxy-Authorization") != m_proxyCredentials) {
        reply = answer(407, "proxy login required");
        reply.headers.append(Header("Proxy-Authenticate", "Basic realm=\"loopback proxy\""));
    }
    QTimer::singleShot(reply.delayMs, socket, [socket, reply] {
        switch (reply.behaviour) {
        case Behaviour::Answer:
            send(socket, reply, true);
            socket->disconnectFromHost();
            break;
        case Behaviour::PartialThenStall:
            send(socket, reply, false);
            break;
        case Behaviour::PartialThenClose:
            send(socket, reply, false);
            socket->disconnectFromHost();
            break;
        case Behaviour::CloseWithoutReply:
            socket->disconnectFromHost();
            break;
        case Behaviour::Trickle: {
            send(socket, reply, false);
            auto* drip = new QTimer(socket);
            QObject::connect(drip, &QTimer::timeout, socket,
                             [socket, drip, body = reply.body, sent = qsizetype(0)]() mutable {
                if (socket->state() != QAbstractSocket::ConnectedState) {
                    drip->stop();
                    return;
                }
                socket->write(body.mid(sent++, 1));
                if (sent >= body.size()) {
                    drip->stop();
                    socket->disconnectFromHost();
                }
            });
            drip->start(reply.trickleMs);
            break;
        }
        case Behaviour::NoReply:
            break;
        }
    });
}

void ScriptedHttpServer::send(QTcpSocket* socket, const Reply& reply, bool whole)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    for (const Header& h : reply.headers)
        head += h.first + ": " + h.second + "\r\n";
    if (reply.sendLength)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head + (whole ? reply.body : reply.body.left(reply.partialBytes)));
    socket->flush();
}
