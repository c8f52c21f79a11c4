#include "workspace/CampaignStore.h"

#include "platform/Locations.h"
#include "workspace/TextFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

using platform::Locations::join;

namespace {

const QString kCampaignFile = QStringLiteral("Campaign.dat");
const QString kBaseFile = QStringLiteral("BaseKeywords.dat");
const QString kExtFile = QStringLiteral("ExtensionKeywords.dat");

// A profile file kept as its lines, so that writing a key changes only that
// key's line, as the profile-string API does.
class IniText
{
public:
    explicit IniText(const QString& text) : m_lines(TextFiles::splitLines(text)) {}

    QString text() const
    {
        QString out;
        for (const QString& line : m_lines)
            out += line + QStringLiteral("\r\n");
        return out;
    }

    // The value after the first "=", trailing blanks removed; "" when missing.
    QString read(const QString& section, const QString& key, bool* found = nullptr) const
    {
        if (found)
            *found = false;
        const int start = sectionLine(section);
        if (start < 0)
            return QString();
        const int at = keyLine(start, key);
        if (at < 0)
            return QString();
        if (found)
            *found = true;
        const QString& line = m_lines.at(at);
        return TextFiles::trimTrailingBlanks(line.mid(line.indexOf(QLatin1Char('=')) + 1));
    }

    void write(const QString& section, const QString& key, const QString& value)
    {
        const QString line = key + QLatin1Char('=') + value;
        int start = sectionLine(section);
        if (start < 0) {
            m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
            m_lines.append(line);
            return;
        }
        const int at = keyLine(start, key);
        if (at >= 0) {
            m_lines[at] = line;
            return;
        }
        // After the last non-empty line of the section.
        int last = start;
        for (int i = start + 1; i < m_lines.size() && !isSection(m_lines.at(i)); ++i) {
            if (!TextFiles::trimBlanks(m_lines.at(i)).isEmpty())
                last = i;
        }
        m_lines.insert(last + 1, line);
    }

    void removeSection(const QString& section)
    {
        int start;
        while ((start = sectionLine(section)) >= 0) {
            int end = start + 1;
            while (end < m_lines.size() && !isSection(m_lines.at(end)))
                ++end;
            m_lines.remove(start, end - start);
        }
    }

private:
    static bool isSection(const QString& line)
    {
        const QString t = TextFiles::trimBlanks(line);
        return t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'));
    }

    static QString sectionName(const QString& line)
    {
        const QString t = TextFiles::trimBlanks(line);
        return TextFiles::trimBlanks(t.mid(1, t.indexOf(QLatin1Char(']')) - 1));
    }

    int sectionLine(const QString& section) const
    {
        for (int i = 0; i < m_lines.size(); ++i) {
            if (isSection(m_lines.at(i)) && sectionName(m_lines.at(i)).compare(section, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    int keyLine(int start, const QString& key) const
    {
        for (int i = start + 1; i < m_lines.size() && !isSection(m_lines.at(i)); ++i) {
            const QString& line = m_lines.at(i);
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq < 0)
                continue;
            if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QStringList m_lines;
};

// The numeric value of the leading number of a text, as Val reads it; 0 when
// there is none.
long long numericValue(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > 1000000000)
            break;
        ++i;
    }
    return negative ? -value : value;
}

int optionIndex(const IniText& ini, const QString& section, const QString& key, int count, int missing)
{
    bool found = false;
    const QString text = ini.read(section, key, &found);
    if (!found || text.isEmpty())
        return missing;
    const long long value = numericValue(text);
    return value >= 0 && value < count ? int(value) : missing;
}

QString singleLine(QString value)
{
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
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

} // namespace

QString CampaignStore::campaignFolder(const QString& workingFolder, const QString& account, const QString& campaign)
{
    return join(join(join(workingFolder, QStringLiteral("Accounts")), account), campaign);
}

bool CampaignStore::save(const QString& folder, const CampaignData& data, QString* error)
{
    auto fail = [&](const QString& what, const QString& why) {
        if (error)
            *error = what + QStringLiteral(": ") + why;
        return false;
    };
    if (folder.isEmpty())
        return fail(QStringLiteral("campaign folder"), QStringLiteral("no campaign is open"));
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return fail(folder, QStringLiteral("cannot create the folder"));

    QString why;
    if (!TextFiles::saveText(join(folder, kBaseFile), data.baseKeywords, &why))
        return fail(kBaseFile, why);
    if (!TextFiles::saveText(join(folder, kExtFile), data.extensionKeywords, &why))
        return fail(kExtFile, why);

    const QString path = join(folder, kCampaignFile);
    QString existing;
    if (!TextFiles::read(path, existing, &why))
        return fail(kCampaignFile, why);
    IniText ini(existing);

    const QString keywords = QStringLiteral("Keywords");
    ini.write(keywords, QStringLiteral("BroadMatch"), flag(data.broadMatch));
    ini.write(keywords, QStringLiteral("PhraseMatch"), flag(data.phraseMatch));
    ini.write(keywords, QStringLiteral("ExactMatch"), flag(data.exactMatch));
    ini.write(keywords, QStringLiteral("BroadBid"), singleLine(data.broadBid));
    ini.write(keywords, QStringLiteral("PhraseBid"), singleLine(data.phraseBid));
    ini.write(keywords, QStringLiteral("ExactBid"), singleLine(data.exactBid));
    ini.write(keywords, QStringLiteral("URLTemplate"), singleLine(data.urlTemplate));
    ini.write(keywords, QStringLiteral("ReplaceURLSpace"), QString::number(data.replaceSpace));

    const QString adGroup = QStringLiteral("AdGroup");
    ini.write(adGroup, QStringLiteral("Grouping"), QString::number(data.grouping));
    ini.write(adGroup, QStringLiteral("IncludeBaseKeyword"), QString::number(data.includeBaseKeyword));
    ini.write(adGroup, QStringLiteral("IncludeExtKeyword"), QString::number(data.includeExtKeyword));
    ini.write(adGroup, QStringLiteral("Capilisation"), QString::number(data.capitalisation));
    ini.write(adGroup, QStringLiteral("ReplaceGroupSpace"), QString::number(data.replaceGroupSpace));
    ini.write(adGroup, QStringLiteral("AddCustomeGroup"), QString::number(data.extraGroupText));
    ini.write(adGroup, QStringLiteral("CustomeGroup"), singleLine(data.customGroup));
    ini.write(adGroup, QStringLiteral("ExtraGroupText"), singleLine(data.extraGroupTextValue));
    ini.write(adGroup, QStringLiteral("MaxCPC"), singleLine(data.maxCPC));
    ini.write(adGroup, QStringLiteral("MaxContentCPC"), singleLine(data.maxContentCPC));
    ini.write(adGroup, QStringLiteral("PlacementMaxCPC"), singleLine(data.placementMaxCPC));

    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        const AdSlotData& ad = data.ads.at(std::size_t(i));
        const QString section = adSection(i);
        if (!ad.isFilled()) {
            ini.removeSection(section); // an emptied slot must not come back
            continue;
        }
        ini.write(section, QStringLiteral("Headline"), singleLine(ad.headline));
        ini.write(section, QStringLiteral("Description1"), singleLine(ad.description1));
        ini.write(section, QStringLiteral("Description2"), singleLine(ad.description2));
        ini.write(section, QStringLiteral("DisplayURL"), singleLine(ad.displayURL));
        ini.write(section, QStringLiteral("DestinationURL"), singleLine(ad.destinationURL));
    }

    ini.write(QStringLiteral("LandingPage"), QStringLiteral("LandingPagePath"), singleLine(data.landingPagePath));

    if (!TextFiles::writeExact(path, ini.text(), &why))
        return fail(kCampaignFile, why);
    return true;
}

bool CampaignStore::load(const QString& folder, CampaignData& data, QString* error)
{
    data = CampaignData();
    QString why;
    auto readFile = [&](const QString& name, QString& text) {
        if (TextFiles::read(join(folder, name), text, &why))
            return true;
        if (error)
            *error = name + QStringLiteral(": ") + why;
        return false;
    };

    QString base, ext, campaign;
    if (!readFile(kBaseFile, base) || !readFile(kExtFile, ext) || !readFile(kCampaignFile, campaign))
        return false;
    data.baseKeywords = dropSavedLineBreak(base);
    data.extensionKeywords = dropSavedLineBreak(ext);

    const IniText ini(campaign);
    const QString keywords = QStringLiteral("Keywords");
    data.exactMatch = numericValue(ini.read(keywords, QStringLiteral("ExactMatch"))) != 0;
    data.phraseMatch = numericValue(ini.read(keywords, QStringLiteral("PhraseMatch"))) != 0;
    data.broadMatch = numericValue(ini.read(keywords, QStringLiteral("BroadMatch"))) != 0;
    data.exactBid = ini.read(keywords, QStringLiteral("ExactBid"));
    data.phraseBid = ini.read(keywords, QStringLiteral("PhraseBid"));
    data.broadBid = ini.read(keywords, QStringLiteral("BroadBid"));
    data.urlTemplate = ini.read(keywords, QStringLiteral("URLTemplate"));
    data.replaceSpace = optionIndex(ini, keywords, QStringLiteral("ReplaceURLSpace"), ReplaceSpaceOptions, 0);

    const QString adGroup = QStringLiteral("AdGroup");
    data.grouping = optionIndex(ini, adGroup, QStringLiteral("Grouping"), GroupingOptions, 0);
    data.includeBaseKeyword = optionIndex(ini, adGroup, QStringLiteral("IncludeBaseKeyword"), IncludeBaseOptions, 0);
    data.includeExtKeyword = optionIndex(ini, adGroup, QStringLiteral("IncludeExtKeyword"), IncludeExtOptions, 1);
    data.capitalisation = optionIndex(ini, adGroup, QStringLiteral("Capilisation"), CapitalisationOptions, 0);
    data.replaceGroupSpace = optionIndex(ini, adGroup, QStringLiteral("ReplaceGroupSpace"), ReplaceGroupSpaceOptions, 0);
    data.extraGroupText = optionIndex(ini, adGroup, QStringLiteral("AddCustomeGroup"), ExtraGroupTextOptions, 0);
    data.customGroup = ini.read(adGroup, QStringLiteral("CustomeGroup"));
    data.extraGroupTextValue = ini.read(adGroup, QStringLiteral("ExtraGroupText"));
    data.maxCPC = ini.read(adGroup, QStringLiteral("MaxCPC"));
    data.maxContentCPC = ini.read(adGroup, QStringLiteral("MaxContentCPC"));
    data.placementMaxCPC = ini.read(adGroup, QStringLiteral("PlacementMaxCPC"));

    for (int i = 0; i < CampaignData::AdSlotCount; ++i) {
        AdSlotData& ad = data.ads[std::size_t(i)];
        const QString section = adSection(i);
        ad.headline = ini.read(section, QStringLiteral("Headline"));
        ad.description1 = ini.read(section, QStringLiteral("Description1"));
        ad.description2 = ini.read(section, QStringLiteral("Description2"));
        ad.displayURL = ini.read(section, QStringLiteral("DisplayURL"));
        ad.destinationURL = ini.read(section, QStringLiteral("DestinationURL"));
    }

    data.landingPagePath = ini.read(QStringLiteral("LandingPage"), QStringLiteral("LandingPagePath"));
    return true;
}

CampaignData CampaignStore::load(const QString& folder)
{
    CampaignData data;
    load(folder, data);
    return data;
}
