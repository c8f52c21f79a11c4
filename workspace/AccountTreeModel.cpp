#include "workspace/AccountTreeModel.h"

#include <algorithm>

namespace {

// The internal id of a campaign's index: its account's serial, one up, times
// an odd constant. Qt keeps a persistent index of every item a tree view
// shows, hashed by row * 16 + internal id and placed by the low bits of that
// sum alone: the spread keeps the campaigns of a big tree from piling into
// the same slots. Account indexes have id 0.
constexpr quintptr kSpread = sizeof(quintptr) == 8 ? quintptr(0x9E3779B97F4A7C15ull) : quintptr(0x9E3779B9u);

// The inverse of an odd number modulo 2^bits (Newton: each step doubles the
// correct bits).
constexpr quintptr inverse(quintptr odd)
{
    quintptr x = odd;
    for (int i = 0; i < 6; ++i)
        x *= 2 - odd * x;
    return x;
}

constexpr quintptr kUnspread = inverse(kSpread);
static_assert(kSpread * kUnspread == 1);

quintptr campaignId(quintptr accountSerial)
{
    return (accountSerial + 1) * kSpread;
}

// The serial of a campaign index's account; -1 for an account index.
qint64 accountSerialOf(quintptr id)
{
    return qint64(id * kUnspread) - 1;
}

// Names are unique without regard to case at each level, and the display
// order sorts by that comparison first: a node's row, or the row a new one
// takes, is found by binary search.
template <class List, class NameOf>
int lowerRow(const List& list, const QString& name, NameOf nameOf)
{
    const auto at = std::lower_bound(list.begin(), list.end(), name, [&](const auto& item, const QString& key) {
        return nameOf(item).compare(key, Qt::CaseInsensitive) < 0;
    });
    return int(at - list.begin());
}

template <class List, class NameOf>
int findRow(const List& list, const QString& name, NameOf nameOf)
{
    const int row = lowerRow(list, name, nameOf);
    if (row == int(list.size()) || nameOf(list[row]).compare(name, Qt::CaseInsensitive) != 0)
        return -1;
    return row;
}

const QString& accountName(const auto* account)
{
    return account->id.account;
}

const QString& campaignName(const NodeId& campaign)
{
    return campaign.campaign;
}

} // namespace

AccountTreeModel::AccountTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

AccountTreeModel::~AccountTreeModel()
{
    if (m_tree)
        m_tree->setImageObserver(nullptr);
}

void AccountTreeModel::setTree(clsMain* tree)
{
    if (m_tree)
        m_tree->setImageObserver(nullptr);
    m_tree = tree;
    if (m_tree)
        m_tree->setImageObserver([this](const NodeId& node) { imageChanged(node); });
    reload();
}

void AccountTreeModel::reload()
{
    beginResetModel();
    m_accounts.clear();
    m_rows.clear();
    if (m_tree) {
        for (const NodeId& id : m_tree->displayOrder()) {
            if (id.isAccount())
                addAccount(id, m_rows.size());
            else if (!m_rows.empty())
                m_rows.back()->campaigns.append(id);
        }
    }
    endResetModel();
}

AccountTreeModel::Account& AccountTreeModel::addAccount(const NodeId& id, size_t row)
{
    auto account = std::make_unique<Account>();
    account->id = id;
    account->serial = m_accounts.size();
    m_rows.insert(m_rows.begin() + qsizetype(row), account.get());
    for (size_t r = row; r < m_rows.size(); ++r)
        m_rows[r]->row = int(r);
    m_accounts.push_back(std::move(account));
    return *m_accounts.back();
}

void AccountTreeModel::nodeAdded(const NodeId& node)
{
    if (node.isAccount()) {
        const int row = lowerRow(m_rows, node.account, accountName<Account>);
        beginInsertRows(QModelIndex(), row, row);
        addAccount(node, size_t(row));
        endInsertRows();
        return;
    }
    const int accountAt = accountRow(node.account);
    if (accountAt < 0)
        return;
    QList<NodeId>& campaigns = m_rows[size_t(accountAt)]->campaigns;
    const int row = lowerRow(campaigns, node.campaign, campaignName);
    beginInsertRows(index(accountAt, 0), row, row);
    campaigns.insert(row, node);
    endInsertRows();
}

void AccountTreeModel::campaignRemoved(const NodeId& node)
{
    const QModelIndex at = indexOf(node);
    if (!at.isValid() || !node.isCampaign())
        return;
    beginRemoveRows(at.parent(), at.row(), at.row());
    m_rows[size_t(at.parent().row())]->campaigns.removeAt(at.row());
    endRemoveRows();
}

void AccountTreeModel::setIcons(const QHash<QString, QIcon>& icons)
{
    m_icons = icons;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void AccountTreeModel::setExpanded(const QModelIndex& account, bool expanded)
{
    if (!account.isValid() || accountOf(account))
        return;
    Account& a = *m_rows[size_t(account.row())];
    if (a.expanded == expanded)
        return;
    a.expanded = expanded;
    Q_EMIT dataChanged(account, account, {Qt::DecorationRole, ImageKeyRole});
}

int AccountTreeModel::accountRow(const QString& name) const
{
    return findRow(m_rows, name, accountName<Account>);
}

QModelIndex AccountTreeModel::indexOf(const NodeId& node) const
{
    const int row = accountRow(node.account);
    if (row < 0)
        return QModelIndex();
    if (node.isAccount())
        return createIndex(row, 0, quintptr(0));
    const Account& account = *m_rows[size_t(row)];
    const int at = findRow(account.campaigns, node.campaign, campaignName);
    return at < 0 ? QModelIndex() : createIndex(at, 0, campaignId(account.serial));
}

std::optional<NodeId> AccountTreeModel::nodeAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return std::nullopt;
    if (const Account* account = accountOf(index))
        return account->campaigns.at(index.row());
    return m_rows[size_t(index.row())]->id;
}

void AccountTreeModel::imageChanged(const NodeId& node)
{
    const QModelIndex at = indexOf(node);
    if (at.isValid())
        Q_EMIT dataChanged(at, at, {Qt::DecorationRole, ImageKeyRole});
}

const AccountTreeModel::Account* AccountTreeModel::accountOf(const QModelIndex& index) const
{
    const qint64 serial = accountSerialOf(index.internalId());
    return serial < 0 ? nullptr : m_accounts[size_t(serial)].get();
}

QModelIndex AccountTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid())
        return row < int(m_rows.size()) ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (accountOf(parent))
        return QModelIndex(); // campaigns have no children
    const Account& account = *m_rows[size_t(parent.row())];
    return row < account.campaigns.size() ? createIndex(row, 0, campaignId(account.serial)) : QModelIndex();
}

QModelIndex AccountTreeModel::parent(const QModelIndex& child) const
{
    const Account* account = child.isValid() ? accountOf(child) : nullptr;
    return account ? createIndex(account->row, 0, quintptr(0)) : QModelIndex();
}

int AccountTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_rows.size());
    if (parent.column() != 0 || accountOf(parent))
        return 0;
    return int(m_rows[size_t(parent.row())]->campaigns.size());
}

int AccountTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QString AccountTreeModel::imageKey(const QModelIndex& index) const
{
    const std::optional<NodeId> node = nodeAt(index);
    const TreeNode* tree = m_tree && node ? m_tree->find(*node) : nullptr;
    if (!tree)
        return QString();
    if (node->isAccount()) {
        // An account is drawn as an account whatever image key a selection
        // gave it, and opened while it shows its campaigns.
        const Account& account = *m_rows[size_t(index.row())];
        const bool open = account.expanded && !account.campaigns.isEmpty() && !tree->selectedImage.isEmpty();
        return open ? tree->selectedImage : QStringLiteral("Account");
    }
    // A campaign made by New Campaign has only its selected image.
    return tree->image.isEmpty() ? tree->selectedImage : tree->image;
}

QVariant AccountTreeModel::data(const QModelIndex& index, int role) const
{
    switch (role) {
    case Qt::DisplayRole: {
        const std::optional<NodeId> node = nodeAt(index);
        return node ? QVariant(node->isAccount() ? node->account : node->campaign) : QVariant();
    }
    case Qt::DecorationRole:
        return m_icons.value(imageKey(index));
    case ImageKeyRole:
        return imageKey(index);
    default:
        return QVariant();
    }
}

Qt::ItemFlags AccountTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // A campaign is a leaf: the view's expandAll then keeps no persistent
    // index for each campaign, which every later row insertion and removal
    // would have to walk.
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return accountOf(index) ? flags | Qt::ItemNeverHasChildren : flags;
}
