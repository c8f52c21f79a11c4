#include "platform/SmtpTransfer.h"

#include "platform/SmtpMime.h"

#include <curl/curl.h>

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <sys/socket.h>
#include <unistd.h>
#include <stdexcept>

namespace platform {

namespace {

struct EasyFree {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiFree {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

constexpr int kPollMilliseconds = 1000;
// libcurl's own time-outs only back up the transfer's: they come later, for
// after one of them libcurl would still send QUIT and wait once more.
constexpr long kBackupSeconds = 5;

int debugCallback(CURL*, curl_infotype type, char* data, size_t size, void* transfer)
{
    static_cast<SmtpTransfer*>(transfer)->onDebug(type, data, size);
    return 0;
}

curl_socket_t openSocketCallback(void* transfer, curlsocktype, curl_sockaddr* address)
{
    return static_cast<SmtpTransfer*>(transfer)->openSocket(address->family, address->socktype, address->protocol);
}

int closeSocketCallback(void* transfer, curl_socket_t socket)
{
    return static_cast<SmtpTransfer*>(transfer)->closeSocket(socket);
}

int progressCallback(void* transfer, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent)
{
    return static_cast<SmtpTransfer*>(transfer)->onProgress(sent) ? 0 : 1;
}

template <typename T>
void set(CURL* easy, CURLoption option, T value)
{
    const CURLcode code = curl_easy_setopt(easy, option, value);
    if (code != CURLE_OK)
        throw std::runtime_error(curl_easy_strerror(code));
}

// The lines of a chunk of the dialogue, without their line ends.
QStringList lines(const char* data, size_t size)
{
    QStringList result;
    const QString text = QString::fromUtf8(data, static_cast<qsizetype>(size));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QString clean = line;
        if (clean.endsWith(QLatin1Char('\r')))
            clean.chop(1);
        if (!clean.isEmpty())
            result.append(clean);
    }
    return result;
}

std::unique_ptr<CURLU, UrlFree> serverUrl(const SmtpMessage& message)
{
    QString host = message.server.trimmed();
    if (host.isEmpty())
        throw std::runtime_error("No mail server given");
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    std::unique_ptr<CURLU, UrlFree> url(curl_url());
    const char* scheme = message.security == SmtpSecurity::ImplicitTls ? "smtps" : "smtp";
    if (curl_url_set(url.get(), CURLUPART_SCHEME, scheme, 0) != CURLUE_OK
        || curl_url_set(url.get(), CURLUPART_HOST, host.toUtf8().constData(), 0) != CURLUE_OK)
        throw std::runtime_error("Invalid mail server name: " + host.toStdString());
    if (message.port > 0
        && curl_url_set(url.get(), CURLUPART_PORT, QByteArray::number(message.port).constData(), 0) != CURLUE_OK)
        throw std::runtime_error("Invalid mail server port");
    return url;
}

} // namespace

SmtpTransfer::SmtpTransfer(SmtpMessage message)
    : m_message(std::move(message))
{
}

void SmtpTransfer::run()
{
    Outcome outcome;
    try {
        outcome = perform();
    } catch (const std::exception& e) {
        // The send could not be set up (no server, an unreadable setting).
        outcome = {false, CURLE_FAILED_INIT, QString::fromUtf8(e.what())};
    }
    emit finished(outcome.ok, outcome.code, outcome.description);
}

void SmtpTransfer::abort()
{
    m_aborted = true;
    shutDownSockets();
}

void SmtpTransfer::shutDownSockets()
{
    const QMutexLocker lock(&m_lock);
    for (const int socket : std::as_const(m_sockets))
        ::shutdown(socket, SHUT_RDWR);
    if (m_multi)
        curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

int SmtpTransfer::openSocket(int family, int type, int protocol)
{
    const QMutexLocker lock(&m_lock);
    if (m_aborted)
        return CURL_SOCKET_BAD;
    const int socket = ::socket(family, type | SOCK_CLOEXEC, protocol);
    if (socket >= 0)
        m_sockets.append(socket);
    return socket >= 0 ? socket : CURL_SOCKET_BAD;
}

int SmtpTransfer::closeSocket(int socket)
{
    // Closed under the lock, so that abort() never shuts down a number that
    // has been handed out again.
    const QMutexLocker lock(&m_lock);
    m_sockets.removeOne(socket);
    return ::close(socket);
}

SmtpTransfer::Outcome SmtpTransfer::perform()
{
    // Declared first so that they outlive the easy handle that uses them.
    SmtpMime::Slist recipients;
    SmtpMime::Slist headers;
    SmtpMime::Body body;
    std::unique_ptr<CURLU, UrlFree> url = serverUrl(m_message);
    char errorText[CURL_ERROR_SIZE] = {};

    std::unique_ptr<CURL, EasyFree> easy(curl_easy_init());
    if (!easy)
        throw std::runtime_error("The mail transport could not start");
    CURL* h = easy.get();
    set(h, CURLOPT_NOSIGNAL, 1L);
    // An abort does not wait for a name lookup that hangs: its thread is
    // left to end by itself.
    set(h, CURLOPT_QUICK_EXIT, 1L);
    set(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    set(h, CURLOPT_CURLU, url.get());
    set(h, CURLOPT_ERRORBUFFER, errorText);
    set(h, CURLOPT_USE_SSL, static_cast<long>(m_message.security == SmtpSecurity::StartTls ? CURLUSESSL_ALL
                                                                                           : CURLUSESSL_NONE));
    if (!m_message.caFile.isEmpty())
        set(h, CURLOPT_CAINFO, QFile::encodeName(m_message.caFile).constData());
    const long backup = m_message.timeOutSeconds + kBackupSeconds;
    set(h, CURLOPT_CONNECTTIMEOUT, backup);
    set(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, backup);
    set(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(h, CURLOPT_LOW_SPEED_TIME, backup);
    // One connection per message, closed with QUIT.
    set(h, CURLOPT_FORBID_REUSE, 1L);
    if (!m_message.userName.isEmpty()) {
        set(h, CURLOPT_USERNAME, m_message.userName.toUtf8().constData());
        set(h, CURLOPT_PASSWORD, m_message.password.toUtf8().constData());
    }

    set(h, CURLOPT_MAIL_FROM, ('<' + m_message.fromAddr.toUtf8() + '>').constData());
    for (const SmtpRecipient& r : m_message.recipients)
        SmtpMime::append(recipients, '<' + r.address.toUtf8() + '>');
    set(h, CURLOPT_MAIL_RCPT, recipients.get());
    const QString charset = SmtpMime::charsetOf(m_message);
    headers = SmtpMime::headerLines(m_message, charset);
    set(h, CURLOPT_HTTPHEADER, headers.get());
    body = SmtpMime::build(h, m_message, charset);
    m_estimatedSize = body.estimatedSize;
    set(h, CURLOPT_MIMEPOST, body.mime.get());
    set(h, CURLOPT_UPLOAD, 1L);

    set(h, CURLOPT_VERBOSE, 1L);
    set(h, CURLOPT_DEBUGFUNCTION, debugCallback);
    set(h, CURLOPT_DEBUGDATA, this);
    set(h, CURLOPT_OPENSOCKETFUNCTION, openSocketCallback);
    set(h, CURLOPT_OPENSOCKETDATA, this);
    set(h, CURLOPT_CLOSESOCKETFUNCTION, closeSocketCallback);
    set(h, CURLOPT_CLOSESOCKETDATA, this);
    set(h, CURLOPT_NOPROGRESS, 0L);
    set(h, CURLOPT_XFERINFOFUNCTION, progressCallback);
    set(h, CURLOPT_XFERINFODATA, this);

    std::unique_ptr<CURLM, MultiFree> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), h) != CURLM_OK)
        throw std::runtime_error("The mail transport could not start");
    {
        const QMutexLocker lock(&m_lock);
        m_multi = multi.get();
    }
    m_lastSentAt.start();
    int running = 1;
    while (running && !m_aborted) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK)
            break;
        if (running && !m_aborted)
            curl_multi_poll(multi.get(), nullptr, 0, kPollMilliseconds, nullptr);
    }
    CURLcode result = m_aborted ? CURLE_ABORTED_BY_CALLBACK : CURLE_SEND_ERROR;
    int pending = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &pending)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    {
        const QMutexLocker lock(&m_lock);
        m_multi = nullptr;
    }
    // Removing an unfinished transfer drops its connection without QUIT.
    curl_multi_remove_handle(multi.get(), h);

    if (result == CURLE_OK)
        return {true, 0, QString()};
    if (m_aborted)
        return {false, CURLE_ABORTED_BY_CALLBACK, QStringLiteral("Send aborted")};
    if (m_timedOut)
        return {false, CURLE_OPERATION_TIMEDOUT,
                QStringLiteral("The mail server did not answer within %1 seconds").arg(m_message.timeOutSeconds)};
    long replyCode = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &replyCode);
    if (replyCode >= 400 && replyCode < 600 && !m_lastRefusal.isEmpty())
        return {false, static_cast<int>(replyCode), m_lastRefusal};
    const QString detail = QString::fromUtf8(errorText);
    return {false, result, detail.isEmpty() ? QString::fromUtf8(curl_easy_strerror(result)) : detail};
}

void SmtpTransfer::onDebug(int type, const char* data, size_t size)
{
    if (type == CURLINFO_HEADER_OUT || type == CURLINFO_DATA_OUT || type == CURLINFO_SSL_DATA_OUT)
        m_lastSentAt.start();
    switch (type) {
    case CURLINFO_TEXT:
        for (const QString& line : lines(data, size)) {
            // The TLS handshake's record-by-record notes say nothing a user needs.
            if (!line.startsWith(QLatin1String("TLSv")))
                emit note(line.trimmed());
        }
        break;
    case CURLINFO_HEADER_OUT:
        for (const QString& line : lines(data, size)) {
            const QString shown = m_redactor.command(line);
            if (m_message.reportDialogue)
                emit commandSent(shown);
        }
        break;
    case CURLINFO_HEADER_IN:
        for (const QString& line : lines(data, size))
            onReplyLine(line);
        break;
    default:
        break;   // the message data and the TLS records are not reported
    }
}

void SmtpTransfer::onReplyLine(const QString& line)
{
    const QString shown = m_redactor.reply(line);
    if (line.startsWith(QLatin1Char('4')) || line.startsWith(QLatin1Char('5')))
        m_lastRefusal = shown;
    if (!m_greeted) {
        m_greeted = true;
        if (line.startsWith(QLatin1String("220")))
            emit connected();
    } else if (line.startsWith(QLatin1String("235"))) {
        emit authenticated();
    }
    if (m_message.reportDialogue)
        emit replyReceived(shown);
}

bool SmtpTransfer::onProgress(qint64 sent)
{
    if (m_lastSentAt.hasExpired(m_message.timeOutSeconds * qint64(1000))) {
        // The server is gone: the connection is shut down before libcurl
        // could send it a QUIT and wait for the answer all over again.
        m_timedOut = true;
        shutDownSockets();
        return false;
    }
    if (m_message.reportProgress && sent != m_lastSent) {
        m_lastSent = sent;
        emit progress(sent, std::max(m_estimatedSize, sent));
    }
    return true;
}

} // namespace platform
