#include "platform/HttpClient.h"

#include <QAuthenticator>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QUrl>

#include <utility>

namespace platform {

namespace {

struct HeaderLine {
    QByteArray name;
    QByteArray value;
};

// "Name: value" with its trailing line break removed; false for a line
// that has no name or still holds a line break or NUL.
bool parseHeaderLine(const QString& line, HeaderLine& header)
{
    QString text = line;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0 || !HttpClient::isHeaderText(text))
        return false;
    header.name = text.left(colon).trimmed().toLatin1();
    header.value = text.mid(colon + 1).trimmed().toUtf8();
    return !header.name.isEmpty();
}

QNetworkProxy proxyFor(const QString& hostAndPort, const QString& user, const QString& password)
{
    if (hostAndPort.isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const qsizetype colon = hostAndPort.lastIndexOf(QLatin1Char(':'));
    const QString host = colon < 0 ? hostAndPort : hostAndPort.left(colon);
    const quint16 port = colon < 0 ? 0 : hostAndPort.mid(colon + 1).toUShort();
    return QNetworkProxy(QNetworkProxy::HttpProxy, host, port, user, password);
}

// The charset parameter of a Content-Type value, or "".
QByteArray charsetOf(const QByteArray& contentType)
{
    const qsizetype at = contentType.toLower().indexOf("charset=");
    if (at < 0)
        return QByteArray();
    QByteArray charset = contentType.mid(at + 8);
    const qsizetype end = charset.indexOf(';');
    if (end >= 0)
        charset.truncate(end);
    charset = charset.trimmed();
    if (charset.startsWith('"') && charset.endsWith('"') && charset.size() >= 2)
        charset = charset.mid(1, charset.size() - 2);
    return charset;
}

// A reply that ended in a network-layer or protocol failure was cut short
// even when its status line arrived; an HTTP error status (400, 404, 407,
// 500) is a whole reply. Qt reports a whole reply with an error status as an
// error of its own, and the one for 400 lies among the protocol failures:
// that one is told apart by its status.
bool cutShort(QNetworkReply::NetworkError error, int status)
{
    if (error == QNetworkReply::ProtocolInvalidOperationError && status == 400)
        return false;
    return (error > QNetworkReply::NoError && error <= QNetworkReply::UnknownNetworkError)
        || (error >= QNetworkReply::ProtocolUnknownError && error <= QNetworkReply::ProtocolFailure);
}

// True when fewer bytes came than the reply's Content-Length announced. An
// error status that breaks off midway is not always told by a network error:
// Qt may end it with the status's error alone, as if it were whole. A body Qt
// unpacked (Content-Encoding) has another length than the one announced, so
// only a plain body is measured.
bool shorterThanAnnounced(const QNetworkReply& reply, qsizetype received)
{
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed();
    if (!encoding.isEmpty() && encoding.compare("identity", Qt::CaseInsensitive) != 0)
        return false;
    const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
    return length.isValid() && received < length.toLongLong();
}

} // namespace

bool HttpClient::isHeaderText(QStringView text)
{
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')) && !text.contains(QChar(0));
}

HttpClient::HttpClient(QObject* parent)
    : QObject(parent)
    , m_manager(std::make_unique<QNetworkAccessManager>())
{
    // Qt answers a proxy's Basic challenge itself from the login set on the
    // proxy; when that is missing or refused it asks here, and leaving the
    // authenticator empty ends the request with the proxy's 407 instead of
    // waiting for a login that never comes.
    connect(m_manager.get(), &QNetworkAccessManager::proxyAuthenticationRequired, this,
            [](const QNetworkProxy&, QAuthenticator*) {});
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("Time out: no whole reply within %1 ms").arg(m_timeoutMs)); });
}

HttpClient::~HttpClient()
{
    dropReply();
}

void HttpClient::startGet(const QStringList& headerLines)
{
    start("GET", QByteArray(), headerLines);
}

void HttpClient::startPost(const QByteArray& body, const QStringList& headerLines)
{
    start("POST", body, headerLines);
}

QString HttpClient::get(const QStringList& headerLines)
{
    startGet(headerLines);
    return waitForCompletion();
}

QString HttpClient::post(const QByteArray& body, const QStringList& headerLines)
{
    startPost(body, headerLines);
    return waitForCompletion();
}

void HttpClient::start(const QByteArray& verb, const QByteArray& body, const QStringList& headerLines)
{
    dropReply();
    ++m_request;
    m_state = Sending;
    m_status = 0;
    m_body.clear();
    m_contentType.clear();
    m_error.clear();
    if (!isHeaderText(m_userAgent)) {
        // Sent, it would end its line early and start lines of its own.
        m_error = QStringLiteral("Request refused: the user agent holds a line break or NUL");
        completeLater();
        return;
    }

    m_manager->setProxy(proxyFor(m_proxy, m_proxyUserName, m_proxyPassword));
    QNetworkRequest request{QUrl(m_url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("User-Agent", m_userAgent.toUtf8());
    const bool post = verb == "POST";
    QByteArray lengthName = "Content-Length";
    for (const QString& line : headerLines) {
        HeaderLine header;
        if (!parseHeaderLine(line, header))
            continue;
        if (header.name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            lengthName = header.name;
        else
            request.setRawHeader(header.name, header.value);
    }
    if (post) {
        request.setRawHeader(lengthName, QByteArray::number(body.size()));
        if (!request.hasRawHeader("Content-Type"))
            request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    }

    m_reply = post ? m_manager->post(request, body) : m_manager->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpClient::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpClient::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpClient::onFinished);
    if (m_timeoutMs > 0)
        m_deadline.start(m_timeoutMs);
}

QString HttpClient::waitForCompletion()
{
    QPointer<HttpClient> self(this);
    QEventLoop loop;
    connect(this, &HttpClient::requestCompleted, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return self ? replyText() : QString();
}

void HttpClient::abort()
{
    if (!m_reply)
        return;
    fail(QStringLiteral("Aborted"));
    m_state = Aborted;
}

// Ends the running request with error; what arrived so far stays.
void HttpClient::fail(const QString& error)
{
    dropReply();
    m_error = error;
    completeLater();
}

void HttpClient::tooLarge()
{
    m_body.clear();
    fail(QStringLiteral("Reply too large: over %1 bytes").arg(m_maxReplyBytes));
}

QString HttpClient::replyText() const
{
    const QByteArray charset = charsetOf(m_contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(m_body);
    }
    return QString::fromUtf8(m_body);
}

void HttpClient::onMetaData()
{
    m_status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_contentType = m_reply->rawHeader("Content-Type");
    if (m_status != 0)
        m_state = Receiving;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_maxReplyBytes)
        tooLarge();
}

// Reads what arrived; false when the body grew over the limit (the request has ended).
bool HttpClient::readArrived()
{
    if (m_reply->bytesAvailable() > m_maxReplyBytes - m_body.size()) {
        tooLarge();
        return false;
    }
    m_body += m_reply->readAll();
    return true;
}

void HttpClient::onReadyRead()
{
    // Read as it comes: after an abort or a time-out the reply has nothing left to read.
    if (!readArrived())
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    Q_EMIT progress(m_body.size(), length.isValid() ? length.toLongLong() : -1);
}

void HttpClient::onFinished()
{
    if (m_reply->isOpen() && !readArrived())
        return;
    if (m_status == 0) {
        onMetaData();
        if (!m_reply)
            return;
    }
    if (m_status == 0 || cutShort(m_reply->error(), m_status))
        m_error = m_reply->errorString();
    else if (shorterThanAnnounced(*m_reply, m_body.size()))
        m_error = QStringLiteral("Connection closed after %1 of the %2 bytes of the reply")
                      .arg(m_body.size())
                      .arg(m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    dropReply();
    completeLater();
}

void HttpClient::dropReply()
{
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    // Disconnected first: Qt reports an abort through finished at once.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void HttpClient::completeLater()
{
    QMetaObject::invokeMethod(
        this,
        [this, request = m_request] {
            if (request != m_request)
                return;
            m_state = Idle;
            Q_EMIT requestCompleted();
        },
        Qt::QueuedConnection);
}

} // namespace platform
