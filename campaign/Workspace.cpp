#include "campaign/Workspace.h"

#include "campaign/CampaignStore.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

using ErrorLog::WriteErrorLog;

namespace {

const QString kCampaignOpen = QStringLiteral("CampaignOpen");
const QString kSaveCampaign = QStringLiteral("Save Campaign");
const QString kCreateNewCampaign = QStringLiteral("Create New Campaign");

// The tree observer of a workspace that has none.
class NoTreeObserver final : public AccountTreeObserver
{
public:
    void treeReplaced(clsMain*) override {}
    void nodeAdded(const NodeId&) override {}
    void campaignRemoved(const NodeId&) override {}
};

AccountTreeObserver* noTreeObserver()
{
    static NoTreeObserver none;
    return &none;
}

// The trace form of a node: its text & "/" & its key.
QString trace(const NodeId& node)
{
    return node.text() + QLatin1Char('/') + node.key();
}

} // namespace

Workspace::Workspace(WorkspaceView& view, const QString& workingFolder, clsPreference preferences,
                     QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_workingFolder(workingFolder)
    , m_preferences(std::move(preferences))
    , m_tree(noTreeObserver())
    , m_accounts(std::make_unique<clsMain>(m_workingFolder))
{
}

Workspace::~Workspace()
{
    m_tree->treeReplaced(nullptr);
}

void Workspace::setTreeObserver(AccountTreeObserver* observer)
{
    m_tree->treeReplaced(nullptr);
    m_tree = observer ? observer : noTreeObserver();
    m_tree->treeReplaced(m_accounts.get());
}

std::optional<NodeId> Workspace::openCampaign() const
{
    if (m_oSelectedNode && m_oSelectedNode->isCampaign())
        return m_oSelectedNode;
    return std::nullopt;
}

QString Workspace::campaignFolder() const
{
    const std::optional<NodeId> open = openCampaign();
    return open ? CampaignStore::campaignFolder(m_workingFolder, open->account, open->campaign) : QString();
}

void Workspace::setSelectedNode(const std::optional<NodeId>& node)
{
    m_oSelectedNode = node;
    m_view.showSelection(node);
}

// ---------------------------------------------------------------------------
// Start-up, File/Setup and close

void Workspace::load()
{
    const QString accountsFolder = CampaignStore::accountsFolder(m_workingFolder);
    if (!QFileInfo(accountsFolder).isDir())
        QDir().mkpath(accountsFolder);
    WriteErrorLog(QStringLiteral("frmMain: set tree view "));
    loadTree();
}

void Workspace::loadTree()
{
    m_tree->treeReplaced(nullptr);
    m_accounts = std::make_unique<clsMain>(m_workingFolder);
    const bool exists = m_accounts->LoadAccounts();
    m_tree->treeReplaced(m_accounts.get());
    m_view.showSelection(m_oSelectedNode);
    if (!m_accounts->readError().isEmpty())
        platform::MsgBox(QStringLiteral("The list of accounts and campaigns could not be read, so the tree shows "
                                        "none of them; the file is left as it is.\r\n\r\n")
                             + m_accounts->readError(),
                         platform::MsgButtons::OK, platform::MsgIcon::Critical, AppTitle());
    if (!exists) {
        // No campaign is open: the editor would show the former one, whose
        // further edits would be saved nowhere.
        m_view.showEditor(false);
        return;
    }
    m_view.showEditor(true);
    selectFirstAccount();
    if (openCampaign())
        OpenCampaign();
}

void Workspace::changeSettings(const std::function<void()>& showPreferences)
{
    // The open campaign is saved first; the reload below replaces the editor,
    // and no later click may save it into another working folder.
    if (!saveBeforeLeaving(QStringLiteral("Open the setup anyway?")))
        return;
    setSelectedNode(std::nullopt);

    showPreferences();

    m_preferences.GetSettings();
    QString folder = m_preferences.WorkingFolder();
    if (folder.compare(m_workingFolder, Qt::CaseInsensitive) != 0) {
        if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        if (!QFileInfo(folder).isDir())
            QDir().mkpath(folder);
        ErrorLog::WriteErrorLogLines({QStringLiteral("Change WorkingFolder: "), QStringLiteral("Old Folder: ")
                                           + m_workingFolder + QStringLiteral(", NewFolder: ") + folder});
        m_workingFolder = folder;
        Q_EMIT workingFolderChanged(m_workingFolder);
    }
    loadTree();
}

void Workspace::close(const QString& windowPosition)
{
    if (!windowPosition.isEmpty())
        m_preferences.SetMainFormPos(windowPosition);
    if (m_oSelectedNode)
        m_preferences.SetLastSelectAcc(m_oSelectedNode->key());
    setSelectedNode(std::nullopt);
}

// ---------------------------------------------------------------------------
// Tree commands

void Workspace::tvwAccount_NodeClick(const NodeId& node)
{
    const QString prefix = QStringLiteral("tvwAccount_NodeClick ....");
    WriteErrorLog(prefix + trace(node));
    if (m_oSelectedNode) {
        WriteErrorLog(prefix + trace(*m_oSelectedNode));
        if (m_oSelectedNode->matches(node)) {
            WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... m_oSelectedNode.key = Node.key"));
            return;
        }
        WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... SaveCampaign"));
        if (!saveBeforeLeaving(QStringLiteral("Leave the campaign anyway?"))) {
            m_view.showSelection(m_oSelectedNode); // the click moved the highlight
            return;
        }
    }
    setSelectedNode(node);
    if (m_accounts->hasChildren(node)) {
        WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... Node.Children > 0"));
        m_view.showEditor(false);
        return;
    }
    m_accounts->setSelectNode(node);
    if (node.isAccount()) {
        // An account is never open in the editor, but it is the node that
        // Delete Campaign asks about next.
        m_view.showEditor(false);
        return;
    }
    m_view.showEditor(true);
    WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... set new m_oSelectedNode: ") + trace(node));
    OpenCampaign();
}

void Workspace::selectFirstAccount()
{
    QString target = m_preferences.GetLastSelectAcc();
    std::optional<NodeId> hand;
    bool found = false;
    bool first = true;
    for (const TreeNode& node : m_accounts->nodes()) {
        hand = node.id;
        if (target.isEmpty() && node.id.isCampaign())
            target = node.id.key();
        if (node.id.key().compare(target, Qt::CaseInsensitive) == 0) {
            found = true;
            break;
        }
        first = false;
    }
    if (found && !first)
        m_accounts->setImage(*hand, kCampaignOpen);
    if (m_accounts->IsAccountExists()) {
        tvwAccount_NodeClick(*hand);
    } else if (m_accounts->count() >= 2) {
        hand = std::next(m_accounts->nodes().cbegin())->id;
        m_accounts->setImage(*hand, kCampaignOpen);
    }
    if (hand)
        WriteErrorLog(QStringLiteral("frmMain_selectFirstAccount ....") + trace(*hand));
    // The node click has set (or, when the campaign could not be read,
    // cleared) the selected node already.
    if (!m_accounts->IsAccountExists())
        setSelectedNode(hand);
    // A node with campaigns, an account, or a tree of fewer than two nodes
    // shows the welcome page.
    const std::optional<NodeId>& open = m_oSelectedNode;
    const bool welcome =
        !open || m_accounts->hasChildren(*open) || open->isAccount() || m_accounts->count() < 2;
    m_view.showEditor(!welcome);
}

void Workspace::DeleteCampaign()
{
    QString saveError;
    const std::optional<NodeId> removed = m_accounts->DeleteAccount(&saveError);
    if (!removed)
        return;
    m_tree->campaignRemoved(*removed);
    if (m_oSelectedNode && m_oSelectedNode->matches(*removed)) {
        // The deleted campaign is no longer open: nothing writes it back.
        m_oSelectedNode.reset();
        m_view.showEditor(false);
    }
    m_view.showSelection(m_oSelectedNode);
    if (!saveError.isEmpty())
        reportUnsavedTree(*removed, false, saveError);
}

bool Workspace::addNewCampaign(const QString& account, const QString& campaign)
{
    if (campaign.isEmpty())
        return false;
    if (m_accounts->addAccount(account))
        m_tree->nodeAdded(NodeId::accountNode(account));
    const std::optional<NodeId> parent = m_accounts->findAccount(account);
    if (!parent || !m_accounts->addCampaign(parent->account, campaign, QString(), kCampaignOpen)) {
        WriteErrorLog(QStringLiteral("frmMain_NewCampaign_Error: the campaign '") + campaign
                      + QStringLiteral("' exists already in account '") + account + QStringLiteral("'"));
        platform::MsgBox(QStringLiteral("Campaign '") + campaign + QStringLiteral("' already exists in account '")
                             + account + QStringLiteral("'."),
                         platform::MsgButtons::OK, platform::MsgIcon::Critical, kCreateNewCampaign);
        m_view.showSelection(m_oSelectedNode);
        return false;
    }
    const NodeId added = NodeId::campaignNode(parent->account, campaign);
    m_tree->nodeAdded(added);
    setSelectedNode(added);
    ClearCampaign();
    m_view.showEditor(true);
    QString saveError;
    if (!m_accounts->SaveAccount(&saveError))
        reportUnsavedTree(added, true, saveError);
    return true;
}

void Workspace::reportUnsavedTree(const NodeId& campaign, bool added, const QString& error)
{
    const QString text = QStringLiteral("The campaign '") + campaign.campaign + QStringLiteral("' of account '")
        + campaign.account + (added ? QStringLiteral("' has been added") : QStringLiteral("' has been deleted"))
        + QStringLiteral(", but the list of accounts and campaigns could not be saved: the campaign will be ")
        + (added ? QStringLiteral("missing from") : QStringLiteral("back in"))
        + QStringLiteral(" the tree when the program starts again.\r\n\r\n") + error;
    platform::MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::Critical,
                     added ? kCreateNewCampaign : QStringLiteral("Delete Campaign"));
}

// ---------------------------------------------------------------------------
// Campaign storage

QString Workspace::saveOpenCampaign()
{
    // The page lives in its own file, whichever campaign is open: it is kept
    // before the campaign changes or the window closes.
    m_view.saveLandingPage();
    const std::optional<NodeId> open = openCampaign();
    if (!open)
        return QString();
    WriteErrorLog(QStringLiteral("frmMain_SaveCampaign ....") + trace(*open));
    QString error;
    if (CampaignStore::save(campaignFolder(), m_view.editedCampaign(), &error))
        return QString();
    WriteErrorLog(QStringLiteral("SaveCampaign_Error: ") + error + QStringLiteral("-log point 3"));
    return QStringLiteral("The campaign '") + open->campaign + QStringLiteral("' of account '") + open->account
        + QStringLiteral("' could not be saved.\r\n\r\n") + error;
}

bool Workspace::SaveCampaign()
{
    const QString failure = saveOpenCampaign();
    if (failure.isEmpty())
        return true;
    platform::MsgBox(failure, platform::MsgButtons::OK, platform::MsgIcon::Critical, kSaveCampaign);
    return false;
}

bool Workspace::saveBeforeLeaving(const QString& goOnQuestion)
{
    const QString failure = saveOpenCampaign();
    if (failure.isEmpty())
        return true;
    const QString text = failure + QStringLiteral("\r\n\r\n") + goOnQuestion
        + QStringLiteral(" Your changes to the campaign will be lost.");
    return platform::MsgBox(text, platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, kSaveCampaign)
        == platform::MsgResult::Yes;
}

bool Workspace::OpenCampaign()
{
    m_view.setStatusText(QStringLiteral("Please wait while loading campaign data ..."));
    auto fail = [this](const QString& why, const QString& label) {
        m_view.setStatusText(QStringLiteral("Load campaign data failed"));
        WriteErrorLog(QStringLiteral("OpenCampaign_Error: ") + why + QLatin1Char('-') + label);
        return false;
    };
    if (!m_oSelectedNode) {
        WriteErrorLog(QStringLiteral("frmMain_OpenCampaign .... m_oSelectedNode is nothing"));
        return fail(QStringLiteral("no campaign is selected"), QStringLiteral("Log point 2"));
    }
    WriteErrorLog(QStringLiteral("frmMain_OpenCampaign ....") + trace(*m_oSelectedNode));
    if (!m_oSelectedNode->isCampaign())
        return fail(QStringLiteral("the node '") + m_oSelectedNode->account + QStringLiteral("' is an account"),
                    QStringLiteral("Log point 3"));

    // The editor is emptied first, so a failure never leaves two campaigns mixed.
    m_view.emptyEditor();
    const NodeId node = *m_oSelectedNode;
    // The user is told why: the campaign would otherwise just look closed.
    const auto closeOnFailure = [&](const QString& why, const QString& label) {
        setSelectedNode(std::nullopt);
        m_view.showEditor(false);
        fail(why, label);
        platform::MsgBox(QStringLiteral("The campaign '") + node.campaign + QStringLiteral("' of account '")
                             + node.account + QStringLiteral("' could not be opened.\r\n\r\n") + why,
                         platform::MsgButtons::OK, platform::MsgIcon::Critical, QStringLiteral("Open Campaign"));
        return false;
    };
    // A name from a damaged Accounts.dat must not lead a save or a build out
    // of the campaign's own folder.
    if (!CampaignStore::isFolderName(node.account) || !CampaignStore::isFolderName(node.campaign))
        return closeOnFailure(QStringLiteral("The name of the campaign or of its account cannot be the name of a "
                                             "folder: it is \".\" or \"..\", or it holds a slash or backslash."),
                              QStringLiteral("Log point 3"));
    const QString folder = campaignFolder();
    CampaignData data;
    QString error;
    if (!CampaignStore::load(folder, data, &error))
        return closeOnFailure(error, QStringLiteral("Log point 4"));
    m_view.fillEditor(data);

    m_view.setStatusText(QStringLiteral("Please wait while loading adwords files ..."));
    m_view.showGeneratedFiles(folder);
    m_view.setStatusText(QString());
    return true;
}

void Workspace::ClearCampaign()
{
    m_view.emptyEditor();
    m_view.clearGeneratedFiles();
}
