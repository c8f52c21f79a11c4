#pragma once

#include "generator/CampaignData.h"

#include <QString>

// Moves a campaign between its folder and CampaignData: Campaign.dat
// (INI-style), BaseKeywords.dat and ExtensionKeywords.dat.
class CampaignStore
{
public:
    // folder/name, or the entry of folder whose name differs from name only
    // in letter case when folder/name does not exist: the Windows program's
    // file names ignore case, and it made "accounts.dat" and "accounts".
    static QString existingEntry(const QString& folder, const QString& name);
    // workingFolder/Accounts (as existingEntry finds it), then
    // workingFolder/Accounts/account and workingFolder/Accounts/account/campaign.
    static QString accountsFolder(const QString& workingFolder);
    static QString accountFolder(const QString& workingFolder, const QString& account);
    static QString campaignFolder(const QString& workingFolder, const QString& account, const QString& campaign);
    // True when name can stand for one folder inside its parent: not empty,
    // not "." or "..", no slash or backslash. Names read from a damaged or
    // hand-edited Accounts.dat may break this, and their folder would then lie
    // elsewhere or be shared with another campaign.
    static bool isFolderName(const QString& name);

    // Creates the folder (with its parents) when missing, writes the two
    // keyword files and then the keys of Campaign.dat section by section.
    // Keys already in Campaign.dat are replaced where they stand; the section
    // of an ad slot with an empty headline is removed. Every file is replaced
    // atomically. On failure error names the file or folder and the reason
    // ("Cannot write <path>: <reason>", as TextFiles words it).
    static bool save(const QString& folder, const CampaignData& data, QString* error = nullptr);

    // Reads the folder; missing files and keys give the defaults (an empty
    // text, 0, and 1 for IncludeExtKeyword). An option index that names no
    // option of its enum counts as missing. False (with the defaults, and error naming the
    // file and the reason) when a file exists but cannot be read.
    static bool load(const QString& folder, CampaignData& data, QString* error = nullptr);
    static CampaignData load(const QString& folder);
};
