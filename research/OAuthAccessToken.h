#pragma once

#include "platform/HttpClient.h"

#include <QString>

// The OAuth 2.0 access token that every keyword research request carries
// as "Authorization: Bearer <token>". The research window owns one for its
// lifetime: before its first request it fetches a refresh token from the
// program's own web service and exchanges it at the identity provider's
// token endpoint (refresh-token grant); the access token then serves every
// later request of that window and is never stored. Both requests are
// blocking (the window waits, without user input) and go through the
// user's proxy settings; each gives up after the time-out.
// No token text is ever written to Error.log.
class OAuthAccessToken
{
public:
    static constexpr int kDefaultTimeoutMs = 30000;

    explicit OAuthAccessToken(int timeoutMs = kDefaultTimeoutMs);

    // Fetches the access token when none is held yet; afterwards token()
    // is the token, or still "" when a step failed (logged).
    void GetoAuthToken();
    QString token() const { return m_token; }

    // A blocking GET: the reply body of a 2xx reply, else "" (logged).
    QString HTTPGetURL(const QString& url);
    // A blocking form POST: the reply body, whatever its status; "" when
    // none came (logged).
    QString PostFormToServer(const QString& url, const QString& body);
    // The refresh-token grant at the token endpoint: the "access_token" of
    // its reply, or "". Every value of the form is percent-encoded.
    QString GetAccessToken(const QString& refreshToken);

    // The built-in client credentials of the program's registration at the
    // identity provider.
    static QString clientId();
    static QString clientSecret();

private:
    void prepare(const QString& url);

    platform::HttpClient m_HttpLogin;
    int m_timeoutMs;
    QString m_token;
};
