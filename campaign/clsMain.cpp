#include "campaign/clsMain.h"

#include "campaign/CampaignStore.h"
#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/RegularFile.h"
#include "core/TextFiles.h"

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

// ASCII folds by its capital letters alone.
constexpr char16_t foldedAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

bool clsMain::NameOrder::operator()(const QString& a, const QString& b) const
{
    // Every name is compared some twenty times while a big tree loads; the
    // Unicode folding of QString::compare is needed only from the first
    // character beyond ASCII on.
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = QStringView(a).utf16();
    const char16_t* pb = QStringView(b).utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = pa[i];
        const char16_t cb = pb[i];
        if (ca >= 0x80 || cb >= 0x80)
            return QStringView(a).sliced(i).compare(QStringView(b).sliced(i), Qt::CaseInsensitive) < 0;
        if (ca != cb) {
            const char16_t fa = foldedAscii(ca);
            const char16_t fb = foldedAscii(cb);
            if (fa != fb)
                return fa < fb;
        }
    }
    return a.size() < b.size();
}

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
    m_readError.clear();
    m_accountsFile = CampaignStore::existingEntry(m_workingFolder, QStringLiteral("Accounts.dat"));
    // A folder or a named pipe in its place is no missing file: it is named
    // as the reason the list cannot be read, and the list is never saved
    // over it.
    const bool exists = QFileInfo::exists(m_accountsFile);
    if (exists) {
        QString text;
        if (!TextFiles::read(m_accountsFile, text, &m_readError))
            ErrorLog::WriteErrorLog(QStringLiteral("LoadLoadAccounts_Error: ") + m_readError);
        QString current; // the account's folded name
        for (const QString& raw : TextFiles::splitLines(text)) {
            const QString line = Conversions::Trim(raw);
            if (line.isEmpty())
                continue;
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) && line.size() >= 2) {
                const QString name = line.mid(1, line.size() - 2);
                current = folded(name);
                addAccount(name); // a repeated account joins the first one
            } else if (!current.isEmpty()) {
                addCampaignTo(m_accounts.find(current), line, kCampaign, QString()); // a duplicate is dropped
            }
        }
    }
    if (m_nodes.isEmpty())
        addAccount(QStringLiteral("Default"));
    return exists;
}

bool clsMain::SaveAccount(QString* error) const
{
    const auto fail = [error](const QString& why) {
        ErrorLog::WriteErrorLog(QStringLiteral("clsMain_SaveAccount error:  ") + why);
        if (error)
            *error = why;
        return false;
    };
    // Whatever stands there now: a save would put a regular file in its place.
    const QString notFile = platform::notRegularFile(m_accountsFile);
    if (!notFile.isEmpty())
        return fail(TextFiles::writeError(m_accountsFile, notFile));
    if (!m_readError.isEmpty())
        return fail(TextFiles::writeError(m_accountsFile, QStringLiteral("it could not be read when the tree was "
                                                                         "loaded, so it is not overwritten")));
    QString text;
    // An account's campaigns by serial, which is their node order.
    std::vector<std::pair<quint64, const QString*>> campaigns;
    for (const Account* account : accountsInNodeOrder()) {
        text += QLatin1Char('[') + account->name + QStringLiteral("]\r\n");
        campaigns.clear();
        for (const auto& [name, serial] : account->campaigns)
            campaigns.emplace_back(serial, &name);
        std::sort(campaigns.begin(), campaigns.end());
        for (const auto& [serial, name] : campaigns)
            text += *name + QStringLiteral("\r\n");
    }
    QString why;
    if (!TextFiles::makeFolder(m_workingFolder, &why) || !TextFiles::saveText(m_accountsFile, text, &why))
        return fail(why);
    return true;
}

const clsMain::Account* clsMain::accountEntry(const QString& name) const
{
    const auto at = m_accounts.constFind(folded(name));
    return at == m_accounts.cend() ? nullptr : &*at;
}

std::vector<const clsMain::Account*> clsMain::accountsInNodeOrder() const
{
    std::vector<const Account*> accounts;
    accounts.reserve(size_t(m_accounts.size()));
    for (const Account& account : m_accounts)
        accounts.push_back(&account);
    std::sort(accounts.begin(), accounts.end(),
              [](const Account* a, const Account* b) { return a->serial < b->serial; });
    return accounts;
}

const TreeNode* clsMain::find(const NodeId& id) const
{
    const Account* account = accountEntry(id.account);
    if (!account)
        return nullptr;
    quint64 serial = account->serial;
    if (id.isCampaign()) {
        const auto campaign = account->campaigns.find(id.campaign);
        if (campaign == account->campaigns.end())
            return nullptr;
        serial = campaign->second;
    }
    const auto node = m_nodes.constFind(serial);
    return node == m_nodes.cend() ? nullptr : &*node;
}

TreeNode* clsMain::findNode(const NodeId& id)
{
    return const_cast<TreeNode*>(std::as_const(*this).find(id));
}

std::optional<NodeId> clsMain::findAccount(const QString& name) const
{
    const Account* account = accountEntry(name);
    if (!account)
        return std::nullopt;
    return NodeId::accountNode(account->name);
}

bool clsMain::NodeKeyExists(const QString& key) const
{
    return std::any_of(m_nodes.cbegin(), m_nodes.cend(),
                       [&](const TreeNode& node) { return sameName(node.id.key(), key); });
}

bool clsMain::hasChildren(const NodeId& id) const
{
    const Account* account = id.isAccount() ? accountEntry(id.account) : nullptr;
    return account && !account->campaigns.empty();
}

bool clsMain::IsAccountExists() const
{
    return m_campaigns > 0;
}

quint64 clsMain::append(const TreeNode& node)
{
    const quint64 serial = m_nextSerial++;
    m_nodes.insert(serial, node);
    return serial;
}

bool clsMain::addAccount(const QString& name)
{
    if (name.isEmpty() || findAccount(name))
        return false;
    Account& account = m_accounts[folded(name)];
    account.name = name;
    account.serial = append(TreeNode{NodeId::accountNode(name), kAccount, kAccountOpen});
    return true;
}

bool clsMain::addCampaign(const QString& account, const QString& campaign, const QString& image,
                          const QString& selectedImage)
{
    return addCampaignTo(m_accounts.find(folded(account)), campaign, image, selectedImage);
}

bool clsMain::addCampaignTo(QHash<QString, Account>::iterator entry, const QString& campaign, const QString& image,
                            const QString& selectedImage)
{
    if (entry == m_accounts.end() || campaign.isEmpty())
        return false;
    // One search finds both a campaign of that name and the place of a new one.
    const auto [at, added] = entry->campaigns.try_emplace(campaign, 0);
    if (!added)
        return false;
    at->second = append(TreeNode{NodeId::campaignNode(entry->name, campaign), image, selectedImage});
    ++m_campaigns;
    return true;
}

bool clsMain::removeCampaign(const NodeId& id)
{
    const auto entry = id.isCampaign() ? m_accounts.find(folded(id.account)) : m_accounts.end();
    if (entry == m_accounts.end())
        return false;
    const auto campaign = entry->campaigns.find(id.campaign);
    if (campaign == entry->campaigns.end())
        return false;
    m_nodes.remove(campaign->second);
    entry->campaigns.erase(campaign);
    --m_campaigns;
    return true;
}

void clsMain::clear()
{
    m_nodes.clear();
    m_accounts.clear();
    m_campaigns = 0;
    m_selectNode.reset();
}

QString clsMain::image(const NodeId& id) const
{
    const TreeNode* node = find(id);
    return node ? node->image : QString();
}

void clsMain::setImage(const NodeId& id, const QString& image)
{
    TreeNode* node = findNode(id);
    if (!node || node->image == image)
        return;
    node->image = image;
    if (m_imageObserver)
        m_imageObserver(node->id);
}

QList<NodeId> clsMain::displayOrder() const
{
    std::vector<const Account*> accounts = accountsInNodeOrder();
    std::sort(accounts.begin(), accounts.end(),
              [](const Account* a, const Account* b) { return sortsBefore(a->name, b->name); });
    QList<NodeId> order;
    order.reserve(m_nodes.size());
    for (const Account* account : accounts) {
        order.append(NodeId::accountNode(account->name));
        for (const auto& [name, serial] : account->campaigns)
            order.append(NodeId::campaignNode(account->name, name));
    }
    return order;
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
    const Account* account = accountEntry(id.account);
    if (!account)
        return std::nullopt;
    const auto& campaigns = account->campaigns;
    auto at = campaigns.find(id.campaign);
    if (at != campaigns.end() && std::next(at) != campaigns.end())
        return m_nodes.value(std::next(at)->second).id;
    if (at != campaigns.end() && at != campaigns.begin())
        return m_nodes.value(std::prev(at)->second).id;
    return findAccount(id.account);
}

std::optional<NodeId> clsMain::DeleteAccount(QString* saveError)
{
    if (saveError)
        saveError->clear();
    if (!m_selectNode) {
        ErrorLog::WriteErrorLog(QStringLiteral("clsMain_DeleteAccount error: no campaign has been opened"));
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
        ErrorLog::WriteErrorLog(QStringLiteral("clsMain_DeleteAccount error: the node '") + text
                                + QStringLiteral("' has no parent account"));
        return std::nullopt;
    }
    const std::optional<NodeId> next = siblingAfterRemoval(node);

    const QString datFile = join(CampaignStore::campaignFolder(m_workingFolder, node.account, node.campaign),
                                 node.campaign + QStringLiteral(".dat"));
    // A name that is no folder of its own never had its files written there.
    const bool ownFolder = CampaignStore::isFolderName(node.account) && CampaignStore::isFolderName(node.campaign);
    if (ownFolder && QFileInfo(datFile).isFile() && !QFile::remove(datFile))
        ErrorLog::WriteErrorLog(QStringLiteral("clsMain_DeleteAccount error: cannot delete ") + datFile);

    removeCampaign(node);
    m_selectNode = next;
    if (next)
        setImage(*next, kCampaignOpen);
    SaveAccount(saveError);
    return node;
}
