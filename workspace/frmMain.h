#pragma once

#include "campaign/clsBuildCampaigns.h"
#include "campaign/Workspace.h"
#include "workspace/WindowCommands.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class AccountTreeModel;
class AdEditor;
class GeneratedFilesPanel;
class KeywordInputs;
class LandingPageTab;
class PaneRow;
class frmSplash;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QModelIndex;
class QTabWidget;
class QTreeView;

// The main window "PPC Quillmark": the accounts tree in the pinnable pane on
// the left, the welcome page or the campaign editor (tabMain) on the right,
// menus, toolbar and status bar; the splash window while it loads. It builds
// the controls and routes the commands; the accounts, the open campaign and
// the tree commands belong to its Workspace, which the tree view shows
// through an AccountTreeModel, and the build to its clsBuildCampaigns.
// Every named control carries its name as objectName; the toolbar buttons
// are the actions "cmdTools<index>", the menu items the actions
// "mnuFileItems<index>", "mnuEditItems<index>", "mnuKeywordItems<index>" and
// "mnuHelpItems<index>" (indexes in WindowCommands.h).
class frmMain : public QMainWindow, private WorkspaceView, private BuildHost
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Prepares the window and loads the workspace: accounts folder, tree,
    // start-up selection, opening of the selected campaign. Runs once, when
    // the window is first shown (or when called before that).
    void Form_Load();

    Workspace& workspace() { return *m_workspace; }
    const Workspace& workspace() const { return *m_workspace; }
    // The model of the tree view.
    AccountTreeModel& treeModel() const { return *m_treeModel; }

    // The node highlighted in the tree view, if any.
    std::optional<NodeId> treeSelection() const;
    // File/New Campaign: saves the open campaign, asks for the names and
    // adds the campaign.
    void NewCampaign();

    // --- Commands -------------------------------------------------------------
    void mnuFileItems_Click(int index);
    void mnuEditItems_Click(int index);
    void mnuKeywordItems_Click(int index);
    void mnuHelpItems_Click(int index);
    void cmdTools_Click(int index);
    void cmdStart_Click();
    void UpdateUI();
    // Pastes the clipboard's text into the keyword box registered as the
    // paste target.
    void Paste();
    // Keyword/Keyword Builder and toolbar button 5: the modal research
    // window, whose add buttons append to the keyword boxes.
    void KeywordResearch();
    // The Keyword menu's and the toolbar's loads of a keyword file into the
    // base or extension box.
    void LoadBaseKeywords();
    void LoadExtKeywords();

    // File/Setup: the preferences hook, then the workspace follows a changed
    // working folder and loads the tree again.
    void ShowPreferences();
    // Shows the preferences dialog modally; true when it was confirmed.
    // Without a hook File/Setup shows nothing and only reloads the tree.
    using PreferencesHook = std::function<bool(QWidget* owner)>;
    void setPreferencesHook(PreferencesHook hook) { m_preferencesHook = std::move(hook); }
    // Shows the About box modally (Help/About). Without a hook nothing shows.
    using AboutHook = std::function<void(QWidget* owner)>;
    void setAboutHook(AboutHook hook) { m_aboutHook = std::move(hook); }

    // The help file that Help/Contents opens (the program's, platform/HelpFile).
    QString helpFile() const;
    void setHelpFile(const QString& path);

    // --- Parts of the window ----------------------------------------------------
    QAction* toolAction(int index) const;               // cmdTools<index>; null for 4 or out of range
    QAction* menuItem(const QString& menu, int index) const; // menu "mnuFile", "mnuEdit", "mnuKeyword", "mnuHelp"
    GeneratedFilesPanel* generatedFilesPanel() const { return m_panel; }
    LandingPageTab* landingPage() const { return m_landingPage; }
    // The left pane, the splitter and the main area.
    PaneRow* columns() const { return m_columns; }
    // The "Build Campaigns" command (toolbar button 8).
    clsBuildCampaigns* buildCampaigns() const { return m_buildCampaigns; }
    QTabWidget* tabMain() const { return m_tabMain; }
    QTreeView* tvwAccount() const { return m_tvwAccount; }
    // The first status-bar panel.
    QString statusText() const;
    void setStatusText(const QString& text) override;
    // True while the welcome page is shown instead of the editor tabs.
    bool isWelcomeShown() const;

    // The window's outer bounds in twips as "left,top,width,height".
    QString windowPositionText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class CampaignInputsBlock;

    // WorkspaceView and BuildHost
    CampaignData editedCampaign() const override;
    void emptyEditor() override;
    void fillEditor(const CampaignData& campaign) override;
    void showGeneratedFiles(const QString& campaignFolder) override;
    void clearGeneratedFiles() override;
    void showEditor(bool editor) override;
    void showSelection(const std::optional<NodeId>& node) override;
    void saveLandingPage() override;
    void showRefusedInput(CampaignField field) override;
    void blockCampaignInputs(bool blocked) override;
    void clearGeneratedFile(ImportFormat::File file) override;
    std::function<void()> prepareGeneratedFiles(const QString& campaignFolder) override;
    void showLandingPage() override;

    void showTab(EditorTab tab);

    void buildMenus();
    void buildToolbar();
    void buildPanes();
    QWidget* buildTree(QWidget* parent);
    QWidget* buildWelcomePage();

    // Saves the edited landing page and the open campaign; false when a save
    // failed and the user keeps the window open.
    bool Form_QueryUnload();
    void Form_Unload();

    void onNodeClicked(const QModelIndex& index);
    void LaunchAdwordsEditor();
    // Opens target with the desktop's program for it; when that fails the
    // user is told (titled title), as the Windows shell told its own failures.
    void openOrTell(const QString& target, int showMode, const QString& title);
    // The keyword boxes belong to the open campaign: with none open (the
    // welcome page) what a command put into them would be dropped unseen by
    // the next campaign opened or created. False, after telling the user
    // (titled command), when no campaign is open.
    bool campaignOpenFor(const QString& command);
    QAction* toolAction(ToolButton button) const { return toolAction(int(button)); }
    QAction* fileItem(FileItem item) const;
    void setEnabled(QAction* action, bool enabled);

    bool m_loaded = false;
    // While the window closes: the landing page is saved or given up, so
    // the campaign's save leaves it alone.
    bool m_landingPageSettled = false;
    bool m_treeUpdating = false;
    PreferencesHook m_preferencesHook;
    AboutHook m_aboutHook;

    QMap<int, QAction*> m_tools;
    QMap<QString, QMap<int, QAction*>> m_menuItems;
    QMenu* m_mnuHelp = nullptr;

    PaneRow* m_columns = nullptr;
    QTreeView* m_tvwAccount = nullptr;
    QGroupBox* m_contWelcome = nullptr;
    QTabWidget* m_tabMain = nullptr;
    QTabWidget* m_tabAdFile = nullptr;
    LandingPageTab* m_landingPage = nullptr;
    QPointer<frmSplash> m_splash;
    QLabel* m_statusPanel = nullptr;

    KeywordInputs* m_keywordInputs = nullptr;
    AdEditor* m_adEditor = nullptr;
    GeneratedFilesPanel* m_panel = nullptr;
    clsBuildCampaigns* m_buildCampaigns = nullptr;
    std::unique_ptr<CampaignInputsBlock> m_inputsBlock;
    // A child made after the controls: it goes after the tree view that
    // shows it, and its child the tree model after it.
    Workspace* m_workspace = nullptr;
    AccountTreeModel* m_treeModel = nullptr;
};
