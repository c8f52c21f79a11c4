#pragma once

#include <QObject>
#include <QString>

class QTabWidget;

// The "Adwords Files" tab: the three import files of the open campaign, each
// as text and as a sortable list, with copy to the clipboard. The three tabs
// ("Keyword File", "Ad File", "AdGroup File") and their controls
// (txtKeywordCSV, lsvKeywordFile, ...) are created inside tabAdFile.
class GeneratedFilesPanel : public QObject
{
    Q_OBJECT

public:
    explicit GeneratedFilesPanel(QTabWidget* tabAdFile, QObject* parent = nullptr);
    ~GeneratedFilesPanel() override;

    // Reloads AdwordsKeywords.csv, AdwordsAds.csv and AdwordsAdGroups.csv
    // from the campaign folder. An empty folder (no campaign open) leaves the
    // panel as it is and returns false.
    bool LoadAdFiles(const QString& campaignFolder);

    // Empties the three text views and the three lists.
    void clear();
    // Empties one text view (0 keyword, 1 ad, 2 ad group file).
    void clearTextView(int index);
};
