#include "workspace/clsMain.h"

#include "core/modCommon.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "workspace/CampaignStore.h"
#include "workspace/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using platform::Locations::join;

namespace {

const QString kAccount = QStringLiteral("Account");
const QString kAccountOpen = QStringLiteral("AccountOpen");
const QString kCampaign = QStringLiteral("Campaign");
const QString kCampaignOpen = QStringLiteral("CampaignOpen");

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool sortsBefore(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QString folded(const QString& name)
{
    return name.toCaseFolded();
}

// Names compare without regard to case; an account key has no campaign part.
QString indexKey(const NodeId& id)
{
    return id.isAccount() ? folded(id.account) : folded(id.account) + QChar(0) + folded(id.campaign);
}

} // namespace

QString NodeId::key() const
{
    return isAccount() ? account : account + QLatin1Char('-') + campaign;
}

bool NodeId::matches(const NodeId& other) const
{
    return sameName(account, other.account) && sameName(campaign, other.campaign)
        && isAccount() == other.isAccount();
}

clsMain::clsMain(const QString& workingFolder)
    : m_workingFolder(workingFolder)
    , m_accountsFile(join(workingFolder, QStringLiteral("Accounts.dat")))
{
}

bool clsMain::LoadAccounts()
{
    clear();
    m_accountsUnreadable = false;
    bool exists = false;
    if (QFileInfo(m_accountsFile).isFile()) {
        exists = true;
        QString text;
        QString error;
        if (!TextFiles::read(m_accountsFile, text, &error)) {
            m_accountsUnreadable = true;
            modCommon::WriteErrorLog(QStringLiteral("LoadLoadAccounts_Error: ") + error);
        }
        QString current;
        for (const QString& raw : TextFiles::splitLines(text)) {
            const QString line = modCommon::Trim(raw);
            if (line.isEmpty())
                continue;
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) && line.size() >= 2) {
                current = line.mid(1, line.size() - 2);
                if (!current.isEmpty()) {
                    if (const auto existing = findAccount(current))
                        current = existing->account; // a repeated account joins the first one
                    else
                        addAccount(current);
                }
            } else if (!current.isEmpty()) {
                addCampaign(current, line, kCampaign, QString()); // a duplicate is dropped
            }
        }
    }
    if (m_nodes.isEmpty())
        addAccount(QStringLiteral("Default"));
    return exists;
}

bool clsMain::SaveAccount() const
{
    if (m_accountsUnreadable) {
        modCommon::WriteErrorLog(QStringLiteral("clsMain_SaveAccount error:  ") + m_accountsFile
                                 + QStringLiteral(" could not be read, so it is not overwritten"));
        return false;
    }
    QString text;
    const QHash<QString, QList<int>> campaigns = campaignPositions();
    for (const TreeNode& node : m_nodes) {
        if (!node.id.isAccount())
            continue;
        text += QLatin1Char('[') + node.id.account + QStringLiteral("]\r\n");
        for (int at : campaigns.value(folded(node.id.account)))
            text += m_nodes.at(at).id.campaign + QStringLiteral("\r\n");
    }
    QString error;
    QDir().mkpath(m_workingFolder);
    if (!TextFiles::saveText(m_accountsFile, text, &error)) {
        modCommon::WriteErrorLog(QStringLiteral("clsMain_SaveAccount error:  ") + error);
        return false;
    }
    return true;
}

int clsMain::indexOf(const NodeId& id) const
{
    return m_index.value(indexKey(id), -1);
}

std::optional<NodeId> clsMain::findAccount(const QString& name) const
{
    const int at = indexOf(NodeId::accountNode(name));
    if (at < 0)
        return std::nullopt;
    return m_nodes.at(at).id;
}

bool clsMain::NodeKeyExists(const QString& key) const
{
    return std::any_of(m_nodes.cbegin(), m_nodes.cend(),
                       [&](const TreeNode& node) { return sameName(node.id.key(), key); });
}

bool clsMain::hasChildren(const NodeId& id) const
{
    return id.isAccount() && m_campaignCounts.value(folded(id.account)) > 0;
}

bool clsMain::IsAccountExists() const
{
    return m_campaigns > 0;
}

void clsMain::append(const TreeNode& node)
{
    m_index.insert(indexKey(node.id), int(m_nodes.size()));
    m_nodes.append(node);
    if (node.id.isCampaign()) {
        ++m_campaignCounts[folded(node.id.account)];
        ++m_campaigns;
    }
}

void clsMain::rebuildIndex()
{
    const QList<TreeNode> nodes = m_nodes;
    m_nodes.clear();
    m_index.clear();
    m_campaignCounts.clear();
    m_campaigns = 0;
    for (const TreeNode& node : nodes)
        append(node);
}

bool clsMain::addAccount(const QString& name)
{
    if (name.isEmpty() || findAccount(name))
        return false;
    append(TreeNode{NodeId::accountNode(name), kAccount, kAccountOpen});
    return true;
}

bool clsMain::addCampaign(const QString& account, const QString& campaign, const QString& image,
                          const QString& selectedImage)
{
    const auto parent = findAccount(account);
    if (!parent || campaign.isEmpty())
        return false;
    const NodeId id = NodeId::campaignNode(parent->account, campaign);
    if (contains(id))
        return false;
    append(TreeNode{id, image, selectedImage});
    return true;
}

bool clsMain::removeCampaign(const NodeId& id)
{
    const int i = indexOf(id);
    if (i < 0 || m_nodes.at(i).id.isAccount())
        return false;
    m_nodes.removeAt(i);
    rebuildIndex();
    return true;
}

void clsMain::clear()
{
    m_nodes.clear();
    m_index.clear();
    m_campaignCounts.clear();
    m_campaigns = 0;
    m_selectNode.reset();
}

QString clsMain::image(const NodeId& id) const
{
    const int i = indexOf(id);
    return i < 0 ? QString() : m_nodes.at(i).image;
}

void clsMain::setImage(const NodeId& id, const QString& image)
{
    const int i = indexOf(id);
    if (i < 0 || m_nodes.at(i).image == image)
        return;
    m_nodes[i].image = image;
    if (m_imageObserver)
        m_imageObserver(m_nodes.at(i).id);
}

QList<NodeId> clsMain::displayOrder() const
{
    QList<NodeId> accounts;
    for (const TreeNode& node : m_nodes) {
        if (node.id.isAccount())
            accounts.append(node.id);
    }
    std::stable_sort(accounts.begin(), accounts.end(),
                     [](const NodeId& a, const NodeId& b) { return sortsBefore(a.account, b.account); });
    const QHash<QString, QList<int>> positions = campaignPositions();
    QList<NodeId> order;
    order.reserve(m_nodes.size());
    for (const NodeId& account : accounts) {
        order.append(account);
        QList<NodeId> campaigns;
        for (int at : positions.value(folded(account.account)))
            campaigns.append(m_nodes.at(at).id);
        std::stable_sort(campaigns.begin(), campaigns.end(),
                         [](const NodeId& a, const NodeId& b) { return sortsBefore(a.campaign, b.campaign); });
        order.append(campaigns);
    }
    return order;
}

QHash<QString, QList<int>> clsMain::campaignPositions() const
{
    QHash<QString, QList<int>> positions;
    for (int i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes.at(i).id.isCampaign())
            positions[folded(m_nodes.at(i).id.account)].append(i);
    }
    return positions;
}

void clsMain::setSelectNode(const NodeId& id)
{
    if (m_selectNode)
        setImage(*m_selectNode, kCampaign);
    m_selectNode = id;
    setImage(id, kCampaignOpen);
}

std::optional<NodeId> clsMain::siblingAfterRemoval(const NodeId& id) const
{
    // Siblings in the order the sorted tree shows them.
    QList<NodeId> siblings;
    for (const NodeId& node : displayOrder()) {
        if (node.isCampaign() && sameName(node.account, id.account))
            siblings.append(node);
    }
    int at = -1;
    for (int i = 0; i < siblings.size(); ++i) {
        if (siblings.at(i).matches(id))
            at = i;
    }
    if (at >= 0 && at + 1 < siblings.size())
        return siblings.at(at + 1);
    if (at > 0)
        return siblings.at(at - 1);
    return findAccount(id.account);
}

std::optional<NodeId> clsMain::DeleteAccount()
{
    if (!m_selectNode) {
        modCommon::WriteErrorLog(QStringLiteral("clsMain_DeleteAccount error: no campaign has been opened"));
        return std::nullopt;
    }
    const NodeId node = *m_selectNode;
    if (hasChildren(node))
        return std::nullopt;
    const QString text = node.isAccount() ? node.account : node.campaign;
    const auto answer = platform::MsgBox(
        QStringLiteral("Are you sure you want to delete campaign '") + text + QStringLiteral("' ?"),
        platform::MsgButtons::YesNo, platform::MsgIcon::Question, QStringLiteral("Delete Campaign"));
    if (answer != platform::MsgResult::Yes)
        return std::nullopt;
    if (node.isAccount() || !contains(node)) {
        modCommon::WriteErrorLog(QStringLiteral("clsMain_DeleteAccount error: the node '") + text
                                 + QStringLiteral("' has no parent account"));
        return std::nullopt;
    }
    const std::optional<NodeId> next = siblingAfterRemoval(node);

    const QString datFile = join(CampaignStore::campaignFolder(m_workingFolder, node.account, node.campaign),
                                 node.campaign + QStringLiteral(".dat"));
    if (QFileInfo(datFile).isFile() && !QFile::remove(datFile))
        modCommon::WriteErrorLog(QStringLiteral("clsMain_DeleteAccount error: cannot delete ") + datFile);

    removeCampaign(node);
    m_selectNode = next;
    if (next)
        setImage(*next, kCampaignOpen);
    SaveAccount();
    return node;
}
