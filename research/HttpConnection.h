#pragma once

#include <QString>

struct HttpProperties;

namespace platform {
class HttpClient;
}

// Puts the connection settings that clsConnect::SetHttpProperties (or the
// transport window) gathered onto a client: address, user agent, time-out,
// proxy and proxy login. A user agent that cannot be sent (a line break or
// NUL in it: the client refuses every request that would send it) is
// logged. The cache and security flags have no counterpart:
// every request is a fresh one, and https is checked as the system checks
// it.
void applyHttpProperties(platform::HttpClient& http, const HttpProperties& properties);

// Readies a client for a blocking request to url with the user's
// connection settings (clsConnect::SetHttpProperties: user agent, proxy
// and its login) and a time-out in milliseconds, so that a server that
// says nothing cannot hold the caller.
void prepareBlockingRequest(platform::HttpClient& http, const QString& url, int timeoutMs);
