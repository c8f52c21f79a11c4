#include "TestEnvironment.h"
#include "ScriptedPrompter.h"

#include "campaign/clsMain.h"
#include "workspace/frmNewCampaign.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using NewCampaignNames::Field;

namespace {

const QString kList = QStringLiteral("\\ / : * ? \" < > |");

} // namespace

class TestNewCampaign : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validName_data();
    void validName();
    void names_data();
    void names();
    void populateProjects();
    void badNameKeepsTheDialogOpen();
    void enterInCampaignBoxActsAsOk();
    void focusedButtonAnswersEnterAndSpace_data();
    void focusedButtonAnswersEnterAndSpace();
    void cancelAndCloseBoxCancel();
    void existingCampaignKeepsTheDialogOpen();
    void resizingWidensTheBoxesOnly();
};

void TestNewCampaign::validName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "Spring Sale (2)" << true;
    QTest::newRow("empty") << "" << true;
    const char* bad[] = {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"};
    for (const char* name : bad)
        QTest::newRow(name) << QString::fromLatin1(name) << false;
}

void TestNewCampaign::validName()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(NewCampaignNames::IsValidName(name), valid);
}

void TestNewCampaign::names_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("campaign");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("message");

    const QString accChars = "Account name cannot contain any of the following characters:\r\n" + kList;
    const QString campChars = "Campaign name cannot contain any of the following characters:\r\n" + kList;
    QTest::newRow("good") << "Shop" << "Winter" << int(Field::None) << QString();
    QTest::newRow("blanks trimmed") << "  Shop " << " Winter  " << int(Field::None) << QString();
    QTest::newRow("dash and brackets inside") << "A-b" << "c [d]" << int(Field::None) << QString();
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) {
        QTest::addRow("account %c", c.toLatin1()) << QString("a%1b").arg(c) << "c" << int(Field::Account) << accChars;
        QTest::addRow("campaign %c", c.toLatin1()) << "a" << QString("c%1").arg(c) << int(Field::Campaign) << campChars;
    }
    QTest::newRow("account checked first") << "a/b" << "c/d" << int(Field::Account) << accChars;
    QTest::newRow("empty account") << "   " << "c" << int(Field::Account) << "Account name cannot be empty.";
    QTest::newRow("empty campaign") << "a" << "" << int(Field::Campaign) << "Campaign name cannot be empty.";
    QTest::newRow("dot") << "." << "c" << int(Field::Account) << "Account name cannot be '.' or '..'.";
    QTest::newRow("dot dot") << "a" << " .. " << int(Field::Campaign) << "Campaign name cannot be '.' or '..'.";
    QTest::newRow("bracket account") << "[x]" << "c" << int(Field::Account) << "Account name cannot begin with '['.";
    QTest::newRow("bracket campaign") << "a" << " [x" << int(Field::Campaign) << "Campaign name cannot begin with '['.";
    // Each name is one line of Accounts.dat: a pasted line break would split it.
    QTest::newRow("line break campaign") << "a" << "x\r\ny" << int(Field::Campaign)
                                         << "Campaign name cannot contain line breaks or other control characters.";
    QTest::newRow("line feed account") << "a\nb" << "c" << int(Field::Account)
                                       << "Account name cannot contain line breaks or other control characters.";
    QTest::newRow("tab campaign") << "a" << "x\ty" << int(Field::Campaign)
                                  << "Campaign name cannot contain line breaks or other control characters.";
    // Each name is a folder name: one the file system refuses would make
    // every save of the campaign fail.
    QTest::newRow("longest folder name") << QString(255, QLatin1Char('a')) << QString(85, QChar(0x20ac))
                                         << int(Field::None) << QString();
    QTest::newRow("account too long") << QString(256, QLatin1Char('a')) << "c" << int(Field::Account)
                                      << "Account name is too long.";
    QTest::newRow("campaign too long") << "a" << QString(86, QChar(0x20ac)) << int(Field::Campaign)
                                       << "Campaign name is too long.";
}

void TestNewCampaign::names()
{
    QFETCH(QString, account);
    QFETCH(QString, campaign);
    QFETCH(int, field);
    QFETCH(QString, message);
    const NewCampaignNames::Verdict v = NewCampaignNames::check(account, campaign);
    QCOMPARE(int(v.field), field);
    QCOMPARE(v.message, message);
}

void TestNewCampaign::populateProjects()
{
    TestEnvironment env;
    frmNewCampaign dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New Campaign"));
    auto* combo = dialog.findChild<QComboBox*>("cboAccount");
    QVERIFY(combo);
    dialog.PopulateProjects(nullptr);
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->currentText(), QStringLiteral("Default"));

    QVERIFY(TestEnvironment::writeAll(env.path("work/Accounts.dat"), "[Zed]\r\nx\r\n[Alpha]\r\n"));
    clsMain tree(env.path("work"));
    QVERIFY(tree.LoadAccounts());
    dialog.PopulateProjects(&tree);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QStringLiteral("Zed"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Alpha"));
    QCOMPARE(combo->currentText(), QStringLiteral("Zed"));
}

void TestNewCampaign::badNameKeepsTheDialogOpen()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    frmNewCampaign dialog;
    dialog.PopulateProjects(nullptr);
    dialog.show();
    auto* campaign = dialog.findChild<QLineEdit*>("txtCampaign");
    campaign->setText("a/b");
    dialog.findChild<QPushButton*>("cmdFinish")->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.first().title, QStringLiteral("Create New Campaign"));
    QCOMPARE(prompter.messages.first().icon, platform::MsgIcon::Critical);
    QVERIFY(prompter.messages.first().text.startsWith("Campaign name cannot contain"));

    campaign->setText("  Winter ");
    dialog.findChild<QPushButton*>("cmdFinish")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.Cancelled());
    QCOMPARE(dialog.AccountName(), QStringLiteral("Default"));
    QCOMPARE(dialog.Campaign(), QStringLiteral("Winter"));
}

void TestNewCampaign::enterInCampaignBoxActsAsOk()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    frmNewCampaign dialog;
    dialog.PopulateProjects(nullptr);
    dialog.show();
    auto* combo = dialog.findChild<QComboBox*>("cboAccount");
    combo->setEditText("Shop");
    auto* campaign = dialog.findChild<QLineEdit*>("txtCampaign");
    campaign->setText("Winter");
    QTest::keyClick(campaign, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.AccountName(), QStringLiteral("Shop"));
    QCOMPARE(dialog.Campaign(), QStringLiteral("Winter"));
    QVERIFY(prompter.messages.isEmpty());
}

void TestNewCampaign::focusedButtonAnswersEnterAndSpace_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    for (const char* button : {"cmdFinish", "cmdCancel"}) {
        QTest::addRow("%s Return", button) << button << int(Qt::Key_Return);
        QTest::addRow("%s keypad Enter", button) << button << int(Qt::Key_Enter);
        QTest::addRow("%s Space", button) << button << int(Qt::Key_Space);
    }
}

void TestNewCampaign::focusedButtonAnswersEnterAndSpace()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    TestEnvironment env;
    ScriptedPrompter prompter;
    frmNewCampaign dialog;
    dialog.PopulateProjects(nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.findChild<QLineEdit*>("txtCampaign")->setText("Winter");
    auto* target = dialog.findChild<QPushButton*>(button);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(target));

    const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(target, Qt::Key(key), modifiers);
    QVERIFY(!dialog.isVisible());
    const bool ok = button == QLatin1String("cmdFinish");
    QCOMPARE(dialog.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(dialog.Cancelled(), !ok);
    if (ok)
        QCOMPARE(dialog.Campaign(), QStringLiteral("Winter"));
    QVERIFY(prompter.messages.isEmpty());
}

void TestNewCampaign::cancelAndCloseBoxCancel()
{
    TestEnvironment env;
    {
        frmNewCampaign dialog;
        dialog.show();
        dialog.findChild<QPushButton*>("cmdCancel")->click();
        QVERIFY(dialog.Cancelled());
        QVERIFY(!dialog.isVisible());
    }
    {
        frmNewCampaign dialog;
        dialog.show();
        dialog.close();
        QVERIFY(dialog.Cancelled());
    }
}

void TestNewCampaign::existingCampaignKeepsTheDialogOpen()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(TestEnvironment::writeAll(env.path("work/Accounts.dat"), "[Shop]\r\nWinter\r\n"));
    clsMain tree(env.path("work"));
    QVERIFY(tree.LoadAccounts());
    frmNewCampaign dialog;
    dialog.PopulateProjects(&tree);
    dialog.show();
    dialog.findChild<QComboBox*>("cboAccount")->setEditText("shop");
    auto* campaign = dialog.findChild<QLineEdit*>("txtCampaign");
    campaign->setText("WINTER");
    dialog.findChild<QPushButton*>("cmdFinish")->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.first().text, QStringLiteral("Campaign 'WINTER' already exists in account 'Shop'."));
    QCOMPARE(prompter.messages.first().title, QStringLiteral("Create New Campaign"));
    campaign->setText("Spring");
    dialog.findChild<QPushButton*>("cmdFinish")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestNewCampaign::resizingWidensTheBoxesOnly()
{
    TestEnvironment env;
    frmNewCampaign dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* account = dialog.findChild<QComboBox*>("cboAccount");
    auto* campaign = dialog.findChild<QLineEdit*>("txtCampaign");
    const QSize opened = dialog.size();
    const int gap = campaign->y() - account->y();
    const int boxWidth = campaign->width();

    dialog.resize(opened.width() * 2, opened.height() * 3);
    QCoreApplication::processEvents();
    QCOMPARE(dialog.height(), opened.height());
    QCOMPARE(campaign->y() - account->y(), gap);
    QVERIFY(campaign->width() > boxWidth);
}

QTEST_MAIN(TestNewCampaign)
#include "tst_newcampaign.moc"
