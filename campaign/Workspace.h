#pragma once

#include "campaign/AccountTreeObserver.h"
#include "campaign/clsMain.h"
#include "generator/CampaignData.h"
#include "settings/clsPreference.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// What the workspace needs of the window that shows it.
class WorkspaceView
{
public:
    // The campaign as the editor holds it now.
    virtual CampaignData editedCampaign() const = 0;
    // Empties the keyword and ad inputs (the landing-page path stays).
    virtual void emptyEditor() = 0;
    // Shows a campaign read from its folder in the editor.
    virtual void fillEditor(const CampaignData& campaign) = 0;
    // Loads the three import files of a campaign folder into the
    // generated-files panel, or empties the panel.
    virtual void showGeneratedFiles(const QString& campaignFolder) = 0;
    virtual void clearGeneratedFiles() = 0;
    virtual void setStatusText(const QString& text) = 0;
    // The editor tabs (true) or the welcome page.
    virtual void showEditor(bool editor) = 0;
    // Highlights the node in the tree, or nothing.
    virtual void showSelection(const std::optional<NodeId>& node) = 0;
    // Writes an edited landing page back to the file it came from.
    virtual void saveLandingPage() = 0;

protected:
    ~WorkspaceView() = default;
};

// The accounts and campaigns of the working folder and the campaign open in
// the editor, free of any widget: the start-up selection, the tree
// commands, opening and saving a campaign and the change of working folder.
//
// The selected node (m_oSelectedNode) is the one record of "the campaign":
// the open campaign (or the account last clicked, which is never open)
// names the folder that is saved and built, the rows of the import files,
// "LastSelectAcc" and the trace lines, and the tree highlights it after
// every command.
//
// It works in the working folder it is given and keeps to it until File/Setup
// chooses another; whoever keeps the folder for the rest of the program
// follows workingFolderChanged.
class Workspace : public QObject
{
    Q_OBJECT

public:
    // workingFolder: without a trailing separator. preferences: the store
    // that holds the last selection ("LastSelectAcc") and the window
    // position ("MainFormPos"), and the working folder that File/Setup saves.
    Workspace(WorkspaceView& view, const QString& workingFolder, clsPreference preferences,
              QObject* parent = nullptr);
    // Tells the tree observer that the tree goes.
    ~Workspace() override;

    clsMain& accounts() { return *m_accounts; }
    const clsMain& accounts() const { return *m_accounts; }
    // The view of the tree that follows every change of it from now on: it
    // is given the tree at once, and the one it replaces lets the tree go.
    // Null: none. It must outlive the workspace or be replaced first.
    void setTreeObserver(AccountTreeObserver* observer);

    // The campaign open in the editor, or the account last clicked.
    std::optional<NodeId> selectedNode() const { return m_oSelectedNode; }
    // The open campaign; nothing when none is open.
    std::optional<NodeId> openCampaign() const;
    // Its folder; "" when no campaign is open.
    QString campaignFolder() const;
    // The folder of Accounts.dat and of the accounts folder.
    QString workingFolder() const { return m_workingFolder; }

    // --- Start-up and close --------------------------------------------------
    // Makes the accounts folder, loads the tree, selects a campaign by
    // "LastSelectAcc" and opens it.
    void load();
    // File/Setup: saves the open campaign (a failed save asks whether to go
    // on), runs showPreferences (the modal dialog, which saves the
    // preferences itself), follows a changed working folder and loads the
    // tree again from it, reopening a campaign. A new folder is made when
    // missing and handed on by workingFolderChanged before the tree loads.
    void changeSettings(const std::function<void()>& showPreferences);
    // At close: stores the window position (unless empty, as when minimised)
    // and the selected node, and lets the selection go.
    void close(const QString& windowPosition);

    // --- Tree commands ---------------------------------------------------------
    void tvwAccount_NodeClick(const NodeId& node);
    void selectFirstAccount();
    bool IsAccountExists() const { return m_accounts->IsAccountExists(); }
    // File/Delete Campaign: deletes the node last clicked, after a question.
    // When Accounts.dat cannot be written the user is told which file and why.
    void DeleteCampaign();
    // What follows the New Campaign dialog: adds the account when new and the
    // campaign, makes it the open campaign with an empty editor and saves
    // Accounts.dat (a failure is shown, naming the file and the reason).
    bool addNewCampaign(const QString& account, const QString& campaign);

    // --- Campaign storage --------------------------------------------------------
    // Writes the editor into the open campaign's folder (nothing when no
    // campaign is open). A failure is logged and shown to the user with the
    // file and the reason; false then.
    bool SaveCampaign();
    // Saves the open campaign before something replaces the editor. When the
    // save fails the user is told which file and why and asked goOnQuestion
    // ("Close the program anyway?"); false when they answer No and keep the
    // campaign open with its edits.
    bool saveBeforeLeaving(const QString& goOnQuestion);
    // Fills the editor from the selected campaign's folder and reloads the
    // generated files. False (status "Load campaign data failed") when no
    // campaign is selected, its files cannot be read, or its account or
    // campaign name cannot be one folder (CampaignStore::isFolderName); the
    // editor is then left empty and no campaign counts as open.
    bool OpenCampaign();
    // Empties the editor for a new campaign (the landing-page path stays).
    void ClearCampaign();

Q_SIGNALS:
    // File/Setup moved the workspace to another working folder (without a
    // trailing separator).
    void workingFolderChanged(const QString& folder);

private:
    // Saves the open campaign; "" when saved or none is open, else the
    // message for the user (the failure is logged).
    QString saveOpenCampaign();
    void setSelectedNode(const std::optional<NodeId>& node);
    // Tells the user that a campaign was added (or deleted) in the tree but
    // Accounts.dat could not be written, so the next start would not show
    // the change; error names the file and the reason.
    void reportUnsavedTree(const NodeId& campaign, bool added, const QString& error);
    // The one load sequence of the start and of File/Setup.
    void loadTree();

    WorkspaceView& m_view;
    QString m_workingFolder;
    clsPreference m_preferences;
    AccountTreeObserver* m_tree; // never null
    std::unique_ptr<clsMain> m_accounts;
    std::optional<NodeId> m_oSelectedNode;
};
