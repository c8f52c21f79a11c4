#pragma once

#include "generator/CampaignData.h"
#include "platform/Prompter.h"

#include <QString>

#include <optional>

// Why "Build Campaigns" does not start for a campaign, as the command tells
// the user: the message, its title and icon, and the control that gets the
// focus (on the "Keywords" tab) when the build is given up.
struct BuildRefusal {
    QString text;
    QString title;
    platform::MsgIcon icon = platform::MsgIcon::Information;
    QString focus; // objectName of the control
    // A Yes/No question rather than a refusal: Yes lets the build go on
    // (check again with the question accepted), No gives it up.
    bool question = false;

    bool operator==(const BuildRefusal&) const = default;
};

// The first check, in the order the user meets them, that the campaign
// fails; nothing when its files may be built. emptyTemplateAccepted: the
// user has answered Yes to the question about an empty URL template.
std::optional<BuildRefusal> FirstBuildRefusal(const CampaignData& campaign, bool emptyTemplateAccepted = false);
