#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

// A node of the account/campaign tree. Inside the program a node is the pair
// (account, campaign); the joined "account-campaign" text is only the form
// stored under "LastSelectAcc", since two different pairs can join to the
// same text ("A" + "b-c" and "A-b" + "c").
struct NodeId {
    QString account;
    QString campaign; // empty for an account node

    bool isAccount() const { return campaign.isEmpty(); }
    bool isCampaign() const { return !campaign.isEmpty(); }
    // The node's text in the tree: the account or the campaign name.
    QString text() const { return isAccount() ? account : campaign; }
    // The stored key: the account name, or account & "-" & campaign.
    QString key() const;
    // Same node: both names equal without regard to case.
    bool matches(const NodeId& other) const;

    static NodeId accountNode(const QString& account) { return NodeId{account, QString()}; }
    static NodeId campaignNode(const QString& account, const QString& campaign) { return NodeId{account, campaign}; }
};

// One node with its image keys ("Account", "AccountOpen", "Campaign",
// "CampaignOpen"; a campaign made by New Campaign starts without an image).
struct TreeNode {
    NodeId id;
    QString image;
    QString selectedImage; // expanded image of an account, selected image of a campaign
};

// The accounts and campaigns of the working folder, mirrored in Accounts.dat.
// Nodes are kept in the order in which they were added ("node order"); the
// tree view shows them sorted (displayOrder()). Finding, adding and removing
// a node cost a hash lookup and a search among its account's campaigns, so
// trees of a hundred thousand campaigns and more stay quick.
class clsMain
{
public:
    // The nodes in node order, under increasing serial numbers; iterating
    // it gives the TreeNodes.
    using NodeList = QMap<quint64, TreeNode>;

    explicit clsMain(const QString& workingFolder);

    QString accountsFile() const { return m_accountsFile; }

    // Rebuilds the tree from Accounts.dat (found as CampaignStore::existingEntry
    // finds it, so also as "accounts.dat"; saves go to the same file). True
    // when something stands there, also what is no regular file (a folder, a
    // named pipe), which is not opened: readError names it. The tree never
    // stays empty: an account "Default" is added (not saved).
    bool LoadAccounts();
    // Why the last LoadAccounts could not read an existing Accounts.dat
    // ("Cannot read <path>: <reason>"); "" when it was read or is missing.
    QString readError() const { return m_readError; }
    // Writes every account in node order followed by its campaigns, each line
    // ended by CRLF, plus the closing CRLF of a saved text; atomically. A
    // file that could not be read at the load, and what is no regular file,
    // is never overwritten. False on failure, which is logged; error then
    // names the file and the reason.
    bool SaveAccount(QString* error = nullptr) const;

    // Node collection.
    const NodeList& nodes() const { return m_nodes; }
    int count() const { return int(m_nodes.size()); }
    bool isEmpty() const { return m_nodes.isEmpty(); }
    // The node with these names (without regard to case); null when missing.
    const TreeNode* find(const NodeId& id) const;
    bool contains(const NodeId& id) const { return find(id) != nullptr; }
    // The account node whose name equals name without regard to case.
    std::optional<NodeId> findAccount(const QString& name) const;
    // True when some node's stored key equals key without regard to case.
    bool NodeKeyExists(const QString& key) const;
    bool hasChildren(const NodeId& id) const;
    // At least one campaign node exists.
    bool IsAccountExists() const;

    // Adds an account node (image "Account", expanded image "AccountOpen").
    // False when an account of that name exists already.
    bool addAccount(const QString& name);
    // Adds a campaign under an existing account (matched without regard to
    // case; the node takes the account's own spelling). False when the
    // account is missing or the campaign exists under it already.
    bool addCampaign(const QString& account, const QString& campaign, const QString& image,
                     const QString& selectedImage);
    // Removes a campaign node; false when it is missing or an account.
    bool removeCampaign(const NodeId& id);
    void clear();

    QString image(const NodeId& id) const;
    void setImage(const NodeId& id, const QString& image);
    // Called with the node whenever its image key changes.
    void setImageObserver(std::function<void(const NodeId&)> observer) { m_imageObserver = std::move(observer); }

    // Sorted display order: accounts by name, each followed by its campaigns
    // by name (without regard to case).
    QList<NodeId> displayOrder() const;

    // The campaign node last opened by a click (or the replacement chosen by
    // a deletion). Setting it gives the former node the image "Campaign" and
    // the new one "CampaignOpen".
    std::optional<NodeId> SelectNode() const { return m_selectNode; }
    void setSelectNode(const NodeId& id);
    void resetSelectNode() { m_selectNode.reset(); }

    // Delete Campaign: asks about SelectNode, removes it from the tree, deletes
    // the file "<campaign>.dat" in its folder, makes the next sibling (else the
    // previous one, else the account) the new SelectNode and saves the accounts
    // file (a failed save leaves saveError as SaveAccount words it, else "").
    // Returns the removed node.
    std::optional<NodeId> DeleteAccount(QString* saveError = nullptr);

private:
    // Campaign names compare without regard to case, as the tree sorts them:
    // the order of QString::compare(Qt::CaseInsensitive), reached quicker for
    // the ASCII beginning of two names.
    struct NameOrder {
        bool operator()(const QString& a, const QString& b) const;
    };
    struct Account {
        QString name;
        quint64 serial = 0;
        std::map<QString, quint64, NameOrder> campaigns; // name -> serial, in display order
    };

    TreeNode* findNode(const NodeId& id);
    const Account* accountEntry(const QString& name) const;
    // The accounts in node order.
    std::vector<const Account*> accountsInNodeOrder() const;
    std::optional<NodeId> siblingAfterRemoval(const NodeId& id) const;
    quint64 append(const TreeNode& node);
    bool addCampaignTo(QHash<QString, Account>::iterator entry, const QString& campaign, const QString& image,
                       const QString& selectedImage);

    QString m_workingFolder;
    QString m_accountsFile;
    QString m_readError; // a file that could not be read is never overwritten
    NodeList m_nodes;
    quint64 m_nextSerial = 0;
    QHash<QString, Account> m_accounts; // by case-folded account name
    int m_campaigns = 0;
    std::optional<NodeId> m_selectNode;
    std::function<void(const NodeId&)> m_imageObserver;
};
