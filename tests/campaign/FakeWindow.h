#pragma once

#include "campaign/AccountTreeObserver.h"
#include "campaign/Workspace.h"
#include "campaign/clsBuildCampaigns.h"
#include "generator/BuildChecks.h"
#include "generator/ImportFormat.h"
#include "settings/clsPreference.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <functional>
#include <optional>

// The main window as the workspace and the build see it, without a widget:
// the editor is a CampaignData, each view a record of what it was told.
// It runs a Workspace (in the working folder given, with the user's
// preferences) and a clsBuildCampaigns of its own, as the window does, and
// follows the workspace's tree as its tree view would: from the
// notifications alone, so a change the workspace does not tell shows as a
// tree that differs from the accounts.
class FakeWindow final : public WorkspaceView, public BuildHost, public AccountTreeObserver
{
public:
    explicit FakeWindow(const QString& workingFolder)
        : workspace(*this, workingFolder, clsPreference())
        , build(*this, workspace)
    {
        workspace.setTreeObserver(this);
        QObject::connect(&workspace, &Workspace::workingFolderChanged,
                         [this](const QString& folder) { workingFolders << folder; });
    }

    // --- What the views show ------------------------------------------------
    CampaignData editor;
    bool editorShown = false; // the editor tabs, else the welcome page
    std::optional<NodeId> highlighted;
    QString filesShown;       // the campaign folder whose import files are shown; "" none
    QString status;
    QStringList statusTexts;  // every status text, in order
    std::optional<CampaignField> refusedInput; // the field of the last refusal
    QStringList workingFolders; // each folder File/Setup handed on, in order
    bool inputsBlocked = false;
    bool landingPageInFront = false;
    int landingPageSaves = 0;
    QList<ImportFormat::File> cleared; // the files' views emptied by builds, in order
    // How the last prepareGeneratedFiles ran: on the window's thread, with
    // the inputs blocked.
    bool preparedOnWindowThread = false;
    bool blockedWhilePrepared = false;

    // The tree view's rows, accounts and campaigns by key, in display order.
    QStringList shownTree() const
    {
        QStringList keys;
        for (const NodeId& node : m_rows)
            keys << node.key();
        return keys;
    }
    bool shows(const NodeId& node) const
    {
        return std::any_of(m_rows.cbegin(), m_rows.cend(), [&](const NodeId& row) { return row.matches(node); });
    }

    // --- WorkspaceView ----------------------------------------------------------
    CampaignData editedCampaign() const override { return editor; }
    // As the window's editor: emptied, every option group shows its first
    // option and the landing-page path stays; neither changes the mixing
    // option or the Capitalization tick, which are not stored.
    void emptyEditor() override
    {
        CampaignData empty;
        empty.includeExtKeyword = Include::Yes;
        empty.landingPagePath = editor.landingPagePath;
        fillEditor(empty);
    }
    void fillEditor(const CampaignData& campaign) override
    {
        CampaignData shown = campaign;
        shown.mixing = editor.mixing;
        shown.capitalization = editor.capitalization;
        editor = shown;
    }
    void showGeneratedFiles(const QString& campaignFolder) override { filesShown = campaignFolder; }
    void clearGeneratedFiles() override { filesShown.clear(); }
    void setStatusText(const QString& text) override
    {
        status = text;
        statusTexts << text;
    }
    void showEditor(bool shown) override { editorShown = shown; }
    // A node the tree does not show leaves nothing highlighted.
    void showSelection(const std::optional<NodeId>& node) override
    {
        highlighted = node && shows(*node) ? node : std::nullopt;
    }
    void saveLandingPage() override { ++landingPageSaves; }

    // --- BuildHost ----------------------------------------------------------------
    void showRefusedInput(CampaignField field) override { refusedInput = field; }
    void blockCampaignInputs(bool blocked) override { inputsBlocked = blocked; }
    void clearGeneratedFile(ImportFormat::File file) override { cleared << file; }
    std::function<void()> prepareGeneratedFiles(const QString& campaignFolder) override
    {
        preparedOnWindowThread = QThread::currentThread() == workspace.thread();
        blockedWhilePrepared = inputsBlocked;
        return [this, campaignFolder] { filesShown = campaignFolder; };
    }
    void showLandingPage() override { landingPageInFront = true; }

    // --- AccountTreeObserver --------------------------------------------------------
    void treeReplaced(clsMain* tree) override
    {
        m_rows = tree ? tree->displayOrder() : QList<NodeId>();
    }
    void nodeAdded(const NodeId& node) override
    {
        m_rows.insert(std::lower_bound(m_rows.begin(), m_rows.end(), node, displayedBefore), node);
    }
    void campaignRemoved(const NodeId& node) override
    {
        m_rows.removeIf([&](const NodeId& row) { return row.isCampaign() && row.matches(node); });
    }

private:
    // The tree view's order: accounts by name, each followed by its
    // campaigns by name, without regard to case.
    static bool displayedBefore(const NodeId& a, const NodeId& b)
    {
        if (const int account = a.account.compare(b.account, Qt::CaseInsensitive))
            return account < 0;
        return a.campaign.compare(b.campaign, Qt::CaseInsensitive) < 0;
    }

    QList<NodeId> m_rows;

public:
    // Last, so that they go first: the workspace tells the tree view that
    // the tree goes.
    Workspace workspace;
    clsBuildCampaigns build;
};
