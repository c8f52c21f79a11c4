#include "research/HttpConnection.h"

#include "core/ErrorLog.h"
#include "platform/HttpClient.h"
#include "settings/clsConnect.h"

void applyHttpProperties(platform::HttpClient& http, const HttpProperties& properties)
{
    if (!platform::HttpClient::isHeaderText(properties.userAgent))
        ErrorLog::WriteErrorLog(QStringLiteral("HttpConnection_SetHttpProperties error:  the UserAgent setting "
                                                "holds a line break or NUL: requests that send it are refused"));
    http.setUrl(properties.url);
    http.setUserAgent(properties.userAgent);
    http.setTimeout(properties.timeOut);
    http.setProxy(properties.proxy);
    http.setProxyUserName(properties.proxyUser);
    http.setProxyPassword(properties.proxyPassword);
}

void prepareBlockingRequest(platform::HttpClient& http, const QString& url, int timeoutMs)
{
    clsConnect connection;
    connection.setTimeOut(timeoutMs);
    HttpProperties properties;
    connection.SetHttpProperties(properties, url);
    applyHttpProperties(http, properties);
}
