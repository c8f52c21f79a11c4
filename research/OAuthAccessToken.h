#pragma once

#include "platform/HttpClient.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QEventLoop;

// The OAuth 2.0 access token that every keyword research request carries
// as "Authorization: Bearer <token>". The research window owns one for its
// lifetime: before its first request it fetches a refresh token from the
// program's own web service and exchanges it at the identity provider's
// token endpoint (refresh-token grant); the access token then serves every
// later request of that window and is never stored. Both requests go
// through the user's proxy settings; each gives up after the time-out.
// No token text is ever written to Error.log.
class OAuthAccessToken : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultTimeoutMs = 30000;

    explicit OAuthAccessToken(int timeoutMs = kDefaultTimeoutMs, QObject* parent = nullptr);

    // Starts fetching the access token and returns at once; fetched()
    // follows from the event loop when the fetch has ended, token() then
    // being the token, or still "" when a step failed (logged). Returns
    // false, and starts nothing, when a token is held or a fetch runs.
    bool startFetch();
    // Stops a running fetch: its requests end, no fetched() follows and no
    // token is kept. Does nothing when no fetch runs.
    void cancel();
    bool isFetching() const { return m_step != Step::None; }

    // Blocking use, for callers without a window: fetches when no token is
    // held yet, waiting without user input until the fetch has ended.
    void GetoAuthToken();
    // Blocking use: the refresh-token grant alone. Every value of the form
    // is percent-encoded. Returns the access token of its reply, or "";
    // token() is that result from then on.
    QString GetAccessToken(const QString& refreshToken);

    QString token() const { return m_token; }

    // The access token of a token-endpoint reply: the string value of the
    // key "access_token" of the JSON object that a whole 2xx reply holds,
    // and only a value of the characters a bearer token is made of (letters,
    // digits, "-._~+/" and trailing "="), so that nothing else can ride on
    // the Authorization header. Anything else gives "" and says why in
    // *why (without the reply's text).
    static QString accessTokenOf(int status, const QByteArray& body, QString* why);

    // The built-in client credentials of the program's registration at the
    // identity provider.
    static QString clientId();
    static QString clientSecret();

signals:
    // A fetch started by startFetch (or GetoAuthToken) has ended.
    void fetched();

private:
    enum class Step { None, RefreshToken, Grant };

    void prepare(const QString& url);
    void requestRefreshToken();
    void postGrant(const QString& refreshToken);
    void onRequestCompleted();
    QString refreshTokenOfReply();
    QString accessTokenOfReply();
    void waitUntilFetched();
    void endWait();

    platform::HttpClient m_HttpLogin;
    int m_timeoutMs;
    Step m_step = Step::None;
    QEventLoop* m_wait = nullptr;  // the blocking callers' wait, while one runs
    QString m_token;
};
