#pragma once

#include "platform/WaitCursor.h"
#include "research/KeywordAdder.h"
#include "research/KeywordResearchView.h"
#include "research/OAuthAccessToken.h"
#include "research/clsKWBuilder.h"

#include <QDialog>
#include <QString>
#include <QTimer>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class clsKeywordBuilder;

// The Keyword menu's "Keyword Builder": opens the research window modally,
// or tells the user to enter an ad platform login in File/Setup first
// (a user name or a password is enough).
void showKeywordResearch(QWidget* parent, const KeywordAdder& addKeywords);

// The keyword research window: seed keywords, one country and any
// languages, Get / Stop, and the list of keyword ideas with their
// competition, monthly searches and KEI, sortable and tickable, whose
// ticked keywords the two add buttons append to the campaign's keyword
// boxes. Controls carry their names as objectName ("txtKeyword",
// "lstCountry", "cmdGet", "lvwKeywords", ...).
//
// A request runs asynchronously: Get obtains the access token (once per
// window, under the busy pointer, Stop enabled), then builds the request and
// hands it to a request driver, which reports back through
// KeywordResearchView. From the click on, Get is disabled, so one click
// makes at most one request; once the request is sent the window is busy
// (Stop enabled, progress shown) until the driver's DownLoadCompleted. Stop
// cancels the token fetch or the request. Closing the window cancels both,
// and nothing of them reaches the window afterwards.
class frmKeywordResearch : public QDialog, public KeywordResearchView
{
    Q_OBJECT

public:
    // The columns of the list, in order.
    enum Column { Keyword, Competition, MonthlySearches, GlobalVolume, KEI, HiddenValue, HiddenGlobalValue };

    explicit frmKeywordResearch(KeywordAdder addKeywords, QWidget* parent = nullptr);
    ~frmKeywordResearch() override;

    // Fills the country and language lists from the code files, "United
    // States" and "English" ticked.
    void Prepare();
    // Lists the ideas (a repeated keyword is left out).
    void PopulateKeywordsAdv(const KeywordIdeas& keywords);
    // The ideas of the last request that returned any.
    const KeywordIdeas& Keywords() const { return m_Keywords; }
    // The status bar's first panel.
    QString statusText() const;

    void setProgressValue(int value) override;
    void setStatusText(const QString& text) override;
    void DownLoadCompleted() override;

    // True while Get waits for the access token.
    bool isFetchingToken() const { return m_accessToken.isFetching(); }

    // The list's sort column and order, as column clicks set them.
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fitInputs();
    void CreateListViewHeader();
    void sizeColumns();
    void cmdGet_Click();
    void DoGet();
    void tokenFetched();
    void sendRequest();
    void SetBusy();
    void ResetUI(const QString& message);
    void UpdateDeleteButton();
    void lvwKeywords_ColumnClick(int column);
    void chkSelectAll_Click();
    void cmdDelete_Click();
    void DoDelete();
    void CmdStop_Click();
    void tmrDisconnect_Timer();
    void releaseBuilder();
    // Waiting for the token or the request: busy pointer, Get disabled, Stop
    // enabled, progress shown; idle() undoes it all.
    void waiting();
    void idle();

    KeywordAdder m_addKeywords;
    OAuthAccessToken m_accessToken;
    clsKeywordBuilder* m_oBuilder = nullptr;  // the driver of the last request
    KeywordIdeas m_Keywords;
    std::optional<platform::WaitCursor> m_busyPointer;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
    bool m_tickedInView = false;

    QLabel* m_intro = nullptr;
    QWidget* m_inputs = nullptr;
    QLabel* m_seedCaption = nullptr;
    QPlainTextEdit* m_txtKeyword = nullptr;
    QListWidget* m_lstLanguage = nullptr;
    QListWidget* m_lstCountry = nullptr;
    QComboBox* m_cboMaxKw = nullptr;
    QPushButton* m_cmdGet = nullptr;
    QPushButton* m_CmdStop = nullptr;
    QTreeWidget* m_lvwKeywords = nullptr;
    QCheckBox* m_chkSelectAll = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QProgressBar* m_pbrProgress = nullptr;
    QLabel* m_sbrStatus = nullptr;
    QTimer m_tmrDisconnect;
};
