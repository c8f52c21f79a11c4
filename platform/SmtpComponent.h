#pragma once

#include "platform/SmtpMessage.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;

namespace platform {

class SmtpTransfer;

// The program's SMTP component: collects one message and its server
// settings, then sends it in the background and reports by signals.
//
// Every setter that takes an address or a header value (sender, recipients,
// reply-to, subject, mailer, extra headers) throws std::invalid_argument for
// a text holding CR, LF or NUL, and a port outside 0..65535 is refused the
// same way, so nothing the caller passes can add lines to the dialogue.
//
// send() returns at once; the outcome is the signals, always in this order:
// OnConnected (the server greeted), OnAuthenticated (the login was accepted),
// OnSendCommand / OnServerRespond for every line of the dialogue, OnSending
// for the progress, OnError when the send failed, and finally OnClosed after
// every send that was started. A send succeeds only when the server accepted
// the message data. Credentials never appear in the reported lines (see
// SmtpLogRedactor). Commands, replies and progress are reported only while
// setReportDialogue(true) and setReportProgress(true) are in force.
class SmtpComponent : public QObject
{
    Q_OBJECT

public:
    explicit SmtpComponent(QObject* parent = nullptr);
    // Aborts a send still running and waits for its thread.
    ~SmtpComponent() override;

    SmtpComponent(const SmtpComponent&) = delete;
    SmtpComponent& operator=(const SmtpComponent&) = delete;

    // The authorities trusted for every TLS connection of the process, as a
    // PEM file; empty (the default) trusts the system's. Peers are always
    // verified.
    static void setTrustedCertificates(const QString& pemFile);

    // --- settings --------------------------------------------------------
    // Seconds to wait for the connection and for each reply; 0 or less: 60.
    void setTimeOut(int seconds);
    // The component's own entries (connection and TLS notes, errors) are
    // appended to this file, one line each beginning with "* " (a line break
    // in a note written as an escape, see LogLine); empty: none.
    // OnLogEntry reports each entry as written, also without a file.
    void setLogFile(const QString& path);
    void setFromAddr(const QString& address);
    void setFromName(const QString& name);
    void addRecipient(const QString& address, SmtpRecipientKind kind);
    void setSubject(const QString& subject);
    // The preferred character set of texts; a message whose texts it cannot
    // hold is sent in UTF-8.
    void setCharset(const QString& charset);
    void setTransferEncoding(SmtpTransferEncoding encoding);
    void setBodyFormat(SmtpBodyFormat format);
    void setBodyText(const QString& text);
    QString bodyText() const { return m_message.bodyText; }
    void setAltBodyText(const QString& text);
    void setReplyTo(const QString& address);
    // An empty user name sends without a login.
    void setUserName(const QString& name);
    void setPassword(const QString& password);
    // The X-Priority value (1 high, 3 normal, 4 low).
    void setPriority(int code);
    void setMailer(const QString& name);
    void addHeader(const QString& name, const QString& value);
    void setServer(const QString& host);
    // 0: the protocol's own port.
    void setServerPort(int port);
    void setReportDialogue(bool on);
    void setReportProgress(bool on);

    // --- operations ------------------------------------------------------
    // Forgets the message and its server settings; the time-out and the log
    // file stay.
    void reset();
    void clearRecipients();
    // Forgets the attachments and the inline images.
    void clearAttachments();
    // Secures the next connection; 0 on success, non-zero when this build
    // of the transport has no TLS.
    int prepareSecureConnection(SmtpSecurity security);
    void endSecureConnection();
    // Adds a file to be shown inside the HTML body; the content identifier
    // to refer to it as "cid:" + identifier, or "" when the file cannot be
    // read.
    QString addInlineImage(const QString& path);
    // Adds a file attachment (read when the message is sent).
    void addAttachment(const QString& path);
    // Starts sending a copy of the message; throws std::logic_error while
    // an earlier send is still running.
    void send();
    // Ends a running send at once: OnError, then OnClosed.
    void abort();
    bool isSending() const { return m_thread != nullptr; }

signals:
    void OnConnected();
    void OnAuthenticated();
    void OnError(int code, const QString& description);
    void OnSending(qint64 sent, qint64 total);
    void OnSendCommand(const QString& line);
    void OnServerRespond(const QString& line);
    void OnClosed();
    void OnLogEntry(const QString& entry);

private:
    void finish(bool ok, int code, const QString& description);
    void writeLog(const QString& line);

    SmtpMessage m_message;
    QString m_logFile;
    std::unique_ptr<SmtpTransfer> m_transfer;
    std::unique_ptr<QThread> m_thread;
};

} // namespace platform
