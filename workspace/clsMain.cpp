#include "workspace/clsMain.h"

#include "core/modCommon.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
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
    , m_accountsFolder(join(workingFolder, QStringLiteral("Accounts")))
{
}

bool clsMain::LoadAccounts()
{
    clear();
    bool exists = false;
    if (QFileInfo(m_accountsFile).isFile()) {
        exists = true;
        QString text;
        QString error;
        if (!TextFiles::read(m_accountsFile, text, &error))
            modCommon::WriteErrorLog(QStringLiteral("LoadLoadAccounts_Error: ") + error);
        QString current;
        for (const QString& raw : TextFiles::splitLines(text)) {
            const QString line = TextFiles::trimBlanks(raw);
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
    QString text;
    for (const TreeNode& node : m_nodes) {
        if (!node.id.isAccount())
            continue;
        text += QLatin1Char('[') + node.id.account + QStringLiteral("]\r\n");
        for (const NodeId& campaign : campaignsOf(node.id.account))
            text += campaign.campaign + QStringLiteral("\r\n");
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
    for (int i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes.at(i).id.matches(id))
            return i;
    }
    return -1;
}

std::optional<NodeId> clsMain::findAccount(const QString& name) const
{
    for (const TreeNode& node : m_nodes) {
        if (node.id.isAccount() && sameName(node.id.account, name))
            return node.id;
    }
    return std::nullopt;
}

bool clsMain::NodeKeyExists(const QString& key) const
{
    return std::any_of(m_nodes.cbegin(), m_nodes.cend(),
                       [&](const TreeNode& node) { return sameName(node.id.key(), key); });
}

bool clsMain::hasChildren(const NodeId& id) const
{
    if (!id.isAccount())
        return false;
    return std::any_of(m_nodes.cbegin(), m_nodes.cend(), [&](const TreeNode& node) {
        return node.id.isCampaign() && sameName(node.id.account, id.account);
    });
}

bool clsMain::IsAccountExists() const
{
    return std::any_of(m_nodes.cbegin(), m_nodes.cend(),
                       [](const TreeNode& node) { return node.id.isCampaign(); });
}

bool clsMain::addAccount(const QString& name)
{
    if (name.isEmpty() || findAccount(name))
        return false;
    m_nodes.append(TreeNode{NodeId::accountNode(name), kAccount, kAccountOpen});
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
    m_nodes.append(TreeNode{id, image, selectedImage});
    return true;
}

bool clsMain::removeCampaign(const NodeId& id)
{
    const int i = indexOf(id);
    if (i < 0 || m_nodes.at(i).id.isAccount())
        return false;
    m_nodes.removeAt(i);
    return true;
}

void clsMain::clear()
{
    m_nodes.clear();
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
    if (i >= 0)
        m_nodes[i].image = image;
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
    QList<NodeId> order;
    for (const NodeId& account : accounts) {
        order.append(account);
        QList<NodeId> campaigns = campaignsOf(account.account);
        std::stable_sort(campaigns.begin(), campaigns.end(),
                         [](const NodeId& a, const NodeId& b) { return sortsBefore(a.campaign, b.campaign); });
        order.append(campaigns);
    }
    return order;
}

QList<NodeId> clsMain::campaignsOf(const QString& account) const
{
    QList<NodeId> result;
    for (const TreeNode& node : m_nodes) {
        if (node.id.isCampaign() && sameName(node.id.account, account))
            result.append(node.id);
    }
    return result;
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

    const QString datFile = join(join(join(m_accountsFolder, node.account), node.campaign),
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
