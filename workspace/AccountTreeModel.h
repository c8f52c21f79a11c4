#pragma once

#include "campaign/AccountTreeObserver.h"
#include "campaign/clsMain.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

#include <memory>
#include <vector>

// The accounts tree as the tree view shows it: the accounts sorted by name,
// each with its campaigns sorted by name, and each node with the picture of
// its image key. A node's index is found by binary search, an image change
// repaints that one node and a new or deleted node inserts or removes that
// one row, so a click or a tree command costs about the same in a tree of a
// hundred thousand campaigns as in one of ten. It follows the workspace's
// tree as its AccountTreeObserver.
class AccountTreeModel : public QAbstractItemModel, public AccountTreeObserver
{
    Q_OBJECT

public:
    // The node's image key ("Account", "AccountOpen", "Campaign", "CampaignOpen").
    static constexpr int ImageKeyRole = Qt::UserRole;

    explicit AccountTreeModel(QObject* parent = nullptr);
    ~AccountTreeModel() override;

    // The tree shown (not owned; null shows nothing), from scratch. Image
    // changes are taken through its image observer; every other change must
    // be told: nodeAdded() after a node was added and campaignRemoved()
    // after a campaign was removed.
    void setTree(clsMain* tree);
    void treeReplaced(clsMain* tree) override { setTree(tree); }
    // An account, or a campaign of an account shown.
    void nodeAdded(const NodeId& node) override;
    void campaignRemoved(const NodeId& node) override;
    // The pictures of the image keys.
    void setIcons(const QHash<QString, QIcon>& icons);
    // An expanded account with campaigns shows its expanded image.
    void setExpanded(const QModelIndex& account, bool expanded);

    QModelIndex indexOf(const NodeId& node) const;
    // The node of an index; nothing for an invalid index.
    std::optional<NodeId> nodeAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Account {
        NodeId id;
        QList<NodeId> campaigns;
        int row = 0;          // in m_rows
        quintptr serial = 0;  // in m_accounts
        bool expanded = true;
    };

    void reload();
    // The account a campaign index belongs to; null for an account index.
    const Account* accountOf(const QModelIndex& index) const;
    int accountRow(const QString& name) const;
    Account& addAccount(const NodeId& id, size_t row);
    QString imageKey(const QModelIndex& index) const;
    void imageChanged(const NodeId& node);

    clsMain* m_tree = nullptr;
    // The accounts in the order they came, and in rows (display order). A
    // campaign's index names its account by the account's serial, which
    // stays while accounts come in above it.
    std::vector<std::unique_ptr<Account>> m_accounts;
    std::vector<Account*> m_rows;
    QHash<QString, QIcon> m_icons;
};
