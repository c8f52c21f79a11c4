#include "generator/BuildChecks.h"

namespace {

const QString kCrlf = QStringLiteral("\r\n");
const QString kBuildCampaigns = QStringLiteral("Build Campaigns");
const QString kBuildCampaign = QStringLiteral("Build Campaign");
constexpr CampaignField kTemplate = CampaignField::UrlTemplate;

BuildRefusal refusal(const QString& text, const QString& title, CampaignField focus)
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
                       CampaignField::BaseKeywords);
    if (!campaign.broadMatch && !campaign.phraseMatch && !campaign.exactMatch)
        return refusal(QStringLiteral("Please choose your keyword match type."), kBuildCampaigns,
                       CampaignField::MatchTypes);
    if (!url.isEmpty() && url.size() < 9)
        return refusal(QStringLiteral("Invalid web site URL. Please make sure to enter the correct URL and try again."),
                       kBuildCampaigns, kTemplate);
    const struct {
        bool ticked;
        const QString& bid;
        const char* type;
        CampaignField field;
    } bids[] = {
        {campaign.broadMatch, campaign.broadBid, "Broad", CampaignField::BroadBid},
        {campaign.phraseMatch, campaign.phraseBid, "Phrase", CampaignField::PhraseBid},
        {campaign.exactMatch, campaign.exactBid, "Exact", CampaignField::ExactBid},
    };
    for (const auto& b : bids) {
        if (b.ticked && b.bid.isEmpty())
            return refusal(QStringLiteral("Please specify a bid value for ") + QLatin1String(b.type)
                               + QStringLiteral(" Match type."),
                           kBuildCampaign, b.field);
    }
    return std::nullopt;
}
