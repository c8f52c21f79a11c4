#include "research/OAuthAccessToken.h"

#include "core/ErrorLog.h"
#include "research/HttpConnection.h"
#include "research/ResearchEndpoints.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <QUrl>

namespace {

const QString kUserAgent = QStringLiteral("PPCRavelin");

QString formValue(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); }

bool isSuccess(int status) { return status >= 200 && status <= 299; }

// The characters of an OAuth 2.0 bearer token.
bool isBearerToken(const QString& token)
{
    static const QRegularExpression bearer(QStringLiteral("^[A-Za-z0-9._~+/-]+=*$"));
    return bearer.match(token).hasMatch();
}

} // namespace

OAuthAccessToken::OAuthAccessToken(int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_timeoutMs(timeoutMs)
{
    connect(&m_HttpLogin, &platform::HttpClient::requestCompleted, this, &OAuthAccessToken::onRequestCompleted);
}

QString OAuthAccessToken::clientId()
{
    return QStringLiteral("483920175264-k3j9q2m7x5v8b1n4c6z0w2e8r5t7y9u3.apps.googleusercontent.com");
}

QString OAuthAccessToken::clientSecret() { return QStringLiteral("Xq7Lp-RtVwKe3NbZuYcHsMaD"); }

void OAuthAccessToken::prepare(const QString& url)
{
    prepareBlockingRequest(m_HttpLogin, url, m_timeoutMs);
    m_HttpLogin.setUserAgent(kUserAgent);
}

bool OAuthAccessToken::startFetch()
{
    if (!m_token.isEmpty() || isFetching())
        return false;
    requestRefreshToken();
    return true;
}

void OAuthAccessToken::cancel()
{
    if (!isFetching())
        return;
    // The aborted request's completion finds no step to go on with.
    m_step = Step::None;
    m_HttpLogin.abort();
    ErrorLog::WriteErrorLog(QStringLiteral("frmKeywordBuilder_GetoAuthToken: cancelled"));
    endWait();
}

void OAuthAccessToken::GetoAuthToken()
{
    if (startFetch())
        waitUntilFetched();
}

QString OAuthAccessToken::GetAccessToken(const QString& refreshToken)
{
    cancel();
    postGrant(refreshToken);
    waitUntilFetched();
    return m_token;
}

void OAuthAccessToken::waitUntilFetched()
{
    if (!isFetching())
        return;
    QEventLoop loop;
    m_wait = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_wait = nullptr;
}

void OAuthAccessToken::endWait()
{
    if (m_wait)
        m_wait->quit();
}

void OAuthAccessToken::requestRefreshToken()
{
    m_step = Step::RefreshToken;
    prepare(researchEndpoints().refreshTokenUrl());
    m_HttpLogin.startGet({QStringLiteral("Content-type: text/html")});
}

void OAuthAccessToken::postGrant(const QString& refreshToken)
{
    m_step = Step::Grant;
    const QString body = QStringLiteral("client_id=") + formValue(clientId()) + QStringLiteral("&client_secret=")
        + formValue(clientSecret()) + QStringLiteral("&grant_type=refresh_token&refresh_token=")
        + formValue(refreshToken);
    prepare(researchEndpoints().tokenEndpoint);
    m_HttpLogin.startPost(body.toUtf8(), {QStringLiteral("Content-type: application/x-www-form-urlencoded")});
}

void OAuthAccessToken::onRequestCompleted()
{
    switch (m_step) {
    case Step::None:
        return;  // the request of a cancelled fetch
    case Step::RefreshToken: {
        const QString refreshToken = refreshTokenOfReply();
        if (!refreshToken.isEmpty()) {
            ErrorLog::WriteErrorLog(
                QStringLiteral("frmKeywordBuilder_ClientLogin: get oAuthToken by web server successfully"));
            postGrant(refreshToken);
            return;
        }
        break;
    }
    case Step::Grant:
        m_token = accessTokenOfReply();
        break;
    }
    m_step = Step::None;
    endWait();
    Q_EMIT fetched();
}

// The refresh token: the whole body of a whole 2xx reply, without the line
// break or blanks around it (they would become part of the grant).
QString OAuthAccessToken::refreshTokenOfReply()
{
    QString error = m_HttpLogin.errorString();
    const int status = m_HttpLogin.statusCode();
    if (error.isEmpty() && !isSuccess(status))
        error = QStringLiteral("HTTP status ") + QString::number(status);
    if (error.isEmpty())
        return m_HttpLogin.replyText().trimmed();
    ErrorLog::WriteErrorLog(QStringLiteral("frmKeywordBuilder_HTTPGetURL error:  ") + error);
    return QString();
}

QString OAuthAccessToken::accessTokenOfReply()
{
    const QByteArray body = m_HttpLogin.replyBody();
    const int status = m_HttpLogin.statusCode();
    // A whole refusal without a body is told by its status, as one with a body is.
    if (!m_HttpLogin.errorString().isEmpty() || (body.isEmpty() && isSuccess(status))) {
        // No whole reply came: whatever part of one arrived is no token.
        ErrorLog::WriteErrorLog(QStringLiteral("frmKeywordBuilder_PostToServer error:  ")
                                + m_HttpLogin.errorString());
        return QString();
    }
    QString why;
    const QString token = accessTokenOf(status, body, &why);
    if (token.isEmpty())
        ErrorLog::WriteErrorLog(QStringLiteral("frmKeywordBuilder_GetAccessToken_Error: ") + why);
    return token;
}

QString OAuthAccessToken::accessTokenOf(int status, const QByteArray& body, QString* why)
{
    auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return QString();
    };
    if (!isSuccess(status))
        return refuse(QStringLiteral("HTTP status ") + QString::number(status));
    QJsonParseError error;
    const QJsonDocument reply = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("the reply is not JSON: ") + error.errorString());
    if (!reply.isObject())
        return refuse(QStringLiteral("the reply is not a JSON object"));
    const QJsonValue value = reply.object().value(QLatin1String("access_token"));
    if (!value.isString())
        return refuse(QStringLiteral("the reply has no access_token text"));
    const QString token = value.toString();
    if (!isBearerToken(token))
        return refuse(QStringLiteral("the reply's access_token is not a bearer token"));
    return token;
}
