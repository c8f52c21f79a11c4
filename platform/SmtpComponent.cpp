#include "platform/SmtpComponent.h"

#include "platform/LogLine.h"
#include "platform/MailText.h"
#include "platform/SmtpTransfer.h"

#include <curl/curl.h>

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QThread>
#include <QUuid>

#include <stdexcept>

namespace platform {

namespace {

constexpr int kDefaultTimeOut = 60;

QMutex g_trustLock;
QString g_trustedCertificates;

const QString& checked(const QString& text, const char* what)
{
    if (MailText::hasLineBreakOrNul(text))
        throw std::invalid_argument(std::string("A line break or NUL in the ") + what);
    return text;
}

} // namespace

SmtpComponent::SmtpComponent(QObject* parent)
    : QObject(parent)
{
}

SmtpComponent::~SmtpComponent()
{
    if (m_transfer) {
        m_transfer->abort();
        m_thread->wait();
    }
}

void SmtpComponent::setTrustedCertificates(const QString& pemFile)
{
    const QMutexLocker lock(&g_trustLock);
    g_trustedCertificates = pemFile;
}

void SmtpComponent::setTimeOut(int seconds)
{
    m_message.timeOutSeconds = seconds > 0 ? seconds : kDefaultTimeOut;
}

void SmtpComponent::setLogFile(const QString& path)
{
    m_logFile = path;
}

void SmtpComponent::setFromAddr(const QString& address)
{
    m_message.fromAddr = checked(address, "sender address");
}

void SmtpComponent::setFromName(const QString& name)
{
    m_message.fromName = checked(name, "sender name");
}

void SmtpComponent::addRecipient(const QString& address, SmtpRecipientKind kind)
{
    m_message.recipients.append({checked(address, "recipient address"), kind});
}

void SmtpComponent::setSubject(const QString& subject)
{
    m_message.subject = checked(subject, "subject");
}

void SmtpComponent::setCharset(const QString& charset)
{
    m_message.charset = checked(charset, "character set");
}

void SmtpComponent::setTransferEncoding(SmtpTransferEncoding encoding)
{
    m_message.encoding = encoding;
}

void SmtpComponent::setBodyFormat(SmtpBodyFormat format)
{
    m_message.format = format;
}

void SmtpComponent::setBodyText(const QString& text)
{
    m_message.bodyText = text;
}

void SmtpComponent::setAltBodyText(const QString& text)
{
    m_message.altBodyText = text;
}

void SmtpComponent::setReplyTo(const QString& address)
{
    m_message.replyTo = checked(address, "reply-to address");
}

void SmtpComponent::setUserName(const QString& name)
{
    m_message.userName = name;
}

void SmtpComponent::setPassword(const QString& password)
{
    m_message.password = password;
}

void SmtpComponent::setPriority(int code)
{
    m_message.priority = code;
}

void SmtpComponent::setMailer(const QString& name)
{
    m_message.mailer = checked(name, "mailer name");
}

void SmtpComponent::addHeader(const QString& name, const QString& value)
{
    if (name.isEmpty() || name.contains(QLatin1Char(':')) || name.contains(QLatin1Char(' ')))
        throw std::invalid_argument("Invalid header name: " + name.toStdString());
    m_message.headers.append({checked(name, "header name"), checked(value, "header value")});
}

void SmtpComponent::setServer(const QString& host)
{
    m_message.server = checked(host, "server name");
}

void SmtpComponent::setServerPort(int port)
{
    if (port < 0 || port > 65535)
        throw std::invalid_argument("Invalid server port " + std::to_string(port));
    m_message.port = port;
}

void SmtpComponent::setReportDialogue(bool on)
{
    m_message.reportDialogue = on;
}

void SmtpComponent::setReportProgress(bool on)
{
    m_message.reportProgress = on;
}

void SmtpComponent::reset()
{
    SmtpMessage fresh;
    fresh.timeOutSeconds = m_message.timeOutSeconds;
    m_message = fresh;
}

void SmtpComponent::clearRecipients()
{
    m_message.recipients.clear();
}

void SmtpComponent::clearAttachments()
{
    m_message.attachments.clear();
    m_message.inlineImages.clear();
}

int SmtpComponent::prepareSecureConnection(SmtpSecurity security)
{
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    if (!(info->features & CURL_VERSION_SSL))
        return 1;
    m_message.security = security;
    return 0;
}

void SmtpComponent::endSecureConnection()
{
    m_message.security = SmtpSecurity::None;
}

QString SmtpComponent::addInlineImage(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return QString();
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@quillmark");
    m_message.inlineImages.append({path, id});
    return id;
}

void SmtpComponent::addAttachment(const QString& path)
{
    m_message.attachments.append(path);
}

void SmtpComponent::send()
{
    if (m_transfer)
        throw std::logic_error("A message is being sent");
    SmtpMessage message = m_message;
    {
        const QMutexLocker lock(&g_trustLock);
        message.caFile = g_trustedCertificates;
    }
    m_transfer = std::make_unique<SmtpTransfer>(std::move(message));
    SmtpTransfer* transfer = m_transfer.get();
    connect(transfer, &SmtpTransfer::connected, this, &SmtpComponent::OnConnected, Qt::QueuedConnection);
    connect(transfer, &SmtpTransfer::authenticated, this, &SmtpComponent::OnAuthenticated, Qt::QueuedConnection);
    connect(transfer, &SmtpTransfer::commandSent, this, &SmtpComponent::OnSendCommand, Qt::QueuedConnection);
    connect(transfer, &SmtpTransfer::replyReceived, this, &SmtpComponent::OnServerRespond, Qt::QueuedConnection);
    connect(transfer, &SmtpTransfer::progress, this, &SmtpComponent::OnSending, Qt::QueuedConnection);
    connect(transfer, &SmtpTransfer::note, this, &SmtpComponent::writeLog, Qt::QueuedConnection);
    connect(transfer, &SmtpTransfer::finished, this, &SmtpComponent::finish, Qt::QueuedConnection);
    m_thread.reset(QThread::create([transfer] { transfer->run(); }));
    m_thread->start();
}

void SmtpComponent::abort()
{
    if (m_transfer)
        m_transfer->abort();
}

void SmtpComponent::finish(bool ok, int code, const QString& description)
{
    m_thread->wait();
    m_thread.reset();
    m_transfer.reset();
    if (!ok) {
        writeLog(QStringLiteral("Error %1: %2").arg(code).arg(description));
        emit OnError(code, description);
    }
    emit OnClosed();
}

void SmtpComponent::writeLog(const QString& line)
{
    // Notes and errors may quote the server: they keep to their line.
    const QString entry = QStringLiteral("* ") + LogLine::oneLine(line);
    emit OnLogEntry(entry);
    if (m_logFile.isEmpty())
        return;
    QFile file(m_logFile);
    // A log entry that cannot be written is lost; the send goes on.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write((entry + QLatin1String("\r\n")).toUtf8());
}

} // namespace platform
