#include "campaign/CampaignStore.h"

#include "core/Conversions.h"
#include "platform/Locations.h"
#include "platform/ProfileFile.h"
#include "core/TextFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaEnum>
#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

using platform::Locations::join;
using platform::ProfileFile::Document;

namespace {

const QString kCampaignFile = QStringLiteral("Campaign.dat");

// The keyword files, in the order a save writes them.
struct KeywordFile {
    const char* name;
    QString CampaignData::*text;
};
constexpr KeywordFile kKeywordFiles[] = {
    {"BaseKeywords.dat", &CampaignData::baseKeywords},
    {"ExtensionKeywords.dat", &CampaignData::extensionKeywords},
};

// The option that a stored index names, or none for an empty text and for
// an index that names no option of the enum (a damaged or hand-edited file).
template <class Option>
std::optional<Option> storedOption(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const double value = std::nearbyint(Conversions::Val(text));
    if (!(value >= 0 && value <= std::numeric_limits<int>::max()))
        return std::nullopt;
    if (!QMetaEnum::fromType<Option>().valueToKey(int(value)))
        return std::nullopt;
    return Option(int(value));
}

// How a field of the campaign is held in its value of Campaign.dat.
using Tick = bool CampaignData::*;    // "1" or "0"; any number but 0 reads as ticked
using Text = QString CampaignData::*; // the text as it is
struct OptionIndex {                  // the option's index; one that names no option leaves the field
    QString (*write)(const CampaignData&);
    void (*read)(CampaignData&, const QString&);
};
struct AdSections {};                 // one section per ad slot, its row's section and the slot's
                                      // number ("Ad1" to "Ad4"), with the keys of kAdKeys
using Field = std::variant<Tick, Text, OptionIndex, AdSections>;

template <auto member>
constexpr OptionIndex optionIndex()
{
    using Option = std::remove_cvref_t<decltype(std::declval<CampaignData&>().*member)>;
    return {[](const CampaignData& data) { return QString::number(int(data.*member)); },
            [](CampaignData& data, const QString& text) {
                if (const std::optional<Option> option = storedOption<Option>(text))
                    data.*member = *option;
            }};
}

struct Key {
    const char* section;
    const char* name;
    Field field;
};

// The keys of Campaign.dat in the order a save writes them. A load reads
// the same rows, so each stored field has one key for both.
constexpr Key kKeys[] = {
    {"Keywords", "BroadMatch", &CampaignData::broadMatch},
    {"Keywords", "PhraseMatch", &CampaignData::phraseMatch},
    {"Keywords", "ExactMatch", &CampaignData::exactMatch},
    {"Keywords", "BroadBid", &CampaignData::broadBid},
    {"Keywords", "PhraseBid", &CampaignData::phraseBid},
    {"Keywords", "ExactBid", &CampaignData::exactBid},
    {"Keywords", "URLTemplate", &CampaignData::urlTemplate},
    {"Keywords", "ReplaceURLSpace", optionIndex<&CampaignData::replaceSpace>()},
    {"AdGroup", "Grouping", optionIndex<&CampaignData::grouping>()},
    {"AdGroup", "IncludeBaseKeyword", optionIndex<&CampaignData::includeBaseKeyword>()},
    {"AdGroup", "IncludeExtKeyword", optionIndex<&CampaignData::includeExtKeyword>()},
    {"AdGroup", "Capilisation", optionIndex<&CampaignData::capitalisation>()},
    {"AdGroup", "ReplaceGroupSpace", optionIndex<&CampaignData::replaceGroupSpace>()},
    {"AdGroup", "AddCustomeGroup", optionIndex<&CampaignData::extraGroupText>()},
    {"AdGroup", "CustomeGroup", &CampaignData::customGroup},
    {"AdGroup", "ExtraGroupText", &CampaignData::extraGroupTextValue},
    {"AdGroup", "MaxCPC", &CampaignData::maxCPC},
    {"AdGroup", "MaxContentCPC", &CampaignData::maxContentCPC},
    {"AdGroup", "PlacementMaxCPC", &CampaignData::placementMaxCPC},
    {"Ad", nullptr, AdSections{}},
    {"LandingPage", "LandingPagePath", &CampaignData::landingPagePath},
};

// The keys of each ad section.
struct AdKey {
    const char* name;
    QString AdSlotData::*text;
};
constexpr AdKey kAdKeys[] = {
    {"Headline", &AdSlotData::headline},
    {"Description1", &AdSlotData::description1},
    {"Description2", &AdSlotData::description2},
    {"DisplayURL", &AdSlotData::displayURL},
    {"DestinationURL", &AdSlotData::destinationURL},
};

template <class... Cases>
struct Visitor : Cases... {
    using Cases::operator()...;
};

QString flag(bool ticked)
{
    return ticked ? QStringLiteral("1") : QStringLiteral("0");
}

// The section of ad slot (0 to 3): prefix and the slot's number from 1.
QString adSection(const QString& prefix, int slot)
{
    return prefix + QString::number(slot + 1);
}

void writeAds(Document& ini, const QString& prefix, const CampaignData& data)
{
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        const AdSlotData& ad = data.ads.at(std::size_t(i));
        const QString section = adSection(prefix, i);
        if (!ad.isFilled()) {
            ini.removeSection(section); // an emptied slot must not come back
            continue;
        }
        for (const AdKey& key : kAdKeys)
            ini.setValue(section, QString::fromLatin1(key.name), ad.*key.text);
    }
}

void readAds(const Document& ini, const QString& prefix, CampaignData& data)
{
    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        AdSlotData& ad = data.ads.at(std::size_t(i));
        const QString section = adSection(prefix, i);
        for (const AdKey& key : kAdKeys)
            ad.*key.text = ini.value(section, QString::fromLatin1(key.name));
    }
}

void writeKeys(Document& ini, const CampaignData& data)
{
    for (const Key& key : kKeys) {
        const QString section = QString::fromLatin1(key.section);
        const QString name = QString::fromLatin1(key.name);
        std::visit(Visitor{
                       [&](Tick tick) { ini.setValue(section, name, flag(data.*tick)); },
                       [&](Text text) { ini.setValue(section, name, data.*text); },
                       [&](const OptionIndex& option) { ini.setValue(section, name, option.write(data)); },
                       [&](AdSections) { writeAds(ini, section, data); },
                   },
                   key.field);
    }
}

void readKeys(const Document& ini, CampaignData& data)
{
    for (const Key& key : kKeys) {
        const QString section = QString::fromLatin1(key.section);
        const QString name = QString::fromLatin1(key.name);
        std::visit(Visitor{
                       [&](Tick tick) { data.*tick = Conversions::Val(ini.value(section, name)) != 0; },
                       [&](Text text) { data.*text = ini.value(section, name); },
                       [&](const OptionIndex& option) { option.read(data, ini.value(section, name)); },
                       [&](AdSections) { readAds(ini, section, data); },
                   },
                   key.field);
    }
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
    if (!TextFiles::makeFolder(folder, &why))
        return fail();
    for (const KeywordFile& file : kKeywordFiles) {
        if (!TextFiles::saveText(join(folder, QString::fromLatin1(file.name)), data.*file.text, &why))
            return fail();
    }
    const QString path = join(folder, kCampaignFile);
    Document ini;
    if (!loadCampaignFile(path, ini, &why))
        return fail();
    writeKeys(ini, data);

    if (!ini.save(path, &why)) {
        why = TextFiles::writeError(path, why);
        return fail();
    }
    return true;
}

bool CampaignStore::load(const QString& folder, CampaignData& data, QString* error)
{
    data = CampaignData();
    CampaignData loaded; // the defaults stay when a file cannot be read
    for (const KeywordFile& file : kKeywordFiles) {
        QString text;
        if (!TextFiles::read(join(folder, QString::fromLatin1(file.name)), text, error))
            return false;
        loaded.*file.text = dropSavedLineBreak(text);
    }
    Document ini;
    if (!loadCampaignFile(join(folder, kCampaignFile), ini, error))
        return false;
    readKeys(ini, loaded);
    data = loaded;
    return true;
}

CampaignData CampaignStore::load(const QString& folder)
{
    CampaignData data;
    load(folder, data);
    return data;
}
