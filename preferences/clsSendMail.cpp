#include "preferences/clsSendMail.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "platform/Locations.h"
#include "platform/SmtpComponent.h"
#include "preferences/MailAddress.h"
#include "preferences/SendMailLog.h"
#include "settings/clsConnect.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <stdexcept>

using ErrorLog::WriteErrorLog;
using platform::SmtpRecipientKind;

namespace {

constexpr int kImplicitTlsPort = 465;
constexpr int kHighestPort = 65535;

bool isValidEmail(const QString& address)
{
    QString reason;
    return MailAddress::IsValidEmail(address, reason);
}

QString leftTrimmed(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

QString withoutFileScheme(const QString& value)
{
    if (!value.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
        return value;
    QString path = value.mid(7);
    // "file:///C:/x.png" names "C:/x.png"; on this system the slash begins
    // the absolute path itself.
    if (path.startsWith(QLatin1Char('/')) && !QDir::isAbsolutePath(path))
        path.remove(0, 1);
    return path;
}

// Replaces every use of source as an attribute value (between quotes, or
// after "=" up to a blank or ">"), so that a file name that happens to end
// another one is left alone.
QString replaceAttributeValue(const QString& html, const QString& source, const QString& replacement)
{
    const QRegularExpression use(QStringLiteral("(?<=[\"'=\\s])") + QRegularExpression::escape(source)
                                     + QStringLiteral("(?=[\"'\\s>])"),
                                 QRegularExpression::CaseInsensitiveOption);
    QString result = html;
    return result.replace(use, replacement);
}

} // namespace

clsSendMail::clsSendMail(QObject* parent)
    : QObject(parent)
    , m_oSMTP(std::make_unique<platform::SmtpComponent>())
{
    WriteErrorLog(QStringLiteral("clsSendMail_Class_Initialize"));
    platform::SmtpComponent* smtp = m_oSMTP.get();
    connect(smtp, &platform::SmtpComponent::OnConnected, this, [this] {
        WriteErrorLog(QStringLiteral("clsSendMailX_m_oSMTP_OnConnect: connect successfully."));
        emit OnConnected();
    });
    connect(smtp, &platform::SmtpComponent::OnAuthenticated, this, &clsSendMail::OnAuthenticated);
    connect(smtp, &platform::SmtpComponent::OnError, this, &clsSendMail::m_oSMTP_OnError);
    connect(smtp, &platform::SmtpComponent::OnSending, this, [this](qint64 sent, qint64 total) {
        constexpr qint64 kMax = std::numeric_limits<qint32>::max();
        emit OnSending(static_cast<qint32>(std::min(sent, kMax)), static_cast<qint32>(std::min(total, kMax)));
    });
    connect(smtp, &platform::SmtpComponent::OnSendCommand, this, &clsSendMail::OnSendCommand);
    connect(smtp, &platform::SmtpComponent::OnServerRespond, this, &clsSendMail::OnServerResponse);
    connect(smtp, &platform::SmtpComponent::OnClosed, this, &clsSendMail::m_oSMTP_OnClosed);
    connect(smtp, &platform::SmtpComponent::OnLogEntry, this, &clsSendMail::OnLogEntry);
    smtp->setTimeOut(60);
    smtp->setLogFile(SendMailLog::path());
}

clsSendMail::~clsSendMail() = default;

void clsSendMail::SendMail()
{
    WriteErrorLog(QStringLiteral("clsSendMail_SendMail start at ") + ErrorLog::NowText());
    if (m_ToRecipient.isEmpty()) {
        refuse(30003, QStringLiteral("Empty recipient"));
        return;
    }
    try {
        prepareAndSend();
    } catch (const std::exception& e) {
        const QString what = QString::fromUtf8(e.what());
        m_OnSenting = m_oSMTP->isSending();
        WriteErrorLog(QStringLiteral("clsSendMailX_SendMail error: ") + what);
        refuse(30001, QStringLiteral("INVALID_MAIL_FORMAT: ") + what, RefusalLogged::Already);
    }
}

void clsSendMail::refuse(qint32 code, const QString& text, RefusalLogged logged, const QString& detail)
{
    // Nothing reached the server, so without this note the log would not
    // say why the send ended.
    const QString note = detail.isEmpty() ? text : text + QLatin1Char(' ') + detail;
    emit OnLogEntry(SendMailLog::append(QStringLiteral("* ") + note));
    if (logged == RefusalLogged::Not)
        WriteErrorLog(QStringLiteral("clsSendMail_SendMail refused: ") + note);
    emit Completed(code, text);
}

void clsSendMail::prepareAndSend()
{
    m_sLastError.clear();
    const QList<Image> images = GetImgSrcCol(m_BodyHTML);
    if (m_MsgFormat.isEmpty())
        m_MsgFormat = QStringLiteral("text");
    m_sBodyBit = CharSet(m_BodyText);
    m_oSMTP->reset();

    const double portNumber = Conversions::Val(m_Port);
    if (m_SSL) {
        WriteErrorLog(QStringLiteral("clsSendMail_SSL is enable"));
        const auto security = portNumber == kImplicitTlsPort ? platform::SmtpSecurity::ImplicitTls
                                                             : platform::SmtpSecurity::StartTls;
        if (m_oSMTP->prepareSecureConnection(security) != 0) {
            refuse(30004, QStringLiteral("Failed to use SSL/TLS connection"));
            return;
        }
    }
    m_oSMTP->clearRecipients();
    m_oSMTP->clearAttachments();

    QString why;
    if (!MailAddress::IsValidEmail(m_ToRecipient, why)) {
        refuse(30003, QStringLiteral("all recipients address are not valid."), RefusalLogged::Not,
               QLatin1Char('"') + m_ToRecipient + QStringLiteral("\": ") + why);
        return;
    }
    // The address check allows blanks around the address; the envelope not.
    m_oSMTP->addRecipient(Conversions::Trim(m_ToRecipient), SmtpRecipientKind::To);
    m_oSMTP->setFromName(m_FromName);
    const QString sender = m_FromAddr.isEmpty() ? GetFirstAddress(m_ToRecipient) : m_FromAddr;
    m_oSMTP->setFromAddr(sender);
    addCopies();

    m_oSMTP->setSubject(m_Subject);
    m_oSMTP->setCharset(m_sCharSet);
    setBody(images);
    for (const QString& element : std::as_const(m_Attachment)) {
        const QString path = Conversions::Trim(element);
        if (QFileInfo(path).isFile())
            m_oSMTP->addAttachment(path);
    }
    if (!m_ReplyTo.isEmpty())
        m_oSMTP->setReplyTo(m_ReplyTo);
    m_oSMTP->setUserName(m_Authentication ? m_UserName : QString());
    m_oSMTP->setPassword(m_Authentication ? m_Password : QString());
    m_oSMTP->setPriority(m_Priority == 1 ? 1 : (m_Priority == 0 || m_Priority == 3) ? 3 : 4);
    m_oSMTP->setMailer(m_sMailer);
    if (m_RequestRead)
        m_oSMTP->addHeader(QStringLiteral("Disposition-Notification-To"), sender);
    if (m_Host.isEmpty() && m_TimeOut < 60)
        m_TimeOut = 60;
    m_oSMTP->setTimeOut(m_TimeOut);
    m_oSMTP->setServer(Conversions::Trim(m_Host));
    if (portNumber > 0) {
        // Refused before rounding: a number beyond every port may not fit a
        // whole number at all.
        if (portNumber > kHighestPort)
            throw std::invalid_argument("Invalid server port " + m_Port.toStdString());
        m_oSMTP->setServerPort(static_cast<int>(std::lround(portNumber)));
    }

    m_oSMTP->setReportDialogue(true);
    m_oSMTP->setReportProgress(true);
    m_OnSenting = true;
    WriteErrorLog(QStringLiteral("clsSendMail: start SendMail"));
    m_oSMTP->send();
}

void clsSendMail::addCopies()
{
    if (!m_CC.isEmpty()) {
        if (!m_CC.contains(QLatin1Char(';'))) {
            if (isValidEmail(m_CC))
                m_oSMTP->addRecipient(Conversions::Trim(m_CC), SmtpRecipientKind::Cc);
            else
                emit InValidRecipient(QStringLiteral("Invalid recipient: ") + m_CC);
        } else {
            const QStringList pieces = m_CC.split(QLatin1Char(';'));
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                if (isValidEmail(pieces.at(i)))
                    m_oSMTP->addRecipient(Conversions::Trim(pieces.at(i)), SmtpRecipientKind::Cc);
                else
                    emit InValidRecipient(QStringLiteral("Invalid recipient: aryEmails(%1) =").arg(i) + pieces.at(i));
            }
        }
    }
    if (!m_BCC.isEmpty()) {
        if (isValidEmail(m_BCC))
            m_oSMTP->addRecipient(Conversions::Trim(m_BCC), SmtpRecipientKind::Bcc);
        else
            emit InValidRecipient(QStringLiteral("Invalid recipient: ") + m_BCC);
    }
}

void clsSendMail::setBody(const QList<Image>& images)
{
    if (m_MsgFormat.compare(QLatin1String("text"), Qt::CaseInsensitive) == 0) {
        m_oSMTP->setTransferEncoding(m_sBodyBit == QLatin1String("7bit") ? platform::SmtpTransferEncoding::SevenBit
                                                                          : platform::SmtpTransferEncoding::QuotedPrintable);
        m_oSMTP->setBodyText(m_BodyText);
        m_oSMTP->setBodyFormat(platform::SmtpBodyFormat::PlainText);
        return;
    }
    m_oSMTP->setTransferEncoding(platform::SmtpTransferEncoding::QuotedPrintable);
    m_oSMTP->setBodyFormat(platform::SmtpBodyFormat::Html);
    m_oSMTP->setBodyText(m_BodyHTML);
    for (const Image& image : images) {
        const QString id = m_oSMTP->addInlineImage(image.path);
        if (!id.isEmpty())
            m_oSMTP->setBodyText(replaceAttributeValue(m_oSMTP->bodyText(), image.source, QStringLiteral("cid:") + id));
    }
    if (!m_BodyText.isEmpty())
        m_oSMTP->setAltBodyText(m_BodyText);
}

void clsSendMail::Disconnect()
{
    if (m_OnSenting)
        m_oSMTP->abort();
}

void clsSendMail::m_oSMTP_OnError(int code, const QString& description)
{
    m_sLastError = QStringLiteral(" ErrCode: %1, Error: ").arg(code) + description + QStringLiteral(" SMTP Server: ")
        + m_Host;
    WriteErrorLog(QStringLiteral("clsSendMailX_m_oSMTP_OnError: ") + m_sLastError);
    emit OnError(code, description);
}

void clsSendMail::m_oSMTP_OnClosed()
{
    WriteErrorLog(QStringLiteral("clsSendMailX_m_oSMTP_OnClose: prepare to close."));
    if (m_SSL)
        m_oSMTP->endSecureConnection();
    // Cleared first, so that a receiver of Completed may send again.
    m_OnSenting = false;
    if (!m_sLastError.isEmpty())
        emit Completed(30024, QStringLiteral("SendMailError: ") + m_sLastError);
    else
        emit Completed(0, QStringLiteral("Send mail completed"));
    WriteErrorLog(QStringLiteral("clsSendMailX_m_oSMTP_OnClose: closed."));
}

QString clsSendMail::CharSet(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return QStringLiteral("8bit");
    }
    return QStringLiteral("7bit");
}

QString clsSendMail::GetFirstAddress(const QString& list)
{
    QString entry = list;
    if (list.contains(QLatin1Char(',')))
        entry = list.section(QLatin1Char(','), 0, 0);
    else if (list.contains(QLatin1Char(';')))
        entry = list.section(QLatin1Char(';'), 0, 0);
    return ParseEmail(entry);
}

QString clsSendMail::ParseEmail(const QString& entry)
{
    const qsizetype open = entry.indexOf(QLatin1Char('<'));
    const qsizetype close = open < 0 ? -1 : entry.indexOf(QLatin1Char('>'), open + 1);
    return close < 0 ? entry : entry.mid(open + 1, close - open - 1);
}

QList<clsSendMail::Image> clsSendMail::GetImgSrcCol(const QString& html)
{
    QList<Image> images;
    clsConnect sections;
    const auto collect = [&](const QString& start, const QString& attribute) {
        QString remaining = html;
        while (remaining.contains(start, Qt::CaseInsensitive) && remaining.contains(QLatin1Char('>'))) {
            const QString tag = sections.FindSection(remaining, start, QStringLiteral(">"), true);
            const QString value = Getattributevalue(tag, attribute);
            if (value.isEmpty() || value.contains(QLatin1String("http"), Qt::CaseInsensitive))
                continue;
            QString path = withoutFileScheme(value);
            if (!path.contains(QLatin1String(":\\")) && !QDir::isAbsolutePath(path))
                path = platform::Locations::join(platform::Locations::programDir(), path);
            const bool known = std::any_of(images.cbegin(), images.cend(),
                                           [&](const Image& image) { return image.source == value; });
            // An image used twice goes out once.
            if (!known && QFileInfo(path).isFile())
                images.append({value, path});
        }
    };
    collect(QStringLiteral("<img"), QStringLiteral("src"));
    collect(QStringLiteral("background="), QStringLiteral("background="));
    return images;
}

QString clsSendMail::Getattributevalue(const QString& tag, const QString& name)
{
    const qsizetype at = tag.indexOf(name, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    QString rest = leftTrimmed(tag.mid(at + name.size()));
    if (rest.startsWith(QLatin1Char('=')))
        rest = leftTrimmed(rest.mid(1));
    if (rest.startsWith(QLatin1Char('"')))
        rest = leftTrimmed(rest.mid(1));
    if (rest.startsWith(QLatin1Char('\'')))
        rest = leftTrimmed(rest.mid(1));
    for (const QChar end : {QLatin1Char('"'), QLatin1Char('\''), QLatin1Char(' '), QLatin1Char('>')}) {
        const qsizetype stop = rest.indexOf(end);
        if (stop >= 0)
            return rest.left(stop);
    }
    return QString();
}
