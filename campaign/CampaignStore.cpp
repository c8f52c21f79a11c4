#include "campaign/CampaignStore.h"

#include "core/modCommon.h"
#include "platform/Locations.h"
#include "platform/ProfileFile.h"
#include "core/TextFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <cmath>

using platform::Locations::join;
using platform::ProfileFile::Document;

namespace {

const QString kCampaignFile = QStringLiteral("Campaign.dat");
const QString kBaseFile = QStringLiteral("BaseKeywords.dat");
const QString kExtFile = QStringLiteral("ExtensionKeywords.dat");

template <class Option>
Option optionIndex(const Document& ini, const QString& section, const QString& key, int count, Option missing)
{
    const QString text = ini.value(section, key);
    if (text.isEmpty())
        return missing;
    const double value = std::nearbyint(modCommon::Val(text));
    return value >= 0 && value < count ? Option(int(value)) : missing;
}

template <class Option>
QString indexText(Option option)
{
    return QString::number(int(option));
}

QString flag(bool ticked)
{
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

QString adSection(int slot)
{
    return QStringLiteral("Ad") + QString::number(slot + 1);
}

// A saved keyword file ends with the CRLF that saving added; it is not part
// of the box's text.
QString dropSavedLineBreak(const QString& text)
{
    if (text.endsWith(QStringLiteral("\r\n")))
        return text.left(text.size() - 2);
    if (text.endsWith(QLatin1Char('\n')))
        return text.left(text.size() - 1);
    return text;
}

bool loadCampaignFile(const QString& path, Document& ini, QString* error)
{
    QString why;
    if (ini.load(path, &why))
        return true;
    if (error)
        *error = TextFiles::readError(path, why);
    return false;
}

} // namespace

QString CampaignStore::existingEntry(const QString& folder, const QString& name)
{
    const QString exact = join(folder, name);
    if (QFileInfo::exists(exact) || folder.isEmpty())
        return exact;
    // Name filters match without regard to case unless told otherwise.
    const QStringList found = QDir(folder).entryList({name}, QDir::AllEntries | QDir::Hidden | QDir::System
                                                                 | QDir::NoDotAndDotDot, QDir::Name);
    return found.isEmpty() ? exact : join(folder, found.first());
}

QString CampaignStore::accountsFolder(const QString& workingFolder)
{
    return existingEntry(workingFolder, QStringLiteral("Accounts"));
}

QString CampaignStore::accountFolder(const QString& workingFolder, const QString& account)
{
    return join(accountsFolder(workingFolder), account);
}

QString CampaignStore::campaignFolder(const QString& workingFolder, const QString& account, const QString& campaign)
{
    return join(accountFolder(workingFolder, account), campaign);
}

bool CampaignStore::isFolderName(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

bool CampaignStore::save(const QString& folder, const CampaignData& data, QString* error)
{
    QString why;
    auto fail = [&] {
        if (error)
            *error = why;
        return false;
    };
    if (folder.isEmpty()) {
        why = QStringLiteral("No campaign is open");
        return fail();
    }
    const QString path = join(folder, kCampaignFile);
    Document ini;
    if (!TextFiles::makeFolder(folder, &why) || !TextFiles::saveText(join(folder, kBaseFile), data.baseKeywords, &why)
        || !TextFiles::saveText(join(folder, kExtFile), data.extensionKeywords, &why)
        || !loadCampaignFile(path, ini, &why))
        return fail();

    const QString keywords = QStringLiteral("Keywords");
    ini.setValue(keywords, QStringLiteral("BroadMatch"), flag(data.broadMatch));
    ini.setValue(keywords, QStringLiteral("PhraseMatch"), flag(data.phraseMatch));
    ini.setValue(keywords, QStringLiteral("ExactMatch"), flag(data.exactMatch));
    ini.setValue(keywords, QStringLiteral("BroadBid"), data.broadBid);
    ini.setValue(keywords, QStringLiteral("PhraseBid"), data.phraseBid);
    ini.setValue(keywords, QStringLiteral("ExactBid"), data.exactBid);
    ini.setValue(keywords, QStringLiteral("URLTemplate"), data.urlTemplate);
    ini.setValue(keywords, QStringLiteral("ReplaceURLSpace"), indexText(data.replaceSpace));

    const QString adGroup = QStringLiteral("AdGroup");
    ini.setValue(adGroup, QStringLiteral("Grouping"), indexText(data.grouping));
    ini.setValue(adGroup, QStringLiteral("IncludeBaseKeyword"), indexText(data.includeBaseKeyword));
    ini.setValue(adGroup, QStringLiteral("IncludeExtKeyword"), indexText(data.includeExtKeyword));
    ini.setValue(adGroup, QStringLiteral("Capilisation"), indexText(data.capitalisation));
    ini.setValue(adGroup, QStringLiteral("ReplaceGroupSpace"), indexText(data.replaceGroupSpace));
    ini.setValue(adGroup, QStringLiteral("AddCustomeGroup"), indexText(data.extraGroupText));
    ini.setValue(adGroup, QStringLiteral("CustomeGroup"), data.customGroup);
    ini.setValue(adGroup, QStringLiteral("ExtraGroupText"), data.extraGroupTextValue);
    ini.setValue(adGroup, QStringLiteral("MaxCPC"), data.maxCPC);
    ini.setValue(adGroup, QStringLiteral("MaxContentCPC"), data.maxContentCPC);
    ini.setValue(adGroup, QStringLiteral("PlacementMaxCPC"), data.placementMaxCPC);

    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        const AdSlotData& ad = data.ads.at(std::size_t(i));
        const QString section = adSection(i);
        if (!ad.isFilled()) {
            ini.removeSection(section); // an emptied slot must not come back
            continue;
        }
        ini.setValue(section, QStringLiteral("Headline"), ad.headline);
        ini.setValue(section, QStringLiteral("Description1"), ad.description1);
        ini.setValue(section, QStringLiteral("Description2"), ad.description2);
        ini.setValue(section, QStringLiteral("DisplayURL"), ad.displayURL);
        ini.setValue(section, QStringLiteral("DestinationURL"), ad.destinationURL);
    }

    ini.setValue(QStringLiteral("LandingPage"), QStringLiteral("LandingPagePath"), data.landingPagePath);

    if (!ini.save(path, &why)) {
        why = TextFiles::writeError(path, why);
        return fail();
    }
    return true;
}

bool CampaignStore::load(const QString& folder, CampaignData& data, QString* error)
{
    data = CampaignData();
    QString base, ext;
    Document ini;
    if (!TextFiles::read(join(folder, kBaseFile), base, error) || !TextFiles::read(join(folder, kExtFile), ext, error)
        || !loadCampaignFile(join(folder, kCampaignFile), ini, error))
        return false;
    data.baseKeywords = dropSavedLineBreak(base);
    data.extensionKeywords = dropSavedLineBreak(ext);

    const QString keywords = QStringLiteral("Keywords");
    data.exactMatch = modCommon::Val(ini.value(keywords, QStringLiteral("ExactMatch"))) != 0;
    data.phraseMatch = modCommon::Val(ini.value(keywords, QStringLiteral("PhraseMatch"))) != 0;
    data.broadMatch = modCommon::Val(ini.value(keywords, QStringLiteral("BroadMatch"))) != 0;
    data.exactBid = ini.value(keywords, QStringLiteral("ExactBid"));
    data.phraseBid = ini.value(keywords, QStringLiteral("PhraseBid"));
    data.broadBid = ini.value(keywords, QStringLiteral("BroadBid"));
    data.urlTemplate = ini.value(keywords, QStringLiteral("URLTemplate"));
    data.replaceSpace = optionIndex(ini, keywords, QStringLiteral("ReplaceURLSpace"),
                                    ReplaceSpaceOptions, ReplaceSpace::Hyphen);

    const QString adGroup = QStringLiteral("AdGroup");
    data.grouping = optionIndex(ini, adGroup, QStringLiteral("Grouping"), GroupingOptions, Grouping::ByBase);
    data.includeBaseKeyword = optionIndex(ini, adGroup, QStringLiteral("IncludeBaseKeyword"),
                                          IncludeBaseOptions, Include::Yes);
    data.includeExtKeyword = optionIndex(ini, adGroup, QStringLiteral("IncludeExtKeyword"),
                                         IncludeExtOptions, Include::No);
    data.capitalisation = optionIndex(ini, adGroup, QStringLiteral("Capilisation"),
                                      CapitalisationOptions, Capitalisation::UpperCase);
    data.replaceGroupSpace = optionIndex(ini, adGroup, QStringLiteral("ReplaceGroupSpace"),
                                         ReplaceGroupSpaceOptions, GroupSpace::Hyphen);
    data.extraGroupText = optionIndex(ini, adGroup, QStringLiteral("AddCustomeGroup"),
                                      ExtraGroupTextOptions, ExtraGroupText::None);
    data.customGroup = ini.value(adGroup, QStringLiteral("CustomeGroup"));
    data.extraGroupTextValue = ini.value(adGroup, QStringLiteral("ExtraGroupText"));
    data.maxCPC = ini.value(adGroup, QStringLiteral("MaxCPC"));
    data.maxContentCPC = ini.value(adGroup, QStringLiteral("MaxContentCPC"));
    data.placementMaxCPC = ini.value(adGroup, QStringLiteral("PlacementMaxCPC"));

    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        AdSlotData& ad = data.ads[std::size_t(i)];
        const QString section = adSection(i);
        ad.headline = ini.value(section, QStringLiteral("Headline"));
        ad.description1 = ini.value(section, QStringLiteral("Description1"));
        ad.description2 = ini.value(section, QStringLiteral("Description2"));
        ad.displayURL = ini.value(section, QStringLiteral("DisplayURL"));
        ad.destinationURL = ini.value(section, QStringLiteral("DestinationURL"));
    }

    data.landingPagePath = ini.value(QStringLiteral("LandingPage"), QStringLiteral("LandingPagePath"));
    return true;
}

CampaignData CampaignStore::load(const QString& folder)
{
    CampaignData data;
    load(folder, data);
    return data;
}
