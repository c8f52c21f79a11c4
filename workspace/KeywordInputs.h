#pragma once

#include "generator/BuildChecks.h"
#include "generator/CampaignData.h"
#include "research/KeywordAdder.h"

#include <QObject>
#include <QString>

#include <array>

class QWidget;
class QPlainTextEdit;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QStackedWidget;

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
    // Copies the controls' values (the seven stored indexes, the mixing
    // option and the Capitalization tick included) into data.
    void store(CampaignData& data) const;
    // Empties the controls for a new campaign (indexes to 0, URL "http://").
    void clear();

    // Keyword menu / toolbar actions.
    void LoadBaseKeywords();
    void LoadExtKeywords();
    // Appends the keywords, in order and each followed by a line break, to
    // the base or the extension box.
    void AddKeywordsLine(const QStringList& keywords, KeywordBox box);

    // The box that the toolbar's Paste button pastes into (last clicked base
    // box or last changed extension box); null until one was registered.
    QPlainTextEdit* pasteTarget() const;

    // The objectName of the control that holds the field (the Broad tick for
    // the match types), on the Keywords page.
    static QString controlName(CampaignField field);
    // The control of either page with this objectName ("txtBaseKeywords",
    // "chkBroadMatch", "optGrouping2", ...), or null.
    QWidget* control(const QString& name) const;
    // Gives the focus to that control, or to the chosen option when name is
    // an option group (the caller brings its tab to the front first); false
    // when there is no such control.
    bool focusControl(const QString& name);
    // The index of the chosen option of an option group ("optMixing",
    // "optGrouping", ...), read from the buttons themselves; -1 when the
    // group is unknown or nothing is chosen.
    int optionIndex(const QString& group) const;

    // Keyword box texts with CRLF between lines.
    QString baseKeywords() const;
    QString extensionKeywords() const;

    // Shows or hides the two include panels; the "unavailable" label behind
    // a panel shows while it is hidden.
    void setIncludePanels(bool baseShown, bool extShown);
    bool includeBaseShown() const;
    bool includeExtShown() const;

    // Sets the include panels by a grouping index: 0 base panel only,
    // 1 extension panel only, 2 both; 3 (and any other) leaves them as they are.
    void applyGroupingToPanels(int groupingIndex);

Q_SIGNALS:
    // Emitted when the user changes anything the campaign stores.
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Field {
        ReplaceSpaceField,
        GroupingField,
        IncludeBaseField,
        IncludeExtField,
        CapitalisationField,
        ReplaceGroupSpaceField,
        ExtraGroupTextField,
        FieldCount
    };

    void buildKeywordsPage(QWidget* page);
    void buildAdGroupsPage(QWidget* page);
    QButtonGroup* makeOptions(QWidget* owner, const QString& name, const QStringList& captions, bool vertical, QWidget** box);
    void watchStoredGroup(QButtonGroup* group, Field field);
    void selectOption(Field field, int index);
    void loadKeywordFile(QPlainTextEdit* box, const QString& errorPrefix);
    void setBoxText(QPlainTextEdit* box, const QString& crlfText);
    void userChanged();

    QWidget* m_keywordsPage = nullptr;
    QWidget* m_adGroupsPage = nullptr;
    QPlainTextEdit* m_base = nullptr;
    QPlainTextEdit* m_ext = nullptr;
    QPlainTextEdit* m_pasteTarget = nullptr;
    QCheckBox* m_broad = nullptr;
    QCheckBox* m_phrase = nullptr;
    QCheckBox* m_exact = nullptr;
    QCheckBox* m_capitalization = nullptr;
    QLineEdit* m_broadBid = nullptr;
    QLineEdit* m_phraseBid = nullptr;
    QLineEdit* m_exactBid = nullptr;
    QLineEdit* m_urlTemplate = nullptr;
    QLineEdit* m_customGroup = nullptr;
    QLineEdit* m_extraGroupText = nullptr;
    QLineEdit* m_maxCPC = nullptr;
    QLineEdit* m_maxContentCPC = nullptr;
    QLineEdit* m_placementMaxCPC = nullptr;
    QButtonGroup* m_mixing = nullptr;
    std::array<QButtonGroup*, FieldCount> m_groups {};
    std::array<int, FieldCount> m_fields {};
    QStackedWidget* m_includeBaseStack = nullptr;
    QStackedWidget* m_includeExtStack = nullptr;
    QWidget* m_includeBase = nullptr;
    QWidget* m_includeExt = nullptr;
    int m_updating = 0;
};
