#pragma once

#include "workspace/GeneratedFileTexts.h"

#include <QObject>
#include <QString>

class QTabWidget;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QTableView;
class QToolButton;
class AdFileModel;

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
    // The same with the text views' parts read before (on any thread, for
    // this panel's thread) from the files of campaignFolder.
    bool LoadAdFiles(const QString& campaignFolder, GeneratedFileTexts texts);

    // Empties the three text views and the three lists.
    void clear();
    // Empties one text view (0 keyword, 1 ad, 2 ad group file).
    void clearTextView(int index);

    // A text view shows at most this many bytes of its file; the rest is
    // announced under it and still copied by the copy button.
    static constexpr qint64 kTextViewBytes = GeneratedFileTexts::kShownBytes;

    // Sorting: every click reverses the list's one order flag (a list starts
    // ascending, so the first click sorts descending) and sorts by the column.
    void lsvKeywordFile_ColumnClick(int column);
    void lsvAdFile_ColumnClick(int column);
    void lsvAdgroupFile_ColumnClick(int column);

    // View switch of a tab: 0 shows the text view, 1 the list view.
    void picKeywordCSV_Click(int index);
    void picAdCSV_Click(int index);
    void picAdGroupCSV_Click(int index);

    // Copies the selection of text view index (0 to 2), or the whole file
    // when nothing is selected, to the clipboard. A partly shown file is read
    // again, only when it is still a regular file (platform/RegularFile);
    // when that fails the user is told the file and the reason ("Copy File")
    // and the clipboard is left as it was.
    void picCopyFile_Click(int index);

    // A list's columns are as wide as their caption (with room for the sort
    // arrow) and their values in the first rows of the list, at most this
    // many, never all of a file of millions. A column other than the last takes at most kMaxFittedChars
    // average characters; the last one fills the width left.
    static constexpr int kSampledRows = 100;
    static constexpr int kMaxFittedChars = 50;

    // True while a list is still being indexed or sorted in the background.
    bool isBusy() const;
    AdFileModel* listModel(int index) const;

Q_SIGNALS:
    // Every list has finished indexing and sorting.
    void idle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct FileTab {
        QGroupBox* frame = nullptr;
        QPlainTextEdit* text = nullptr;
        QLabel* note = nullptr;
        QTableView* list = nullptr;
        AdFileModel* model = nullptr;
        QToolButton* view[2] = {nullptr, nullptr};
        QToolButton* copy = nullptr;
        QString path;
        qint64 fileSize = 0;
        bool truncated = false;
        bool sortDescending = false;
        bool columnsFitted = false; // fitted to rows of the file now listed
    };

    void buildTab(QTabWidget* tabAdFile, int index);
    // Sizes the columns of list index to their captions and sampled rows.
    void fitColumns(int index);
    void columnClick(int index, int column);
    void switchView(int index, int view);
    // Shows the text read for view index; false when reading it failed.
    bool showText(int index, GeneratedFileTexts::Text& text);
    void loadList(int index);
    void checkIdle();

    FileTab m_tabs[3];
};
