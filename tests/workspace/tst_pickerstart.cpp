#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include "core/Globals.h"
#include "preferences/frmPreference.h"
#include "workspace/KeywordInputs.h"
#include "workspace/landing/LandingPageTab.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Where each file and folder picker of the program opens: at the folder of
// the path in its box, else the working folder, else the home folder - never
// the process's current folder.
class tst_PickerStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pickerStartsAtTheUsersFolder_data();
    void pickerStartsAtTheUsersFolder();
};

namespace {

// Opens one picker the way the user does and gives the folder it was asked
// to start in. box is put into the picker's path box, when it has one.
QString startOfPicker(const QString& picker, const QString& box, ScriptedPrompter& prompter)
{
    if (picker == QLatin1String("Configuration working folder")) {
        frmPreference dialog;
        dialog.findChild<QLineEdit*>(QStringLiteral("txtFolder"))->setText(box);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdOpenFolder"))->click();
        return prompter.folderStarts.value(0, QStringLiteral("<no folder dialog>"));
    }
    if (picker == QLatin1String("landing page open")) {
        LandingPageTab tab;
        tab.SetUp();
        tab.findChild<QLineEdit*>(QStringLiteral("txtLandingPagePath"))->setText(box);
        tab.findChild<QPushButton*>(QStringLiteral("cmdOpenLandingPage"))->click();
        return prompter.fileRequests.value(0).initialFolder;
    }
    QWidget keywordsPage;
    QWidget adGroupsPage;
    KeywordInputs inputs(&keywordsPage, &adGroupsPage);
    if (picker == QLatin1String("base keywords load"))
        inputs.LoadBaseKeywords();
    else
        inputs.LoadExtKeywords();
    return prompter.fileRequests.value(0).initialFolder;
}

} // namespace

void tst_PickerStart::pickerStartsAtTheUsersFolder_data()
{
    // "<box>" is a folder of the user's, "<work>" the working folder, "<home>"
    // the home folder. The process's current folder holds a folder "box", so a
    // relative path in the box would find it.
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("workingFolderExists");
    QTest::addColumn<QString>("expected");

    const char* const withBox[] = {"Configuration working folder", "landing page open"};
    const char* const withoutBox[] = {"base keywords load", "extension keywords load"};
    for (const char* picker : withBox) {
        const bool folderPicker = QByteArray(picker).startsWith("Configuration");
        QTest::addRow("%s: folder of the path in the box", picker)
            << picker << (folderPicker ? "<box>" : "<box>/offer.html") << true << "<box>";
        QTest::addRow("%s: empty box, working folder", picker) << picker << "" << true << "<work>";
        QTest::addRow("%s: relative path, working folder", picker) << picker << "box" << true << "<work>";
        QTest::addRow("%s: empty box, no working folder, home", picker) << picker << "" << false << "<home>";
    }
    for (const char* picker : withoutBox) {
        QTest::addRow("%s: working folder", picker) << picker << "" << true << "<work>";
        QTest::addRow("%s: no working folder, home", picker) << picker << "" << false << "<home>";
    }
}

void tst_PickerStart::pickerStartsAtTheUsersFolder()
{
    QFETCH(QString, picker);
    QFETCH(QString, box);
    QFETCH(bool, workingFolderExists);
    QFETCH(QString, expected);

    TestEnvironment env;
    ScriptedPrompter prompter;
    BuildKeyPaths();
    const QString current = env.path(QStringLiteral("current"));
    const QString boxFolder = env.path(QStringLiteral("pages"));
    const QString work = env.path(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(current + QStringLiteral("/box")));
    QVERIFY(QDir().mkpath(boxFolder));
    if (workingFolderExists)
        QVERIFY(QDir().mkpath(work));
    const QString previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(current));
    const QString previousWork = g_sWorkingFolder;
    g_sWorkingFolder = work;

    const QString started = startOfPicker(picker, QString(box).replace(QStringLiteral("<box>"), boxFolder), prompter);

    g_sWorkingFolder = previousWork;
    QDir::setCurrent(previousCurrent);
    QString want = expected;
    want.replace(QStringLiteral("<box>"), boxFolder)
        .replace(QStringLiteral("<work>"), work)
        .replace(QStringLiteral("<home>"), env.path(QStringLiteral("home")));
    QCOMPARE(started, want);
}

QTEST_MAIN(tst_PickerStart)
#include "tst_pickerstart.moc"
