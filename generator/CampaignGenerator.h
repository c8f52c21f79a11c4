#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// Writes a campaign's three import files (AdwordsKeywords.csv, AdwordsAds.csv,
// AdwordsAdGroups.csv) from a snapshot of the main window's inputs. GUI-free:
// the caller shows progress and messages.
namespace generator {

struct AdSlotInput {
    QString headline;        // txtHeadline(n); the slot is used when not empty
    QString description1;    // txtDescr1(n)
    QString description2;    // txtDescr2(n)
    QString displayURL;      // txtDisplayURL(n)
    QString destinationURL;  // txtDestinationURL(n)
};

// What a build reads from the main window's controls.
struct GenerationInput {
    QString campaignName;       // text of the selected tree node
    QString campaignFolder;     // existing folder that receives the three files

    QString baseKeywords;       // txtBaseKeywords: lines end with CRLF (a bare LF counts as CRLF)
    QString extensionKeywords;  // txtExtendKeywords

    bool broadMatch = false;    // chkBroadMatch, chkPhraseMatch, chkExactMatch
    bool phraseMatch = false;
    bool exactMatch = false;
    QString broadBid;           // txtBroadBid, txtPhraseBid, txtExactBid, as typed
    QString phraseBid;
    QString exactBid;
    QString urlTemplate;        // txtURLTemplate

    // Chosen option indexes (-1 or out of range: none chosen).
    int mixing = 0;             // optMixing 0..4
    int grouping = 0;           // optGrouping 0..3
    int includeBaseKeyword = 0; // optIncludeBaseKwyword 0 Yes, 1 No
    int includeExtKeyword = 1;  // optIncludeExtentKwyword 0 Yes, 1 No
    int extraGroupText = 0;     // optExtraGroupText 0 None, 1 Prefix, 2 Suffix
    int capitalisation = 0;     // optCaputalization 0 Upper Case, 1 Lower Case, 2 None
    int replaceGroupSpace = 0;  // optReplaceGroupSpace 0 Hyphen, 1 Underscore, 2 Plus, 3 Space
    int replaceSpace = 0;       // optReplaceSpace 0 Hyphen, 1 Underscore, 2 Plus, 3 Blank

    QString customGroup;        // txtCustomGroup
    QString extraGroupTextValue; // txtExtraGroupText

    QString maxCPC;             // txtMaxCPC, txtMaxContentCPC, txtPlacementMaxCPC
    QString maxContentCPC;
    QString placementMaxCPC;

    std::array<AdSlotInput, 4> ads;
    bool capitalization = false; // chkCapitalization
};

enum class GenerationPhase {
    MixingKeywords,   // index -1 only
    CreatingAdGroups, // index -1 only
    KeywordFile,      // index over the keyword records
    AdsFile,          // index over the ad groups
    AdGroupFile,      // index over the ad groups (only when the file is written)
};

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
