#pragma once

#include "generator/CampaignData.h"

#include <QString>

#include <tuple>

// A campaign with every field set, each away from its default: keyword
// lines with an alternative and a character beyond ASCII, all three match
// types with their bids, a URL template with tokens, each option group on
// another than its default option, both group texts, the three ad-group
// bids, four ads with tokens, a landing page, and the two options a
// campaign does not store (the mixing both ways, the Capitalization tick).
// A test changes only what its case is about; the benchmarks' campaign is
// this one with its own keyword lines.
inline CampaignData campaignWithEveryField()
{
    CampaignData c;
    c.baseKeywords = QStringLiteral("red shoes\r\nblue [navy] shoes");
    c.extensionKeywords = QStringLiteral("cheap\r\nonline \u20ac");
    c.broadMatch = c.phraseMatch = c.exactMatch = true;
    c.broadBid = QStringLiteral("0.50");
    c.phraseBid = QStringLiteral("0.65");
    c.exactBid = QStringLiteral("0.80");
    c.urlTemplate = QStringLiteral("http://www.example.com/p?kw={mix}&m={match}&g={adgroup}");
    c.replaceSpace = ReplaceSpace::Plus;
    c.grouping = Grouping::ByMix;
    c.includeBaseKeyword = Include::No;
    c.includeExtKeyword = Include::Yes;
    c.capitalisation = Capitalisation::None;
    c.replaceGroupSpace = GroupSpace::Space;
    c.extraGroupText = ExtraGroupText::Prefix;
    c.customGroup = QStringLiteral("My Group");
    c.extraGroupTextValue = QStringLiteral("sale");
    c.maxCPC = QStringLiteral("0.75");
    c.maxContentCPC = QStringLiteral("0.40");
    c.placementMaxCPC = QStringLiteral("0.20");
    c.ads[0] = {QStringLiteral("{Base} {Extension}"), QStringLiteral("Find {mix} at {campaign}"),
                QStringLiteral("Great deals on {base} in {extension}"), QStringLiteral("www.example.com/{base}"),
                QStringLiteral("http://www.example.com/ad?kw={mix}&g={adgroup}&t={title}")};
    c.ads[1] = {QStringLiteral("{MIX} Sale"), QStringLiteral("Shop {Mix} today"),
                QStringLiteral("Free shipping, order now"), QStringLiteral("example.com/{extension}"),
                QStringLiteral("http://www.example.com/{base}?c={campaign}")};
    c.ads[2] = {QStringLiteral("Best {base}"), QStringLiteral("{Extension} {Base} offers"),
                QStringLiteral("Ad group {adgroup}"), QStringLiteral("www.example.com/{title}"),
                QStringLiteral("http://www.example.com/p?q={extension}")};
    c.ads[3] = {QStringLiteral("{campaign}: {base}"), QStringLiteral("Compare {mix}"),
                QStringLiteral("{Base} for less"), QStringLiteral("www.example.com"),
                QStringLiteral("http://www.example.com/{mix}/{title}")};
    c.landingPagePath = QStringLiteral("/home/user/landing.html");
    c.mixing = Mixing::ExtensionBeforeAndAfterBase;
    c.capitalization = true;
    return c;
}

// One field of CampaignData: its name and its member.
template <class Type>
struct CampaignMember {
    const char* name;
    Type CampaignData::*member;
};

// Every field of CampaignData, in declaration order. The binding below stops
// the build when a field is added or removed: list it here too, and give it
// a value away from its default in campaignWithEveryField, so that the tests
// that walk the fields (a campaign stored and read back, field by field)
// reach it.
inline auto campaignFields()
{
    [[maybe_unused]] const auto& [baseKeywords, extensionKeywords, broadMatch, phraseMatch, exactMatch, broadBid,
                                  phraseBid, exactBid, urlTemplate, replaceSpace, grouping, includeBaseKeyword,
                                  includeExtKeyword, capitalisation, replaceGroupSpace, extraGroupText, customGroup,
                                  extraGroupTextValue, maxCPC, maxContentCPC, placementMaxCPC, ads, landingPagePath,
                                  mixing, capitalization] = CampaignData();
    using C = CampaignData;
    return std::tuple{
        CampaignMember{"baseKeywords", &C::baseKeywords},
        CampaignMember{"extensionKeywords", &C::extensionKeywords},
        CampaignMember{"broadMatch", &C::broadMatch},
        CampaignMember{"phraseMatch", &C::phraseMatch},
        CampaignMember{"exactMatch", &C::exactMatch},
        CampaignMember{"broadBid", &C::broadBid},
        CampaignMember{"phraseBid", &C::phraseBid},
        CampaignMember{"exactBid", &C::exactBid},
        CampaignMember{"urlTemplate", &C::urlTemplate},
        CampaignMember{"replaceSpace", &C::replaceSpace},
        CampaignMember{"grouping", &C::grouping},
        CampaignMember{"includeBaseKeyword", &C::includeBaseKeyword},
        CampaignMember{"includeExtKeyword", &C::includeExtKeyword},
        CampaignMember{"capitalisation", &C::capitalisation},
        CampaignMember{"replaceGroupSpace", &C::replaceGroupSpace},
        CampaignMember{"extraGroupText", &C::extraGroupText},
        CampaignMember{"customGroup", &C::customGroup},
        CampaignMember{"extraGroupTextValue", &C::extraGroupTextValue},
        CampaignMember{"maxCPC", &C::maxCPC},
        CampaignMember{"maxContentCPC", &C::maxContentCPC},
        CampaignMember{"placementMaxCPC", &C::placementMaxCPC},
        CampaignMember{"ads", &C::ads},
        CampaignMember{"landingPagePath", &C::landingPagePath},
        CampaignMember{"mixing", &C::mixing},
        CampaignMember{"capitalization", &C::capitalization},
    };
}

// Calls visit(field) for each field of campaignFields().
template <class Visit>
void forEachCampaignField(Visit&& visit)
{
    std::apply([&](const auto&... field) { (visit(field), ...); }, campaignFields());
}
