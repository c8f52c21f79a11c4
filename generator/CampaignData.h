#pragma once

#include <QObject>
#include <QString>

#include <array>

// The campaign as the user edits it: what the editor fills, what
// Campaign.dat / BaseKeywords.dat / ExtensionKeywords.dat store and what a
// build reads. Free of any widget. Keyword texts use CRLF between lines.

// The option groups of the editor, by index of their buttons (the comment
// names the group's control). The meta-object system knows their options
// (QMetaEnum::fromType), so what stores an index takes the options from the
// enum itself.
namespace CampaignOptions {
Q_NAMESPACE

enum class ReplaceSpace { Hyphen, Underscore, Plus, Blank };                     // optReplaceSpace
enum class Grouping { ByBase, ByExtension, ByMix, SingleCustomGroup };           // optGrouping
enum class Include { Yes, No };                          // optIncludeBaseKwyword, optIncludeExtentKwyword
enum class Capitalisation { UpperCase, LowerCase, None };                        // optCaputalization
enum class GroupSpace { Hyphen, Underscore, Plus, Space };                       // optReplaceGroupSpace
enum class ExtraGroupText { None, Prefix, Suffix };                              // optExtraGroupText
enum class Mixing { ExtensionBeforeBase, ExtensionAfterBase, ExtensionBeforeAndAfterBase, Pair, BaseOnly }; // optMixing
Q_ENUM_NS(ReplaceSpace)
Q_ENUM_NS(Grouping)
Q_ENUM_NS(Include)
Q_ENUM_NS(Capitalisation)
Q_ENUM_NS(GroupSpace)
Q_ENUM_NS(ExtraGroupText)
Q_ENUM_NS(Mixing)

} // namespace CampaignOptions

using CampaignOptions::Capitalisation;
using CampaignOptions::ExtraGroupText;
using CampaignOptions::Grouping;
using CampaignOptions::GroupSpace;
using CampaignOptions::Include;
using CampaignOptions::Mixing;
using CampaignOptions::ReplaceSpace;

struct AdSlotData {
    QString headline;        // txtHeadline(n)
    QString description1;    // txtDescr1(n)
    QString description2;    // txtDescr2(n)
    QString displayURL;      // txtDisplayURL(n)
    QString destinationURL;  // txtDestinationURL(n)

    // A slot with an empty headline counts as empty, whatever its other boxes hold.
    bool isFilled() const { return !headline.isEmpty(); }
    bool operator==(const AdSlotData&) const = default;
};

struct CampaignData {
    static constexpr int AdSlotCount = 4;

    // Keywords tab
    QString baseKeywords;       // txtBaseKeywords
    QString extensionKeywords;  // txtExtendKeywords
    bool broadMatch = false;    // chkBroadMatch
    bool phraseMatch = false;   // chkPhraseMatch
    bool exactMatch = false;    // chkExactMatch
    QString broadBid;           // txtBroadBid, as typed
    QString phraseBid;          // txtPhraseBid
    QString exactBid;           // txtExactBid
    QString urlTemplate = QStringLiteral("http://"); // txtURLTemplate

    // The seven stored option indexes, in field order.
    ReplaceSpace replaceSpace = ReplaceSpace::Hyphen;
    Grouping grouping = Grouping::ByBase;
    Include includeBaseKeyword = Include::Yes;
    Include includeExtKeyword = Include::No;
    Capitalisation capitalisation = Capitalisation::UpperCase;
    GroupSpace replaceGroupSpace = GroupSpace::Hyphen;
    ExtraGroupText extraGroupText = ExtraGroupText::None;

    // Ad Groups tab
    QString customGroup;         // txtCustomGroup
    QString extraGroupTextValue; // txtExtraGroupText
    QString maxCPC;              // txtMaxCPC
    QString maxContentCPC;       // txtMaxContentCPC
    QString placementMaxCPC;     // txtPlacementMaxCPC

    // Ads tab
    std::array<AdSlotData, AdSlotCount> ads;

    // Landing Page tab
    QString landingPagePath;     // txtLandingPagePath

    // Read by a build but not stored: a campaign opened from its folder keeps
    // what the editor showed before.
    Mixing mixing = Mixing::ExtensionBeforeBase; // optMixing
    bool capitalization = false;                 // chkCapitalization: keyword tokens take the case of their typed form

    bool operator==(const CampaignData&) const = default;
};
