#pragma once

#include <QString>

#include <array>

// What the campaign editor holds and Campaign.dat / BaseKeywords.dat /
// ExtensionKeywords.dat store. Keyword texts use CRLF between lines.
struct AdSlotData {
    QString headline;
    QString description1;
    QString description2;
    QString displayURL;
    QString destinationURL;

    bool isFilled() const { return !headline.isEmpty(); }
    bool operator==(const AdSlotData&) const = default;
};

struct CampaignData {
    static constexpr int AdSlotCount = 4;

    // Keywords tab
    QString baseKeywords;
    QString extensionKeywords;
    bool broadMatch = false;
    bool phraseMatch = false;
    bool exactMatch = false;
    QString broadBid;
    QString phraseBid;
    QString exactBid;
    QString urlTemplate = QStringLiteral("http://");

    // The seven stored option indexes, in field order.
    int replaceSpace = 0;       // optReplaceSpace
    int grouping = 0;           // optGrouping
    int includeBaseKeyword = 0; // optIncludeBaseKwyword
    int includeExtKeyword = 1;  // optIncludeExtentKwyword
    int capitalisation = 0;     // optCaputalization
    int replaceGroupSpace = 0;  // optReplaceGroupSpace
    int extraGroupText = 0;     // optExtraGroupText

    // Ad Groups tab
    QString customGroup;        // txtCustomGroup
    QString extraGroupTextValue; // txtExtraGroupText
    QString maxCPC;
    QString maxContentCPC;
    QString placementMaxCPC;

    // Ads tab
    std::array<AdSlotData, AdSlotCount> ads;

    // Landing Page tab
    QString landingPagePath;

    bool operator==(const CampaignData&) const = default;
};
