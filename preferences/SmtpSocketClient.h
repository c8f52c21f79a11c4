#pragma once

#include "platform/SmtpLogRedactor.h"
#include "preferences/SendMailSettings.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

// A complete SMTP client that writes the dialogue itself, line by line, over
// a plain TCP socket: greeting, HELO (or EHLO and AUTH LOGIN), MAIL FROM, one
// RCPT TO per recipient, DATA with a small header and the body, QUIT.
//
// Server, sender and login come from the settings given at construction,
// read when a message is sent. Every line sent and received goes to
// mailLog() (credentials shown as "<hidden>", see SmtpLogRedactor); errors go
// to the program's error log. A dialogue always ends, with one ended():
// status() says "SMTP mail server test completed successfully." only when the
// server accepted the message data and closed the dialogue with 221; a
// refusing reply (4xx/5xx), a login challenge (334) that AUTH LOGIN did not
// ask for, a close or socket error before the end, no (complete) reply within
// the time-out from its command, a reply line longer than 512 octets or more
// than 100 lines in answer to one command give
// "Error occured when sending message.".
// The body goes out with CRLF line ends, every line that begins with "."
// getting a second one, in us-ascii (plain text) or iso-8859-1 (HTML) when
// those hold the texts, else in UTF-8.
class SmtpSocketClient : public QObject
{
    Q_OBJECT

public:
    explicit SmtpSocketClient(const SendMailSettings& settings, QObject* parent = nullptr);

    // Connects and sends one message to the comma-separated recipients of
    // to, copy and blindCopy (blind copies get no header line). A text with
    // CR, LF or NUL in an address, the subject or the sender is refused: the
    // dialogue ends at once with the error status, nothing is sent.
    void SendMail(const QString& to, const QString& subject, const QString& body, const QString& copy,
                  const QString& blindCopy);

    // True: greet with EHLO and log in with AUTH LOGIN; false: HELO only.
    bool SMTPAuth() const { return m_SMTPAuth; }
    void setSMTPAuth(bool v) { m_SMTPAuth = v; }
    // The socket is connected.
    bool Connect() const { return m_connected; }

    // The recipients of the current message, in order: to, copy, blind copy.
    QStringList addressList() const { return m_addressList; }
    // Adds the trimmed pieces of a comma-separated list (an empty piece
    // between two commas too) to the recipients.
    void setAddressList(const QString& list);
    // Sends RCPT TO for the next recipient, if any is left.
    void sendCCAddress();
    // Sends text as it is, in the message's character set.
    void SendData(const QString& text);
    // Closes the socket; a dialogue still running ends with the error status.
    void SendCancel();

    // The text broken into lines of at most 76 characters: at its own line
    // breaks, else at the last blank within the limit, else (a word that
    // long) at the limit itself. Lines are joined by CRLF.
    static QString WrapWord(const QString& text);

signals:
    // One entry of the mail log, line by line (a reply of several lines,
    // or a line sent followed by an empty one).
    void mailLog(const QStringList& lines);
    void status(const QString& text);
    void ended();

private:
    void onConnected();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void onReadyRead();
    void onReply(const QString& reply);
    void onAuthTimer();
    void sendLine(const QString& line);
    // A command goes out: its reply is due within the time-out.
    void awaitReply();
    void logSent(const QString& line);
    void logSentThenEmptyLine(const QString& line);
    void logReply(const QString& reply);
    void sendMailFrom();
    void sendQuitAfterError();
    void sendMessage();
    void finish(bool success, const QString& errorLogLine);
    void fail(const QString& reason);

    const SendMailSettings& m_settings;
    QTcpSocket m_socket;
    QTimer m_TimerMailAuth;
    QTimer m_replyTimer;
    platform::SmtpLogRedactor m_redactor;
    QByteArray m_received;          // the reply being received
    qsizetype m_lineStart = 0;      // where its last, unfinished line begins
    qsizetype m_scanned = 0;        // how far it has been searched for line ends
    int m_linesSinceCommand = 0;
    QString m_charset;

    QString m_to;
    QString m_subject;
    QString m_body;
    QString m_copy;
    QStringList m_addressList;

    bool m_SMTPAuth = false;
    bool m_authTimerStarted = false;
    bool m_authRequested = false;   // AUTH LOGIN sent in this dialogue
    qint16 m_authStep = 0;
    bool m_connected = false;
    bool m_allRecipientsSent = false;
    qint16 m_recipientIndex = 0;
    qint16 m_state = 0;
    bool m_running = false;
    bool m_dataAccepted = false;
};
