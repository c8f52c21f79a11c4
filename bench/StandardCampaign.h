#pragma once

// The benchmarks' synthetic campaign: the tests' campaign with every field
// set (tests/support/EveryFieldCampaign.h) with BASE base and EXT extension
// keyword lines (every tenth with an alternative), mixed both ways (mode 2),
// grouped by mix, three match types with bids, a URL template and four ads
// with tokens. 1000 x 1000 is the standard case: about 11 million rows, 2 GB.

#include "EveryFieldCampaign.h"

#include "generator/CampaignData.h"

#include <QString>

namespace bench {

inline const QString kCampaignName = QStringLiteral("Bench Campaign");

namespace detail {

const char* const kAdjectives[] = {
    "red", "blue", "green", "black", "white", "cheap", "luxury", "small", "large", "fast",
    "quiet", "modern", "classic", "wooden", "metal", "leather", "cotton", "organic", "digital", "smart",
    "outdoor", "indoor", "portable", "vintage", "custom", "premium", "budget", "heavy", "light", "soft",
    "strong", "warm", "cool", "bright", "dark", "fresh", "local", "global", "rapid", "simple"};
const char* const kNouns[] = {
    "shoes", "boots", "jackets", "chairs", "tables", "lamps", "phones", "cameras", "bikes", "watches",
    "bags", "hats", "gloves", "scarves", "desks", "sofas", "beds", "rugs", "mugs", "plates",
    "knives", "pans", "ovens", "fridges", "fans", "heaters", "tents", "skis", "boards", "helmets",
    "tyres", "pumps", "drills", "saws", "brushes", "paints", "frames", "mirrors", "clocks", "radios",
    "speakers", "screens", "mice", "keyboards", "printers", "routers", "cables", "chargers", "batteries", "drones"};
const char* const kPlaces[] = {
    "london", "paris", "berlin", "madrid", "rome", "vienna", "prague", "warsaw", "dublin", "lisbon",
    "oslo", "helsinki", "athens", "zurich", "brussels", "amsterdam", "munich", "milan", "lyon", "porto",
    "seville", "krakow", "riga", "tallinn", "vilnius"};
const char* const kQualifiers[] = {
    "online", "store", "shop", "sale", "deals", "outlet", "delivery", "prices", "reviews", "offers",
    "discount", "rental", "repair", "service", "supplier", "wholesale", "near", "best", "top", "new",
    "used", "buy", "order", "compare", "guide", "brands", "catalog", "market", "center", "direct",
    "express", "plus", "pro", "max", "mini", "home", "kids", "men", "women", "sport"};

template <size_t N>
QString pick(const char* const (&list)[N], qsizetype i)
{
    return QString::fromLatin1(list[size_t(i) % N]);
}

inline QString keywordLines(qsizetype count, bool base)
{
    QString text;
    for (qsizetype i = 0; i < count; ++i) {
        QString line;
        if (base) {
            line = pick(kAdjectives, i) + QLatin1Char(' ') + pick(kNouns, i / 40);
            if (i >= 40 * 50)
                line += QString::number(i / 2000);
        } else {
            line = pick(kPlaces, i) + QLatin1Char(' ') + pick(kQualifiers, i / 25);
            if (i >= 25 * 40)
                line += QString::number(i / 1000);
        }
        if (i % 10 == 0)
            line += base ? QStringLiteral(" [%1]").arg(pick(kNouns, i / 40))
                         : QStringLiteral(" [%1]").arg(pick(kPlaces, i));
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace detail

inline CampaignData StandardCampaign(qsizetype baseCount, qsizetype extCount)
{
    CampaignData c = campaignWithEveryField();
    c.baseKeywords = detail::keywordLines(baseCount, true);
    c.extensionKeywords = detail::keywordLines(extCount, false);
    // Every keyword also stands alone, group names as the mix reads, no
    // placement bid, and no landing page for the window to load.
    c.includeBaseKeyword = Include::Yes;
    c.replaceGroupSpace = GroupSpace::Hyphen;
    c.extraGroupText = ExtraGroupText::None;
    c.placementMaxCPC.clear();
    c.landingPagePath.clear();
    return c;
}

} // namespace bench
