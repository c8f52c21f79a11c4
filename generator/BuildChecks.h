#pragma once

#include "generator/CampaignData.h"
#include "platform/Prompter.h"

#include <QObject>
#include <QString>

#include <optional>

// The fields of a campaign that a refused build sends the user back to, so
// that whoever shows the campaign can put the focus where the correction
// goes (the window maps each to its control).
namespace CampaignFields {
Q_NAMESPACE

enum class Field {
    UrlTemplate,  // urlTemplate
    BaseKeywords, // baseKeywords
    MatchTypes,   // broadMatch, phraseMatch, exactMatch: the first of them
    BroadBid,     // broadBid
    PhraseBid,    // phraseBid
    ExactBid,     // exactBid
};
Q_ENUM_NS(Field)

} // namespace CampaignFields
using CampaignField = CampaignFields::Field;

// Why "Build Campaigns" does not start for a campaign, as the command tells
// the user: the message, its title and icon, and the field that gets the
// focus (on the "Keywords" tab) when the build is given up.
struct BuildRefusal {
    QString text;
    QString title;
    platform::MsgIcon icon = platform::MsgIcon::Information;
    CampaignField focus = CampaignField::UrlTemplate;
    // A Yes/No question rather than a refusal: Yes lets the build go on
    // (check again with the question accepted), No gives it up.
    bool question = false;

    bool operator==(const BuildRefusal&) const = default;
};

// The first check, in the order the user meets them, that the campaign
// fails; nothing when its files may be built. emptyTemplateAccepted: the
// user has answered Yes to the question about an empty URL template.
std::optional<BuildRefusal> FirstBuildRefusal(const CampaignData& campaign, bool emptyTemplateAccepted = false);
