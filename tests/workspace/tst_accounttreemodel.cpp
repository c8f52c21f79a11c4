#include "TestEnvironment.h"

#include "campaign/clsMain.h"
#include "workspace/AccountTreeModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class TestAccountTreeModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modelShowsTheTreeSorted();
};

// The model of the tree view: every node in display order under its
// account, found again by its names in any letter case, and an image change
// repaints that one node.
void TestAccountTreeModel::modelShowsTheTreeSorted()
{
    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts.dat", "[beta]\r\nz\r\nA\r\n[Alpha]\r\nm\r\n[gamma]\r\n"));
    clsMain tree(work);
    QVERIFY(tree.LoadAccounts());
    AccountTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setTree(&tree);

    QStringList shown;
    for (int a = 0; a < model.rowCount(); ++a) {
        const QModelIndex account = model.index(a, 0);
        shown << account.data().toString();
        for (int c = 0; c < model.rowCount(account); ++c)
            shown << "  " + model.index(c, 0, account).data().toString();
    }
    QCOMPARE(shown, (QStringList{"Alpha", "  m", "beta", "  A", "  z", "gamma"}));
    for (const NodeId& id : tree.displayOrder()) {
        const QModelIndex index = model.indexOf(NodeId{id.account.toUpper(), id.campaign.toLower()});
        QVERIFY2(index.isValid(), qPrintable(id.key()));
        QVERIFY(model.nodeAt(index)->matches(id));
    }
    QVERIFY(!model.indexOf(NodeId::campaignNode("beta", "m")).isValid());
    QCOMPARE(model.index(1, 0).data(AccountTreeModel::ImageKeyRole).toString(), QStringLiteral("AccountOpen"));
    QCOMPARE(model.index(2, 0).data(AccountTreeModel::ImageKeyRole).toString(), QStringLiteral("Account"));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const NodeId z = NodeId::campaignNode("beta", "z");
    tree.setSelectNode(z);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).value<QModelIndex>(), model.indexOf(z));
    QCOMPARE(model.indexOf(z).data(AccountTreeModel::ImageKeyRole).toString(), QStringLiteral("CampaignOpen"));
    model.setExpanded(model.index(1, 0), false);
    QCOMPARE(model.index(1, 0).data(AccountTreeModel::ImageKeyRole).toString(), QStringLiteral("Account"));
}

QTEST_GUILESS_MAIN(TestAccountTreeModel)
#include "tst_accounttreemodel.moc"
