#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QTcpServer>

class QTcpSocket;

// A scripted SMTP peer on 127.0.0.1 (port chosen by the system) for one
// client connection, driven by the test's event loop. It sends the greeting
// on connect, then answers each command line the client sends with the next
// step of the script. After a reply beginning with "354" it collects the
// message data up to the line "." and answers it with the next step. Replies
// given in several pieces go out as separate writes, 30 ms apart, so the
// client receives them split.
class ScriptedSmtpServer : public QObject
{
    Q_OBJECT

public:
    struct Step {
        QList<QByteArray> reply;  // pieces; empty: answer nothing
        bool close = false;       // close the connection after the reply
    };

    ScriptedSmtpServer();

    // Nothing greets when the greeting is empty.
    void setGreeting(const QList<QByteArray>& pieces) { m_greeting = pieces; }
    void addStep(const Step& step) { m_steps.enqueue(step); }
    void addReply(const QByteArray& reply) { addStep({{reply}, false}); }

    quint16 port() const { return m_server.serverPort(); }

    // What the client sent: every command line without its CRLF, in order,
    // and the message data as it came (dot-stuffed, without the final ".").
    QList<QByteArray> commands;
    QByteArray data;
    bool disconnected = false;

private:
    void onConnection();
    void onReadyRead();
    void answer();
    void sendPieces(const QList<QByteArray>& pieces, bool close);

    QTcpServer m_server;
    QTcpSocket* m_client = nullptr;
    QList<QByteArray> m_greeting;
    QQueue<Step> m_steps;
    QByteArray m_buffer;
    bool m_inData = false;
    int m_pendingWrites = 0;
};
