#include "preferences/SmtpSocketClient.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "core/modBase64Encode.h"
#include "platform/CodePage.h"
#include "platform/MailText.h"

using ErrorLog::WriteErrorLog;
using platform::MailText::hasLineBreakOrNul;

namespace {

// Dialogue states.
constexpr qint16 kEhloSent = 0;        // also: waiting for the AUTH exchange
constexpr qint16 kHeloSent = 1;
constexpr qint16 kMailFromSent = 2;
constexpr qint16 kRecipientsSent = 3;
constexpr qint16 kDataSent = 4;
constexpr qint16 kMessageSent = 5;
constexpr qint16 kQuitSent = 6;
constexpr qint16 kQuitAfterError = 999;

constexpr int kAuthDelayMs = 500;
constexpr int kDefaultTimeOutSeconds = 60;
constexpr qsizetype kBodyPiece = 1024;
constexpr quint16 kDefaultPort = 25;
// The longest reply line, its CRLF included (RFC 5321, 4.5.3.1.5), and the
// most lines a server may send in answer to one command (or as greeting).
constexpr qsizetype kMaxReplyLine = 512;
constexpr int kMaxReplyLines = 100;
// What the socket holds for the client at most until it is read.
constexpr qint64 kReadBuffer = 64 * 1024;

const QLatin1String kCrlf("\r\n");

QString successText()
{
    return QStringLiteral("SMTP mail server test completed successfully.");
}

QString errorText()
{
    return QStringLiteral("Error occured when sending message.");
}

// Why a dialogue ends on a reply line that is, or grows, too long.
QString lineTooLongText()
{
    return QStringLiteral("The mail server sent a reply line longer than %1 octets").arg(kMaxReplyLine);
}

// The reply code of a complete reply: the number its last line begins with.
int replyCode(const QString& reply)
{
    const QString last = reply.section(kCrlf, -1);
    bool ok = false;
    const int code = last.left(3).toInt(&ok);
    return ok && last.size() >= 3 && last.at(0).isDigit() ? code : 0;
}

// A body as the DATA command needs it: CRLF line ends, and a dot doubled at
// the start of every line so that no line of the text ends the message.
QString dotStuffed(const QString& body)
{
    QString text = platform::MailText::toCrlf(body);
    if (text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('.'));
    return text.replace(QLatin1String("\r\n."), QLatin1String("\r\n.."));
}

} // namespace

SmtpSocketClient::SmtpSocketClient(const SendMailSettings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
    m_TimerMailAuth.setInterval(kAuthDelayMs);
    m_TimerMailAuth.setSingleShot(true);
    m_replyTimer.setSingleShot(true);
    m_socket.setReadBufferSize(kReadBuffer);
    connect(&m_TimerMailAuth, &QTimer::timeout, this, &SmtpSocketClient::onAuthTimer);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] { fail(QStringLiteral("No reply from the mail server")); });
    connect(&m_socket, &QTcpSocket::connected, this, &SmtpSocketClient::onConnected);
    connect(&m_socket, &QTcpSocket::disconnected, this, &SmtpSocketClient::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &SmtpSocketClient::onError);
    connect(&m_socket, &QTcpSocket::readyRead, this, &SmtpSocketClient::onReadyRead);
}

void SmtpSocketClient::SendMail(const QString& to, const QString& subject, const QString& body, const QString& copy,
                                const QString& blindCopy)
{
    // A dialogue still running ends here, with the error status.
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    m_allRecipientsSent = false;
    m_recipientIndex = 0;
    m_state = kEhloSent;
    m_dataAccepted = false;
    m_received.clear();
    m_lineStart = m_scanned = 0;
    m_linesSinceCommand = 0;
    m_redactor = platform::SmtpLogRedactor();
    m_running = true;
    for (const QString& text : {to, copy, blindCopy, subject, m_settings.senderName, m_settings.senderAddress}) {
        if (hasLineBreakOrNul(text)) {
            fail(QStringLiteral("A line break or NUL in an address or the subject"));
            return;
        }
    }
    emit mailLog({QStringLiteral("SendMail to ") + to + QStringLiteral(", SMTPServer: ") + m_settings.Host
                  + QStringLiteral(" at ") + ErrorLog::NowText()});
    m_to = to;
    m_subject = subject;
    m_body = body;
    m_copy = copy;

    m_addressList.clear();
    setAddressList(to);
    if (!Conversions::Trim(copy).isEmpty())
        setAddressList(copy);
    if (!Conversions::Trim(blindCopy).isEmpty())
        setAddressList(blindCopy);
    WriteErrorLog(QStringLiteral("SendTo: ") + to + QStringLiteral(", SMTPServer: ") + m_settings.Host);
    const quint16 port = m_settings.Port == 0 ? kDefaultPort : m_settings.Port;
    m_replyTimer.start((m_settings.TimeOut > 0 ? m_settings.TimeOut : kDefaultTimeOutSeconds) * 1000);
    m_socket.connectToHost(m_settings.Host, port);
}

void SmtpSocketClient::setAddressList(const QString& list)
{
    QString rest = Conversions::Trim(list);
    if (rest.isEmpty())
        return;
    for (qsizetype comma = rest.indexOf(QLatin1Char(',')); comma >= 0; comma = rest.indexOf(QLatin1Char(','))) {
        m_addressList.append(Conversions::Trim(rest.left(comma)));
        rest = rest.mid(comma + 1);
    }
    rest = Conversions::Trim(rest);
    if (!rest.isEmpty())
        m_addressList.append(rest);
}

void SmtpSocketClient::sendCCAddress()
{
    if (m_recipientIndex < m_addressList.size()) {
        const QString line = QStringLiteral("RCPT TO:<") + m_addressList.at(m_recipientIndex) + QLatin1Char('>');
        logSent(line);
        sendLine(line);
        ++m_recipientIndex;
    }
    if (m_recipientIndex >= m_addressList.size())
        m_allRecipientsSent = true;
}

void SmtpSocketClient::SendData(const QString& text)
{
    const QByteArray bytes = platform::MailText::encode(text, m_charset).value_or(platform::CodePage::encode(text));
    awaitReply();
    if (m_socket.write(bytes) < 0)
        WriteErrorLog(QStringLiteral("SendData Error: ") + m_socket.errorString());
}

void SmtpSocketClient::SendCancel()
{
    m_socket.close();
    // A dialogue still connecting gets no close from the socket.
    fail(QStringLiteral("Cancelled"));
}

QString SmtpSocketClient::WrapWord(const QString& text)
{
    constexpr qsizetype kWidth = 76;
    QStringList lines;
    QString normalised = platform::MailText::toCrlf(text);
    for (QString line : normalised.split(kCrlf)) {
        while (line.size() > kWidth) {
            const qsizetype blank = line.lastIndexOf(QLatin1Char(' '), kWidth);
            if (blank > 0) {
                lines.append(line.left(blank));
                line.remove(0, blank + 1);
            } else {
                lines.append(line.left(kWidth));
                line.remove(0, kWidth);
            }
        }
        lines.append(line);
    }
    return lines.join(kCrlf);
}

void SmtpSocketClient::onConnected()
{
    m_connected = true;
    const QString text = QStringLiteral("Connected to mail server...: ") + m_settings.Host;
    emit mailLog({text});
    WriteErrorLog(text);
}

void SmtpSocketClient::onDisconnected()
{
    WriteErrorLog(QStringLiteral("Connection closed. ") + m_socket.errorString());
    m_connected = false;
    fail(QStringLiteral("The connection closed before the dialogue ended"));
}

void SmtpSocketClient::onError(QAbstractSocket::SocketError error)
{
    WriteErrorLog(QStringLiteral("Error: %1 - ").arg(static_cast<int>(error)) + m_socket.errorString());
    fail(m_socket.errorString());
}

void SmtpSocketClient::onReadyRead()
{
    const QByteArray incoming = m_socket.readAll();
    if (!m_running)
        return;   // what a server sends after the dialogue has ended is dropped
    m_received += incoming;
    // A reply may come in pieces, and may span several "ddd-" lines: only a
    // complete reply is acted upon. The bytes before m_scanned have been
    // looked at already.
    while (m_running) {
        const qsizetype lineEnd = m_received.indexOf('\n', m_scanned);
        if (lineEnd < 0) {
            m_scanned = m_received.size();
            // Even its line end would not make it fit any more.
            if (m_scanned - m_lineStart >= kMaxReplyLine)
                fail(lineTooLongText());
            return;
        }
        const qsizetype lineSize = lineEnd + 1 - m_lineStart;
        const bool continued = lineSize > 4 && m_received.at(m_lineStart + 3) == '-';
        m_lineStart = m_scanned = lineEnd + 1;
        if (lineSize > kMaxReplyLine) {
            fail(lineTooLongText());
            return;
        }
        if (++m_linesSinceCommand > kMaxReplyLines) {
            fail(QStringLiteral("The mail server sent more than %1 lines in answer to one command").arg(kMaxReplyLines));
            return;
        }
        if (continued)
            continue;
        QString reply = platform::CodePage::decode(m_received.left(m_lineStart)).trimmed();
        m_received.remove(0, m_lineStart);
        m_lineStart = m_scanned = 0;
        reply.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), kCrlf);
        onReply(reply);
    }
}

void SmtpSocketClient::onReply(const QString& reply)
{
    logReply(reply);
    const int code = replyCode(reply);
    if (code == 220) {
        m_authTimerStarted = false;
        m_authRequested = false;
        m_authStep = 0;
        if (m_SMTPAuth) {
            sendLine(QStringLiteral("EHLO local_machine"));
            logSent(QStringLiteral("EHLO "));
            logSentThenEmptyLine(QStringLiteral("EHLO ") + m_settings.Host);
            m_state = kEhloSent;
        } else {
            sendLine(QStringLiteral("HELO local_machine"));
            logSentThenEmptyLine(QStringLiteral("HELO ") + m_settings.Host);
            m_state = kHeloSent;
        }
    } else if (code == 221) {
        finish(m_state != kQuitAfterError && m_dataAccepted,
               m_state != kQuitAfterError && m_dataAccepted ? QStringLiteral("Send Message Done.")
                                                            : QStringLiteral("Disconnected from mail server after error..."));
    } else if (code == 250) {
        switch (m_state) {
        case kEhloSent:
            if (!m_authTimerStarted) {
                m_authTimerStarted = true;
                m_TimerMailAuth.start();
            }
            break;
        case kHeloSent:
            sendMailFrom();
            break;
        case kMailFromSent:
            sendCCAddress();
            if (m_addressList.isEmpty()) {
                // Nothing to send to: the server would wait for ever.
                WriteErrorLog(QStringLiteral("Error sending mail: no recipient"));
                sendQuitAfterError();
            } else {
                m_state = kRecipientsSent;
            }
            break;
        case kRecipientsSent:
            if (m_allRecipientsSent) {
                sendLine(QStringLiteral("DATA"));
                logSent(QStringLiteral("DATA "));
                m_state = kDataSent;
            } else {
                sendCCAddress();
            }
            break;
        case kMessageSent:
            m_dataAccepted = true;
            sendLine(QStringLiteral("QUIT"));
            logSentThenEmptyLine(QStringLiteral("QUIT"));
            m_state = kQuitSent;
            break;
        default:
            break;
        }
    } else if (code == 354) {
        logSent(QStringLiteral("Sending email message data ...."));
        sendMessage();
        m_state = kMessageSent;
    } else if (code == 235) {
        sendMailFrom();
    } else if (code == 334 && m_authRequested) {
        const QString& secret = m_authStep == 0 ? m_settings.SMTPUsername : m_settings.SMTPPassword;
        const QString encoded = modBase64Encode::Base64Encode(secret);
        sendLine(encoded);
        logSent(QString::number(m_authStep) + QStringLiteral(": ") + encoded);
        m_authStep = 1;
    } else if ((code >= 400 && code <= 599) || code == 334) {
        // A 432 ("password transition needed") is refused like any other, and
        // so is a challenge the client did not ask for: the login goes to no
        // server that has not been sent AUTH LOGIN.
        WriteErrorLog(QStringLiteral("Error sending mail: %1 - ").arg(code) + reply);
        logReply(reply);
        sendQuitAfterError();
    }
}

void SmtpSocketClient::onAuthTimer()
{
    m_authRequested = true;
    logSent(QStringLiteral("AUTH LOGIN "));
    sendLine(QStringLiteral("AUTH LOGIN"));
}

void SmtpSocketClient::sendLine(const QString& line)
{
    awaitReply();
    m_socket.write(platform::CodePage::encode(line + kCrlf));
}

void SmtpSocketClient::awaitReply()
{
    m_replyTimer.start();
    m_linesSinceCommand = 0;
}

void SmtpSocketClient::logSent(const QString& line)
{
    emit mailLog({m_redactor.command(line)});
}

void SmtpSocketClient::logSentThenEmptyLine(const QString& line)
{
    emit mailLog({m_redactor.command(line), QString()});
}

void SmtpSocketClient::logReply(const QString& reply)
{
    // The reply's own lines; a text in one of them stays on its line.
    emit mailLog(m_redactor.reply(reply).split(kCrlf));
}

void SmtpSocketClient::sendMailFrom()
{
    const QString line = QStringLiteral("MAIL FROM:<") + m_settings.senderAddress + QLatin1Char('>');
    sendLine(line);
    logSent(line);
    m_state = kMailFromSent;
}

void SmtpSocketClient::sendQuitAfterError()
{
    sendLine(QStringLiteral("QUIT"));
    logSentThenEmptyLine(QStringLiteral("QUIT"));
    m_state = kQuitAfterError;
}

void SmtpSocketClient::sendMessage()
{
    const bool html = m_body.left(300).toUpper().contains(QLatin1String("<HTML>"));
    m_charset = platform::MailText::charsetFor({m_body, m_subject, m_settings.senderName},
                                               html ? QStringLiteral("iso-8859-1") : QStringLiteral("us-ascii"));
    const QByteArray sender = platform::MailText::displayName(m_settings.senderName, m_charset);
    sendLine(QStringLiteral("From: ") + QString::fromLatin1(sender) + QLatin1Char('<') + m_settings.senderAddress
             + QLatin1Char('>'));
    sendLine(QStringLiteral("To: ") + m_to);
    if (!m_copy.isEmpty())
        sendLine(QStringLiteral("Cc: ") + m_copy);
    sendLine(html ? QStringLiteral("Content-Type: text/html; Charset=") + m_charset
                  : QStringLiteral("Content-Type: text/plain; charset=") + m_charset);
    sendLine(QStringLiteral("Subject: ")
             + QString::fromLatin1(platform::MailText::encodeHeaderValue(m_subject, m_charset)));
    sendLine(QStringLiteral("X-Mailer: Harrowgate"));
    sendLine(QString());

    QString rest = dotStuffed(m_body);
    while (rest.size() > kBodyPiece) {
        // A piece never ends inside a character that takes two code units.
        const qsizetype piece = rest.at(kBodyPiece - 1).isHighSurrogate() ? kBodyPiece - 1 : kBodyPiece;
        SendData(rest.left(piece));
        rest.remove(0, piece);
    }
    SendData(rest + kCrlf);
    SendData(QStringLiteral(".") + kCrlf);
}

void SmtpSocketClient::finish(bool success, const QString& errorLogLine)
{
    m_running = false;
    m_replyTimer.stop();
    m_TimerMailAuth.stop();
    emit status(success ? successText() : errorText());
    WriteErrorLog(errorLogLine);
    m_state = kEhloSent;
    m_connected = false;
    m_socket.disconnectFromHost();
    emit ended();
}

void SmtpSocketClient::fail(const QString& reason)
{
    if (!m_running)
        return;
    WriteErrorLog(QStringLiteral("Error sending mail: ") + reason);
    finish(false, QStringLiteral("Disconnected from mail server after error..."));
}
