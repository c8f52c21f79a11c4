#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace platform {
class SmtpComponent;
}

// Sends one e-mail through the SMTP component and reports by signals.
// Properties are set first; SendMail checks them and starts the send; the
// outcome always comes as one Completed(code, text):
//
//   0      "Send mail completed"            the server accepted the message
//   30001  "INVALID_MAIL_FORMAT: " & why    the message could not be prepared
//                                           (for instance a line break in the
//                                           sender, the subject or reply-to)
//   30003  "Empty recipient"                ToRecipient is empty
//   30003  "all recipients address are not valid."
//                                           ToRecipient is not one valid address
//   30004  "Failed to use SSL/TLS connection"
//   30024  "SendMailError: " & last error   the send failed (refused, closed,
//                                           timed out, TLS refused)
//
// A refusal is signalled before SendMail returns, after a "* " note of it in
// sendmail.log (OnLogEntry) and a line in the error log, which name the
// address and the check it failed ("Missing the period", ...) when the
// recipient was refused; a started send completes later, after OnSenting
// has been true in between. With SSL the connection
// uses TLS from the first byte on port 465 and STARTTLS on any other port.
// Server certificates are always verified.
class clsSendMail : public QObject
{
    Q_OBJECT

public:
    explicit clsSendMail(QObject* parent = nullptr);
    // Aborts a send still running; no signal follows.
    ~clsSendMail() override;

    clsSendMail(const clsSendMail&) = delete;
    clsSendMail& operator=(const clsSendMail&) = delete;

    void setToRecipient(const QString& v) { m_ToRecipient = v; }
    // One address, or several separated by ";".
    void setCC(const QString& v) { m_CC = v; }
    void setBCC(const QString& v) { m_BCC = v; }
    // File paths; paths that name no file are skipped.
    void setAttachment(const QStringList& v) { m_Attachment = v; }
    void setSubject(const QString& v) { m_Subject = v; }
    // "text" or empty: BodyText is sent as plain text; anything else: BodyHTML
    // is sent with BodyText as its plain alternative, and the local images it
    // shows (img src, background) go inline.
    void setMsgFormat(const QString& v) { m_MsgFormat = v; }
    void setBodyText(const QString& v) { m_BodyText = v; }
    void setBodyHTML(const QString& v) { m_BodyHTML = v; }
    // 1 high, 0 or 3 normal, anything else low.
    void setPriority(qint16 v) { m_Priority = v; }
    void setRequestRead(bool v) { m_RequestRead = v; }
    void setSSL(bool v) { m_SSL = v; }
    QString Host() const { return m_Host; }
    void setHost(const QString& v) { m_Host = v; }
    // Decimal text; "0", empty or not a number: the component's own port.
    QString Port() const { return m_Port; }
    void setPort(const QString& v) { m_Port = v; }
    // Empty: the first address of ToRecipient.
    void setFromAddr(const QString& v) { m_FromAddr = v; }
    void setFromName(const QString& v) { m_FromName = v; }
    void setReplyTo(const QString& v) { m_ReplyTo = v; }
    void setAuthentication(bool v) { m_Authentication = v; }
    void setUserName(const QString& v) { m_UserName = v; }
    void setPassword(const QString& v) { m_Password = v; }
    // Seconds; a value of 0 or less stores 60.
    qint32 TimeOut() const { return m_TimeOut; }
    void setTimeOut(qint32 v) { m_TimeOut = v > 0 ? v : 60; }
    bool OnSenting() const { return m_OnSenting; }
    void setOnSenting(bool v) { m_OnSenting = v; }

    void SendMail();
    // Aborts a running send; it completes with code 30024.
    void Disconnect();

signals:
    void OnConnected();
    void OnAuthenticated();
    // A copy or blind-copy address was left out.
    void InValidRecipient(const QString& text);
    void OnError(qint32 code, const QString& description);
    void OnSending(qint32 sent, qint32 total);
    void Completed(qint32 code, const QString& text);
    void OnSendCommand(const QString& text);
    void OnServerResponse(const QString& text);
    // An entry the component or this class wrote to sendmail.log itself
    // (connection and TLS notes, the reason a send failed or was refused),
    // as written.
    void OnLogEntry(const QString& entry);

private:
    // An inline image: the source as the HTML gives it, and the file.
    struct Image {
        QString source;
        QString path;
    };

    // Whether the reason of a refusal is in the error log already.
    enum class RefusalLogged { Not, Already };

    void prepareAndSend();
    // Notes the refusal (text, then detail) and completes with code and text.
    void refuse(qint32 code, const QString& text, RefusalLogged logged = RefusalLogged::Not,
                const QString& detail = QString());
    void addCopies();
    void setBody(const QList<Image>& images);
    void m_oSMTP_OnError(int code, const QString& description);
    void m_oSMTP_OnClosed();

    static QString CharSet(const QString& text);
    static QString GetFirstAddress(const QString& list);
    // The address of a list entry: the text between "<" and ">", else the whole entry.
    static QString ParseEmail(const QString& entry);
    static QList<Image> GetImgSrcCol(const QString& html);
    static QString Getattributevalue(const QString& tag, const QString& name);

    QString m_ToRecipient;
    QString m_CC;
    QString m_BCC;
    QStringList m_Attachment;
    QString m_Subject;
    QString m_MsgFormat;
    QString m_BodyText;
    QString m_BodyHTML;
    qint16 m_Priority = 0;
    bool m_RequestRead = false;
    bool m_SSL = false;
    QString m_Host;
    QString m_Port;
    QString m_FromAddr;
    QString m_FromName;
    QString m_ReplyTo;
    bool m_Authentication = false;
    QString m_UserName;
    QString m_Password;
    qint32 m_TimeOut = 0;
    bool m_OnSenting = false;
    QString m_sCharSet = QStringLiteral("iso-8859-1");
    QString m_sMailer = QStringLiteral("PPC Quillmark v1");
    QString m_sLastError;
    QString m_sBodyBit;
    std::unique_ptr<platform::SmtpComponent> m_oSMTP;
};
