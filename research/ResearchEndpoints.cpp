#include "research/ResearchEndpoints.h"

#include "settings/clsRegister.h"

namespace {

ResearchEndpoints& current()
{
    static ResearchEndpoints endpoints = ResearchEndpoints::builtIn();
    return endpoints;
}

} // namespace

ResearchEndpoints ResearchEndpoints::builtIn()
{
    const QString host = clsRegister::MakerSite().section(QStringLiteral("://"), 1);
    return {QStringLiteral("http://") + host, QStringLiteral("https://") + host,
            QStringLiteral("https://accounts.google.com/o/oauth2/token"), QStringLiteral("https://adwords.google.com")};
}

const ResearchEndpoints& researchEndpoints() { return current(); }

void setResearchEndpoints(const ResearchEndpoints& endpoints) { current() = endpoints; }
