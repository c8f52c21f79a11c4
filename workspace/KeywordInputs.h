#pragma once

#include "workspace/CampaignData.h"

#include <QObject>
#include <QString>

class QWidget;
class QPlainTextEdit;
class QTreeWidget;

// The Keywords and Ad Groups tabs of the main window: the two keyword boxes,
// match types and bids, the URL template, the option groups with their
// stored indexes, the include panels and the group-name fields. Controls are
// created inside the two given pages and carry their names as objectName.
class KeywordInputs : public QObject
{
    Q_OBJECT

public:
    KeywordInputs(QWidget* keywordsPage, QWidget* adGroupsPage, QObject* parent = nullptr);
    ~KeywordInputs() override;

    // Fills the controls from stored campaign data (options selected by index,
    // include panels set by the grouping index); the mixing option and the
    // Capitalization tick are left as they are.
    void load(const CampaignData& data);
    // Copies the controls' values (and the seven stored indexes) into data.
    void store(CampaignData& data) const;
    // Empties the controls for a new campaign (indexes to 0, URL "http://").
    void clear();

    // Keyword menu / toolbar actions.
    void LoadBaseKeywords();
    void LoadExtKeywords();
    // Appends the ticked items of the list (column 0 text) to the base box
    // when kind is "Base" (any case), else to the extension box.
    void AddKeywordsLine(const QTreeWidget* list, const QString& kind);

    // Mixing option index 0..4 (not stored) and the Capitalization tick.
    int mixingIndex() const;
    bool capitalization() const;

    // The box that the toolbar's Paste button pastes into (last clicked base
    // box or last changed extension box); null until one was registered.
    QPlainTextEdit* pasteTarget() const;

Q_SIGNALS:
    // Emitted when the user changes anything the campaign stores.
    void edited();
};
