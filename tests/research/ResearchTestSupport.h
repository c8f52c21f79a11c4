#pragma once

#include "research/ResearchEndpoints.h"

#include "ScriptedHttpServer.h"
#include "SettingsFixture.h"

#include <QString>

#include <initializer_list>
#include <utility>

using Setting = std::pair<const char*, QString>;

// Stores the preferences: "TimeDelay" 0 (its default is 3 s) unless given.
inline void putPreferences(std::initializer_list<Setting> settings)
{
    testsettings::storePreference(QStringLiteral("TimeDelay"), QStringLiteral("0"));
    for (const Setting& s : settings)
        testsettings::storePreference(QString::fromLatin1(s.first), s.second);
}

// One entry of a keyword-ideas reply: keyword, competition and volume data items.
inline QString ideaEntry(const QString& keyword, const QString& competition, const QString& volume)
{
    auto item = [](const QString& key, const QString& value) {
        return "<data><key>" + key + "</key><value><Attribute.Type>T</Attribute.Type><value>" + value
            + "</value></value></data>";
    };
    return "<entries>" + item("KEYWORD_TEXT", keyword) + item("COMPETITION", competition)
        + item("SEARCH_VOLUME", volume) + "</entries>";
}

// A keyword-ideas reply of three ideas whose keyword, competition and
// volume orders all differ: red shoes 0.9 45000, boots 0.2 900, shoes 0.5 12000.
inline QByteArray threeIdeas()
{
    return ("<soap:Envelope xmlns:soap=\"urn:s\"><soap:Body><getResponse><rval>"
            + ideaEntry("red shoes", "0.9", "45000") + ideaEntry("boots", "0.2", "900")
            + ideaEntry("shoes", "0.5", "12000") + "</rval></getResponse></soap:Body></soap:Envelope>")
        .toUtf8();
}

// Points every research endpoint at one loopback server (the token
// endpoint at "/o/oauth2/token") for the object's lifetime.
class LoopbackEndpoints
{
public:
    explicit LoopbackEndpoints(const ScriptedHttpServer& server)
        : LoopbackEndpoints(server.url(QString()))
    {
    }
    explicit LoopbackEndpoints(const QString& base)
    {
        setResearchEndpoints({base, base, base + QStringLiteral("/o/oauth2/token"), base});
    }
    ~LoopbackEndpoints() { setResearchEndpoints(ResearchEndpoints::builtIn()); }

    LoopbackEndpoints(const LoopbackEndpoints&) = delete;
    LoopbackEndpoints& operator=(const LoopbackEndpoints&) = delete;
};
