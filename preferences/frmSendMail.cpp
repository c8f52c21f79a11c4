#include "preferences/frmSendMail.h"

#include "core/ErrorLog.h"
#include "preferences/SendMailLog.h"
#include "preferences/clsSendMail.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {
constexpr int kSendDelayMs = 1000;
}

frmSendMail::frmSendMail(QWidget* parent)
    : platform::Dialog(parent)
    , m_oSendMail(std::make_unique<clsSendMail>())
    , m_socketClient(m_settings)
{
    setWindowTitle(QStringLiteral("Send Mail"));
    auto* label1 = new QLabel(QStringLiteral("SMTP server:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_lblSMTPServer = new QLabel(this);
    m_lblSMTPServer->setObjectName(QStringLiteral("lblSMTPServer"));
    m_lblStatus = new QLabel(QStringLiteral("Please wait while testing your SMTP mail server ..."), this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_txtLog = new QPlainTextEdit(this);
    m_txtLog->setObjectName(QStringLiteral("txtLog"));
    m_txtLog->setReadOnly(true);
    m_txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    m_lstAddressList = new QListWidget(this);
    m_lstAddressList->setObjectName(QStringLiteral("lstAddressList"));
    m_lstAddressList->hide();

    auto* server = new QHBoxLayout;
    server->addWidget(label1);
    server->addWidget(m_lblSMTPServer, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(server);
    layout->addWidget(m_lblStatus);
    layout->addWidget(m_txtLog, 1);
    layout->addLayout(buttons);
    resize(520, 380);

    m_tmrTestSendMail.setObjectName(QStringLiteral("tmrTestSendMail"));
    m_tmrTestSendMail.setInterval(kSendDelayMs);
    m_tmrTestSendMail.setSingleShot(true);
    connect(&m_tmrTestSendMail, &QTimer::timeout, this, &frmSendMail::tmrTestSendMail_Timer);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(m_oSendMail.get(), &clsSendMail::Completed, this, &frmSendMail::m_oSendMail_Completed);
    connect(m_oSendMail.get(), &clsSendMail::OnSendCommand, this, &frmSendMail::WriteMailLog);
    connect(m_oSendMail.get(), &clsSendMail::OnServerResponse, this, &frmSendMail::WriteMailLog);
    // The component writes these to sendmail.log itself.
    connect(m_oSendMail.get(), &clsSendMail::OnLogEntry, this, &frmSendMail::showInLog);
    connect(&m_socketClient, &SmtpSocketClient::mailLog, this, &frmSendMail::WriteMailLogLines);
    connect(&m_socketClient, &SmtpSocketClient::status, m_lblStatus, &QLabel::setText);
    connect(&m_socketClient, &SmtpSocketClient::ended, this, &frmSendMail::DialogueEnded);
}

frmSendMail::~frmSendMail() = default;

void frmSendMail::ShowModal(QWidget* owner, const TestMailSettings& settings)
{
    frmSendMail window(owner);
    window.From(settings.fromName, settings.fromAddress);
    window.setHost(settings.host);
    window.setPort(static_cast<quint16>(settings.port));
    window.setToRecipient(settings.toRecipient);
    window.setSMTPUsername(settings.smtpUsername);
    window.setSMTPPassword(settings.smtpPassword);
    window.setAuthentication(settings.authentication);
    window.setSSL(settings.ssl);
    window.exec();
}

void frmSendMail::setSMTPPort(const QVariant& port)
{
    bool ok = false;
    const double value = std::nearbyint(port.toDouble(&ok));
    if (ok && value >= 0 && value <= std::numeric_limits<quint16>::max())
        m_settings.Port = static_cast<quint16>(value);
}

void frmSendMail::From(const QString& name, const QString& address)
{
    m_settings.senderName = name;
    m_settings.senderAddress = address;
}

void frmSendMail::MailLog(const QString& text)
{
    ErrorLog::WriteErrorLog(text);
}

void frmSendMail::WriteMailLog(const QString& text)
{
    showInLog(SendMailLog::append(text));
}

void frmSendMail::WriteMailLogLines(const QStringList& lines)
{
    showInLog(SendMailLog::appendLines(lines));
}

void frmSendMail::showInLog(const QString& entry)
{
    QString shown = entry + QLatin1Char('\n');
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_txtLog->moveCursor(QTextCursor::End);
    m_txtLog->insertPlainText(shown);
}

void frmSendMail::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void frmSendMail::Form_Load()
{
    SendMailLog::trim();
    WriteMailLogLines(SendMailLog::header(m_settings.Host));
    TestSendMail();
}

void frmSendMail::TestSendMail()
{
    WriteMailLog(QStringLiteral("Test Send email at ") + ErrorLog::NowText());
    SetSendMailProperties();
    m_tmrTestSendMail.start();
    if (m_oSendMail)
        m_lblSMTPServer->setText(m_oSendMail->Host());
}

void frmSendMail::SetSendMailProperties()
{
    if (!m_oSendMail)
        return;
    m_oSendMail->setFromAddr(m_settings.senderAddress);
    m_oSendMail->setFromName(m_settings.senderName);
    m_oSendMail->setToRecipient(m_settings.ToRecipient);
    m_oSendMail->setHost(m_settings.Host);
    m_oSendMail->setPort(QString::number(m_settings.Port));
    m_oSendMail->setUserName(m_settings.SMTPUsername);
    m_oSendMail->setPassword(m_settings.SMTPPassword);
    m_oSendMail->setTimeOut(m_settings.TimeOut);
    m_oSendMail->setAuthentication(m_settings.Authentication);
    m_oSendMail->setSSL(m_settings.SSL);
}

void frmSendMail::tmrTestSendMail_Timer()
{
    if (m_oSendMail)
        m_oSendMail->SendMail();
}

void frmSendMail::m_oSendMail_Completed(qint32 code, const QString& text)
{
    Q_UNUSED(text);
    m_lblStatus->setText(code != 0 ? QStringLiteral("SMTP mail server test failed. ")
                                   : QStringLiteral("SMTP mail server test completed successfully."));
    MailLog(QStringLiteral("Send Message Done."));
}

void frmSendMail::done(int result)
{
    m_tmrTestSendMail.stop();
    m_oSendMail.reset();
    m_socketClient.SendCancel();
    QDialog::done(result);
}

void frmSendMail::SendMail(const QString& to, const QString& subject, const QString& body, const QString& copy,
                           const QString& blindCopy)
{
    m_settings.ToRecipient = to;
    m_settings.Subject = subject;
    m_socketClient.SendMail(to, subject, body, copy, blindCopy);
    showAddressList();
}

void frmSendMail::MailServer(const QString& host, quint16 port)
{
    m_settings.Host = host;
    m_settings.Port = port;
    m_lblSMTPServer->setText(host);
}

void frmSendMail::setAddressList(const QString& list)
{
    m_socketClient.setAddressList(list);
    showAddressList();
}

void frmSendMail::showAddressList()
{
    m_lstAddressList->clear();
    m_lstAddressList->addItems(m_socketClient.addressList());
}
