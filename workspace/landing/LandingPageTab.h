#pragma once

#include <QString>
#include <QWidget>

class LandingPageEditor;
class QLineEdit;
class QTabWidget;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class ToolStrip;

// The "Landing Page" tab of the campaign editor: the page path
// (txtLandingPagePath) with cmdOpenLandingPage, and sTab with "Preview"
// (the browser view wbrReport) and "Edit" (the tool strip fraTbl and the
// editor DHTMLRep). The HTML stays in its file; an edited page is written
// back to the file the editor loaded - never to another path the box may
// show by then - when "Preview" comes to the front, before another file is
// opened, and when the owner asks (SaveEdits).
//
// The browser views are made the first time the tab is shown or a file is
// opened, so a run that never looks at the tab starts no browser engine.
// The window the tab is placed in is nevertheless created, at its first
// show, with the texture composition the views need, so their arrival never
// makes it recreate its native window.
class LandingPageTab : public QWidget
{
    Q_OBJECT

public:
    explicit LandingPageTab(QWidget* parent = nullptr);
    ~LandingPageTab() override;

    // The path stored with the campaign. Setting it loads nothing.
    QString pagePath() const;
    void setPagePath(const QString& path);

    // The load's set-up: "Preview" in front, the font boxes filled.
    void SetUp();

    // Asks for a file and opens it.
    void cmdOpenLandingPage_Click();
    // Writes an edited page to its own file first, then shows path in the
    // preview and loads it into the editor. A file that cannot be read is
    // reported and nothing changes. False when nothing was opened.
    bool OpenPage(const QString& path);
    // Writes an edited page to the file it came from. True when nothing is
    // left unsaved; a failure is logged and shown, and the edit stays.
    bool SaveEdits();
    // The same before something that takes the editor's content with it (the
    // close of the window): a failure is logged, and the user is told why
    // and asked goOnQuestion ("Close the program anyway?"); false when they
    // answer No. The edit stays in the editor either way.
    bool SaveEditsBeforeLeaving(const QString& goOnQuestion);
    // sTab's change: with "Preview" in front, an edited page is saved and
    // shown; otherwise nothing happens.
    void sTab_TabChange();

    QTabWidget* sTab() const { return m_sTab; }
    ToolStrip* toolStrip() const { return m_toolStrip; }
    // Null until the tab was first shown or a file opened.
    LandingPageEditor* editor() const { return m_editor; }
    QWebEngineView* preview() const { return m_preview; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ensureViews();
    // Writes the edited page to its file; "" when written, else the message
    // for the user (the failure is logged with logPrefix).
    QString writeEdits(const QString& logPrefix);
    void onDocumentLoaded(bool ok, const QString& failure);

    QLineEdit* m_txtLandingPagePath = nullptr;
    QTabWidget* m_sTab = nullptr;
    QWidget* m_previewPage = nullptr;
    QWidget* m_editPage = nullptr;
    ToolStrip* m_toolStrip = nullptr;

    QWebEngineProfile* m_profile = nullptr;
    QWebEnginePage* m_previewWebPage = nullptr;
    QWebEngineView* m_preview = nullptr;
    LandingPageEditor* m_editor = nullptr;
    QString m_openedPath;
};
