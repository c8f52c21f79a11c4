#include "generator/BuildChecks.h"

namespace {

const QString kCrlf = QStringLiteral("\r\n");
const QString kBuildCampaigns = QStringLiteral("Build Campaigns");
const QString kBuildCampaign = QStringLiteral("Build Campaign");
const QString kTemplate = QStringLiteral("txtURLTemplate");

BuildRefusal refusal(const QString& text, const QString& title, const QString& focus)
{
    return BuildRefusal{text, title, platform::MsgIcon::Information, focus, false};
}

} // namespace

std::optional<BuildRefusal> FirstBuildRefusal(const CampaignData& campaign, bool emptyTemplateAccepted)
{
    const QString& url = campaign.urlTemplate;
    if (url.isEmpty() && !emptyTemplateAccepted) {
        BuildRefusal ask = refusal(QStringLiteral("You did not specify keyword landing page URL, it means that it "
                                                  "will use the landing URL from ads.")
                                       + kCrlf + kCrlf + QStringLiteral("Are you sure you want to continue?"),
                                   kBuildCampaigns, kTemplate);
        ask.question = true;
        return ask;
    }
    if (url.contains(QLatin1Char('=')) && !url.contains(QLatin1Char('?')))
        return refusal(QStringLiteral("Keyword Landing URL must be separated by a '?' between website URL and the "
                                      "tracking parameters.")
                           + kCrlf
                           + QStringLiteral("Please double check your Keyword Landing Page URL and make sure the "
                                            "tracking parameters is separated by a '?' then try again."),
                       kBuildCampaigns, kTemplate);
    if (campaign.baseKeywords.isEmpty())
        return refusal(QStringLiteral("Please enter at least one base keyword."), kBuildCampaigns,
                       QStringLiteral("txtBaseKeywords"));
    if (!campaign.broadMatch && !campaign.phraseMatch && !campaign.exactMatch)
        return refusal(QStringLiteral("Please choose your keyword match type."), kBuildCampaigns,
                       QStringLiteral("chkBroadMatch"));
    if (!url.isEmpty() && url.size() < 9)
        return refusal(QStringLiteral("Invalid web site URL. Please make sure to enter the correct URL and try again."),
                       kBuildCampaigns, kTemplate);
    const struct {
        bool ticked;
        const QString& bid;
        const char* type;
        const char* box;
    } bids[] = {
        {campaign.broadMatch, campaign.broadBid, "Broad", "txtBroadBid"},
        {campaign.phraseMatch, campaign.phraseBid, "Phrase", "txtPhraseBid"},
        {campaign.exactMatch, campaign.exactBid, "Exact", "txtExactBid"},
    };
    for (const auto& b : bids) {
        if (b.ticked && b.bid.isEmpty())
            return refusal(QStringLiteral("Please specify a bid value for ") + QLatin1String(b.type)
                               + QStringLiteral(" Match type."),
                           kBuildCampaign, QString::fromLatin1(b.box));
    }
    return std::nullopt;
}
