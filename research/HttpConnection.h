#pragma once

struct HttpProperties;

namespace platform {
class HttpClient;
}

// Puts the connection settings that clsConnect::SetHttpProperties (or the
// transport window) gathered onto a client: address, user agent, time-out,
// proxy and proxy login. The cache and security flags have no counterpart:
// every request is a fresh one, and https is checked as the system checks
// it.
void applyHttpProperties(platform::HttpClient& http, const HttpProperties& properties);
