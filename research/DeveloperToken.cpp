#include "research/DeveloperToken.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "platform/Delay.h"
#include "platform/HttpClient.h"
#include "research/HttpConnection.h"
#include "research/ResearchEndpoints.h"
#include "settings/clsRegister.h"

namespace DeveloperToken {

namespace {

constexpr int kTimeoutMs = 120000;
constexpr int kRetryDelaySeconds = 2;

} // namespace

QString PostPage(const QString& url, const QString& body)
{
    platform::HttpClient httpToken;
    prepareBlockingRequest(httpToken, url, kTimeoutMs);
    QString reply = httpToken.post(body.toUtf8());
    if (!httpToken.errorString().isEmpty() || reply.isEmpty()) {
        platform::Delay(kRetryDelaySeconds);
        reply = httpToken.post(body.toUtf8());
    }
    return httpToken.errorString().isEmpty() ? reply : QString();
}

void GetGoogleToken()
{
    if (!g_oRegister)
        return;
    const QString reply = PostPage(researchEndpoints().developerTokenUrl(),
                                   QStringLiteral("service=gettoken&dealerid=") + g_oRegister->DealerID());
    if (!reply.startsWith(QLatin1String("100"))) {
        ErrorLog::WriteErrorLog(QStringLiteral("frmRegister_GetGTK_Failed: ") + reply);
        return;
    }
    const QString token = Conversions::Trim(reply.mid(3));
    BuiltInDeveloperToken = token;
    g_oRegister->setTarnwellGoogleAPIToken(token);
    g_oRegister->SaveSettings();
    ErrorLog::WriteErrorLog(QStringLiteral("frmRegister_GetGTK successfully"));
}

} // namespace DeveloperToken
