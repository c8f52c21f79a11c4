#pragma once

#include "workspace/clsBuildCampaigns.h"
#include "workspace/clsMain.h"

#include <QIcon>
#include <QMainWindow>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class AdEditor;
class GeneratedFilesPanel;
class KeywordInputs;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The main window "PPC Quillmark": the accounts tree on the left, the
// welcome page or the campaign editor (tabMain) on the right, menus, toolbar
// and status bar. Every named control carries its name as objectName; the
// toolbar buttons are the actions "cmdTools<index>", the menu items the
// actions "mnuFileItems<index>", "mnuEditItems<index>", "mnuKeywordItems<index>"
// and "mnuHelpItems<index>".
class frmMain : public QMainWindow, private BuildHost
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Prepares the window: accounts folder, tree, start-up selection, opening
    // of the selected campaign. Runs once, when the window is first shown (or
    // when called before that).
    void Form_Load();

    // --- Campaign storage --------------------------------------------------
    // Writes the editor into the open campaign's folder (nothing when no
    // campaign is open).
    void SaveCampaign();
    // Fills the editor from the folder of m_oSelectedNode and reloads the
    // generated files. False (status "Load campaign data failed") when no
    // campaign is selected or its files cannot be read; the editor is then
    // left empty and no campaign counts as open.
    bool OpenCampaign();
    // Empties the editor for a new campaign (the landing-page path stays).
    void ClearCampaign();
    // The campaign as the editor holds it now.
    CampaignData editedCampaign() const override;

    // --- Tree -----------------------------------------------------------------
    // The campaign node open in the editor (m_oSelectedNode); an account node
    // only as the record of the last click, never open in the editor.
    std::optional<NodeId> selectedNode() const { return m_oSelectedNode; }
    // The folder of the open campaign; "" when no campaign node is selected.
    QString campaignFolder() const;
    clsMain& accounts() { return *m_main; }
    const clsMain& accounts() const { return *m_main; }
    // The node highlighted in the tree view, if any.
    std::optional<NodeId> treeSelection() const;
    void tvwAccount_NodeClick(const NodeId& node);
    void selectFirstAccount();
    bool IsAccountExists() const;
    // File/Delete Campaign.
    void DeleteCampaign();
    // File/New Campaign (dialog); addNewCampaign does what follows the dialog.
    void NewCampaign();
    bool addNewCampaign(const QString& account, const QString& campaign);

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

    // File/Setup: saves the open campaign, runs the preferences hook, follows
    // a changed working folder and reloads the tree.
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
    KeywordInputs* keywordInputs() const { return m_keywordInputs; }
    AdEditor* adEditor() const { return m_adEditor; }
    GeneratedFilesPanel* generatedFilesPanel() const { return m_panel; }
    // The "Build Campaigns" command (toolbar button 8).
    clsBuildCampaigns* buildCampaigns() const { return m_buildCampaigns; }
    QTabWidget* tabMain() const { return m_tabMain; }
    QTreeWidget* tvwAccount() const { return m_tvwAccount; }
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

    // BuildHost
    std::optional<NodeId> openCampaign() const override;
    void showTab(EditorTab tab) override;
    void focusControl(const QString& objectName) override;
    GeneratedFilesPanel& generatedFiles() override { return *m_panel; }
    void blockCampaignInputs(bool blocked) override;

    void buildMenus();
    void buildToolbar();
    void buildPanes();
    QWidget* buildWelcomePage();
    QWidget* buildLandingPage();

    void Form_QueryUnload();
    void Form_Unload();

    void showEditor(bool editor);
    void refreshTree();
    void setTreeSelection(const NodeId& node);
    void showExpandedImage(QTreeWidgetItem* item);
    static QString displayImage(const TreeNode& node);
    // Shows the model's image keys on the existing items.
    void refreshImages();
    QTreeWidgetItem* itemFor(const NodeId& node) const;
    void onItemClicked(QTreeWidgetItem* item);
    QString nodeText(const NodeId& node) const;
    QIcon nodeIcon(const QString& imageKey) const;
    void reloadTree();
    void LaunchAdwordsEditor();
    void setEnabled(QAction* action, bool enabled);

    std::unique_ptr<clsMain> m_main;
    std::optional<NodeId> m_oSelectedNode;
    bool m_loaded = false;
    bool m_treeUpdating = false;
    PreferencesHook m_preferencesHook;
    AboutHook m_aboutHook;

    QMap<QString, QIcon> m_imgMain;
    QMap<int, QAction*> m_tools;
    QMap<QString, QMap<int, QAction*>> m_menuItems;
    QMenu* m_mnuHelp = nullptr;

    QTabWidget* m_tabLeft = nullptr;
    QTreeWidget* m_tvwAccount = nullptr;
    QGroupBox* m_contWelcome = nullptr;
    QTabWidget* m_tabMain = nullptr;
    QTabWidget* m_tabAdFile = nullptr;
    QLineEdit* m_txtLandingPagePath = nullptr;
    QLabel* m_statusPanel = nullptr;

    KeywordInputs* m_keywordInputs = nullptr;
    AdEditor* m_adEditor = nullptr;
    GeneratedFilesPanel* m_panel = nullptr;
    clsBuildCampaigns* m_buildCampaigns = nullptr;
    std::unique_ptr<CampaignInputsBlock> m_inputsBlock;
};
