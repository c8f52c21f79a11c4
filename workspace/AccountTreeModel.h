#pragma once

#include "workspace/clsMain.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

#include <vector>

// The accounts tree as the tree view shows it: the accounts sorted by name,
// each with its campaigns sorted by name, and each node with the picture of
// its image key. A node's index is found by binary search and an image
// change repaints that one node, so a click costs the same in a tree of a
// hundred thousand campaigns as in one of ten.
class AccountTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // The node's image key ("Account", "AccountOpen", "Campaign", "CampaignOpen").
    static constexpr int ImageKeyRole = Qt::UserRole;

    explicit AccountTreeModel(QObject* parent = nullptr);
    ~AccountTreeModel() override;

    // The tree shown (not owned; null shows nothing). reload() must follow
    // every change of its nodes; image changes are taken through its image
    // observer.
    void setTree(clsMain* tree);
    void reload();
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
        bool expanded = true;
    };

    const Account* accountOf(const QModelIndex& index) const;
    QString imageKey(const QModelIndex& index) const;
    void imageChanged(const NodeId& node);

    clsMain* m_tree = nullptr;
    // Rebuilt whole by reload(): between two reloads rows do not move.
    std::vector<Account> m_accounts;
    QHash<QString, QIcon> m_icons;
};
