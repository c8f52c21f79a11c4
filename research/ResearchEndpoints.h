#pragma once

#include <QString>

// The remote services keyword research talks to, as base addresses
// (scheme, host and optional port, no trailing "/"). The built-in defaults
// are the deployment's; tests point them at a loopback server.
struct ResearchEndpoints {
    QString webService;        // the program's own web service, plain http (refresh token)
    QString secureWebService;  // the same service over https (developer token)
    QString tokenEndpoint;     // the identity provider's OAuth 2.0 token address, whole
    QString apiHost;           // the ad platform's API host

    QString refreshTokenUrl() const { return webService + QStringLiteral("/token/oauthtoken.txt"); }
    QString developerTokenUrl() const { return secureWebService + QStringLiteral("/secure/gapi.asp"); }
    QString targetingIdeaServiceUrl() const
    {
        return apiHost + QStringLiteral("/api/adwords/o/v201809/TargetingIdeaService");
    }

    static ResearchEndpoints builtIn();
};

// The endpoints in use: the built-in ones unless replaced.
const ResearchEndpoints& researchEndpoints();
void setResearchEndpoints(const ResearchEndpoints& endpoints);
