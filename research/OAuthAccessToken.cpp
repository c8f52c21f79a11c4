#include "research/OAuthAccessToken.h"

#include "core/modCommon.h"
#include "core/modDSSock.h"
#include "research/HttpConnection.h"
#include "research/ResearchEndpoints.h"

#include <QUrl>

namespace {

const QString kUserAgent = QStringLiteral("PPCRavelin");

QString formValue(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); }

} // namespace

OAuthAccessToken::OAuthAccessToken(int timeoutMs)
    : m_timeoutMs(timeoutMs)
{
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

void OAuthAccessToken::GetoAuthToken()
{
    if (!m_token.isEmpty())
        return;
    // A line break or blank around the token would become part of the grant.
    const QString refreshToken = HTTPGetURL(researchEndpoints().refreshTokenUrl()).trimmed();
    if (refreshToken.isEmpty())
        return;
    modCommon::WriteErrorLog(QStringLiteral("frmKeywordBuilder_ClientLogin: get oAuthToken by web server successfully"));
    m_token = GetAccessToken(refreshToken);
}

QString OAuthAccessToken::HTTPGetURL(const QString& url)
{
    prepare(url);
    const QString reply = m_HttpLogin.get({QStringLiteral("Content-type: text/html")});
    QString error = m_HttpLogin.errorString();
    const int status = m_HttpLogin.statusCode();
    if (error.isEmpty() && (status < 200 || status > 299))
        error = QStringLiteral("HTTP status ") + QString::number(status);
    if (error.isEmpty())
        return reply;
    modCommon::WriteErrorLog(QStringLiteral("frmKeywordBuilder_HTTPGetURL error:  ") + error);
    return QString();
}

QString OAuthAccessToken::PostFormToServer(const QString& url, const QString& body)
{
    prepare(url);
    const QString reply =
        m_HttpLogin.post(body.toUtf8(), {QStringLiteral("Content-type: application/x-www-form-urlencoded")});
    if (!reply.isEmpty())
        return reply;
    modCommon::WriteErrorLog(QStringLiteral("frmKeywordBuilder_PostToServer error:  ") + m_HttpLogin.errorString());
    return QString();
}

QString OAuthAccessToken::GetAccessToken(const QString& refreshToken)
{
    const QString body = QStringLiteral("client_id=") + formValue(clientId()) + QStringLiteral("&client_secret=")
        + formValue(clientSecret()) + QStringLiteral("&grant_type=refresh_token&refresh_token=")
        + formValue(refreshToken);
    const QString reply = PostFormToServer(researchEndpoints().tokenEndpoint, body);
    if (reply.isEmpty())
        return QString();
    // The reply is a JSON object; its pairs are split as a one-row list.
    QString tokenItem;
    const QList<QStringList> rows = modDSSock::ParseArrayString(reply);
    if (!rows.isEmpty()) {
        for (const QString& item : rows.first())
            if (item.contains(QLatin1String("access_token"), Qt::CaseInsensitive))
                tokenItem = item;
    }
    return modDSSock::GetValueText(tokenItem).trimmed();
}
