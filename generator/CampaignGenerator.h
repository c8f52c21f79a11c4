#pragma once

#include "generator/CampaignData.h"

#include <QString>
#include <QStringList>

#include <functional>

// Writes a campaign's three import files (AdwordsKeywords.csv, AdwordsAds.csv,
// AdwordsAdGroups.csv) from a campaign. GUI-free: the caller shows progress
// and messages.
namespace generator {

// What a build writes: the open campaign's name (column 1 of every row), the
// existing folder that receives the three files, and the campaign as the
// editor holds it.
struct GenerationInput {
    QString campaignName;
    QString campaignFolder;
    CampaignData campaign;
};

enum class GenerationPhase {
    MixingKeywords,   // index -1 only
    CreatingAdGroups, // index -1 only
    KeywordFile,      // index over the keyword records
    AdsFile,          // index over the ad groups
    AdGroupFile,      // index over the ad groups (only when the file is written)
};

// Both are called on the thread that runs GenerateCampaignFiles, one call at
// a time (the rows are formatted on worker threads of their own).
struct GenerationCallbacks {
    // Called once at the start of each phase with index -1 and lastIndex -1,
    // then within the three file phases for every index that is a multiple of
    // 100 (0 included), with the list's last index: the moments at which the
    // window should show the status text and let pending events run.
    std::function<void(GenerationPhase phase, qsizetype index, qsizetype lastIndex)> progress;
    // Called after an error was written to the log as
    // "BuildCampaigns_Error: " & description & " - " & step label.
    std::function<void(const QString& description)> error;
};

struct GenerationResult {
    // The title warning list: CRLF & headline per over-long headline (at most 85).
    QString titleWarnings;
    int titleWarningCount = 0;
    QStringList errors;             // descriptions, in order
    bool adGroupFileSkipped = false; // all three ad-group bid boxes were empty
    // The last step label reached ("BuildCampaigns: mixing keywords 17..." and
    // the like), for the caller's own error lines after the run.
    QString stepLabel;
    qint64 keywordRows = 0;
    qint64 adRows = 0;
    qint64 adGroupRows = 0;
};

// The status-bar text of a phase at index (-1: the phase's opening text; a
// null text means "leave the status text as it is").
QString GenerationStatusText(GenerationPhase phase, qsizetype index, qsizetype lastIndex);

// Mixes the keywords, forms the ad groups and writes the three files into
// input.campaignFolder, logging each phase to Error.log. A file that cannot
// be written is reported (errors, callback) and the remaining files are still
// attempted; every file is replaced atomically.
GenerationResult GenerateCampaignFiles(const GenerationInput& input, const GenerationCallbacks& callbacks = {});

} // namespace generator
