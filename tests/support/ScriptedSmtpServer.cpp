#include "ScriptedSmtpServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace {
constexpr int kPieceGapMs = 30;
}

ScriptedSmtpServer::ScriptedSmtpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedSmtpServer::onConnection);
}

void ScriptedSmtpServer::onConnection()
{
    QTcpSocket* socket = m_server.nextPendingConnection();
    if (m_client) {
        socket->abort();   // one client per script
        return;
    }
    m_client = socket;
    connect(m_client, &QTcpSocket::readyRead, this, &ScriptedSmtpServer::onReadyRead);
    connect(m_client, &QTcpSocket::disconnected, this, [this] { disconnected = true; });
    if (!m_greeting.isEmpty())
        sendPieces(m_greeting, false);
}

void ScriptedSmtpServer::onReadyRead()
{
    m_buffer += m_client->readAll();
    for (;;) {
        if (m_inData) {
            const qsizetype end = m_buffer.indexOf("\r\n.\r\n");
            if (end < 0)
                return;
            data = m_buffer.left(end + 2);
            m_buffer.remove(0, end + 5);
            m_inData = false;
            answer();
            continue;
        }
        const qsizetype end = m_buffer.indexOf("\r\n");
        if (end < 0)
            return;
        commands.append(m_buffer.left(end));
        m_buffer.remove(0, end + 2);
        answer();
    }
}

void ScriptedSmtpServer::answer()
{
    if (m_steps.isEmpty())
        return;
    const Step step = m_steps.dequeue();
    if (!step.reply.isEmpty() && step.reply.first().startsWith("354"))
        m_inData = true;
    sendPieces(step.reply, step.close);
}

void ScriptedSmtpServer::sendPieces(const QList<QByteArray>& pieces, bool close)
{
    // Later pieces wait for the earlier ones, also across steps.
    int delay = m_pendingWrites * kPieceGapMs;
    for (const QByteArray& piece : pieces) {
        ++m_pendingWrites;
        QTimer::singleShot(delay, this, [this, piece] {
            --m_pendingWrites;
            if (m_client)
                m_client->write(piece);
        });
        delay += kPieceGapMs;
    }
    if (close) {
        QTimer::singleShot(delay, this, [this] {
            if (m_client)
                m_client->disconnectFromHost();
        });
    }
}
