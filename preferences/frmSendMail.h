#pragma once

#include "platform/widgets/Dialog.h"
#include "preferences/SendMailSettings.h"
#include "preferences/SmtpSocketClient.h"
#include "preferences/TestMail.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <memory>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class clsSendMail;

// The "Send Mail" window: sends one test message through the mail settings
// it was given and shows the dialogue with the server as it happens.
//
// The caller sets the properties, then shows the window (modally):
//
//     frmSendMail mail(this);
//     mail.From(name, address);        // sender
//     mail.setHost(server);
//     mail.setPort(port);              // 0: the default port
//     mail.setToRecipient(address);
//     mail.setSMTPUsername(user);
//     mail.setSMTPPassword(password);
//     mail.setAuthentication(login);   // log in before sending
//     mail.setSSL(secure);             // TLS: from the first byte on port 465,
//                                      // else STARTTLS
//     mail.exec();
//
// ShowModal does just that for the preferences dialog's "Test SMTP server".
//
// On showing, the window deletes a sendmail.log above 32000 bytes, writes the
// test header to it and sends the message one second later. Every command
// and reply goes to txtLog and to sendmail.log (credentials as "<hidden>"),
// and txtLog shows the mail component's own entries of sendmail.log too
// (why a connection failed, or why the send was refused before it started:
// an address the check refuses, with the check's reason);
// lblStatus ends with "SMTP mail server test completed successfully." or
// "SMTP mail server test failed. ". Closing the window aborts a running send
// (also one of the socket client).
//
// The window also carries a socket SMTP client of its own (SendMail and the
// members after it), which nothing in the program starts.
class frmSendMail : public platform::Dialog
{
    Q_OBJECT

public:
    explicit frmSendMail(QWidget* parent = nullptr);
    ~frmSendMail() override;

    // Tests the settings in a window shown modally over owner; returns when
    // the user has closed it.
    static void ShowModal(QWidget* owner, const TestMailSettings& settings);

    // Seconds handed to the mail component; 0: its default (60).
    qint32 TimeOut() const { return m_settings.TimeOut; }
    void setTimeOut(qint32 v) { m_settings.TimeOut = v; }
    bool SSL() const { return m_settings.SSL; }
    void setSSL(bool v) { m_settings.SSL = v; }
    QString ToRecipient() const { return m_settings.ToRecipient; }
    void setToRecipient(const QString& v) { m_settings.ToRecipient = v; }
    QString Subject() const { return m_settings.Subject; }
    void setSubject(const QString& v) { m_settings.Subject = v; }
    bool Authentication() const { return m_settings.Authentication; }
    void setAuthentication(bool v) { m_settings.Authentication = v; }
    QString Host() const { return m_settings.Host; }
    void setHost(const QString& v) { m_settings.Host = v; }
    // Every TCP port fits: the 16 bits are read without a sign.
    quint16 Port() const { return m_settings.Port; }
    void setPort(quint16 v) { m_settings.Port = v; }
    QString SMTPUsername() const { return m_settings.SMTPUsername; }
    void setSMTPUsername(const QString& v) { m_settings.SMTPUsername = v; }
    QString SMTPPassword() const { return m_settings.SMTPPassword; }
    void setSMTPPassword(const QString& v) { m_settings.SMTPPassword = v; }
    // Port as a variant: a number is rounded to the nearest whole number
    // (halves to even); a value that is no number or lies outside 0..65535
    // leaves Port as it was.
    QVariant SMTPPort() const { return m_settings.Port; }
    void setSMTPPort(const QVariant& port);
    void From(const QString& name, const QString& address);

    // The program's error log.
    static void MailLog(const QString& text);
    // Appends the text and a line end to sendmail.log and shows it in txtLog
    // as written: on one line, a line break in it as an escape.
    void WriteMailLog(const QString& text);
    // The same for an entry that spans several lines on purpose.
    void WriteMailLogLines(const QStringList& lines);
    // Starts the test: logs it, hands the settings over, arms the timer.
    void TestSendMail();
    void SetSendMailProperties();

    // --- the socket client -------------------------------------------------
    void SendMail(const QString& to, const QString& subject, const QString& body, const QString& copy,
                  const QString& blindCopy);
    void MailServer(const QString& host, quint16 port);
    bool SMTPAuth() const { return m_socketClient.SMTPAuth(); }
    void setSMTPAuth(bool v) { m_socketClient.setSMTPAuth(v); }
    bool Connect() const { return m_socketClient.Connect(); }
    void sendCCAddress() { m_socketClient.sendCCAddress(); }
    void setAddressList(const QString& list);
    void SendData(const QString& text) { m_socketClient.SendData(text); }
    void SendCancel() { m_socketClient.SendCancel(); }
    static QString WrapWord(const QString& text) { return SmtpSocketClient::WrapWord(text); }

    // Releases the mail component and cancels the socket client's dialogue
    // (aborting a running send of either) as the window closes.
    void done(int result) override;

signals:
    // The socket client's dialogue has ended.
    void DialogueEnded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void tmrTestSendMail_Timer();
    void m_oSendMail_Completed(qint32 code, const QString& text);
    void showAddressList();
    // Appends an entry as sendmail.log has it, and a line end, to txtLog.
    void showInLog(const QString& entry);

    SendMailSettings m_settings;
    std::unique_ptr<clsSendMail> m_oSendMail;
    SmtpSocketClient m_socketClient;
    QTimer m_tmrTestSendMail;
    bool m_loaded = false;

    QLabel* m_lblSMTPServer = nullptr;
    QLabel* m_lblStatus = nullptr;
    QPlainTextEdit* m_txtLog = nullptr;
    QListWidget* m_lstAddressList = nullptr;
};
