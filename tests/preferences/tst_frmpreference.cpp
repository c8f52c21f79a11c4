#include "ModalWatcher.h"
#include "RecordingShellOpener.h"
#include "ScriptedPrompter.h"
#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "platform/HelpFile.h"
#include "platform/Registry.h"
#include "settings/AdwordsEditorPath.h"
#include "preferences/frmPreference.h"
#include "workspace/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

using platform::MsgIcon;
using namespace RegistryAPI;

Q_DECLARE_METATYPE(platform::MsgIcon)

namespace {

// The two values kept in the machine hive that the dialog edits.
Root hiveOf(const QString& name)
{
    return name == QLatin1String("CTK") || name == QLatin1String("WorkingFolder") ? HKEY_LOCAL_MACHINE
                                                                                   : HKEY_CURRENT_USER;
}

QString stored(const QString& name)
{
    return testsettings::stored(hiveOf(name), g_sPreferenceKey, name);
}

// Stores "name=value" settings.
void store(const QStringList& values)
{
    for (const QString& value : values) {
        const QString name = value.section('=', 0, 0);
        testsettings::store(hiveOf(name), g_sPreferenceKey, name, value.section('=', 1));
    }
}

// A fresh program with settings saved once (a working folder that exists)
// and a file and a missing path to type into the folder box.
struct Fixture {
    TestEnvironment env;
    ScriptedPrompter prompter;
    QString work = env.path("work");

    Fixture()
    {
        BuildKeyPaths();
        QDir().mkpath(work);
        TestEnvironment::writeAll(env.path("afile"), "x");
        testsettings::saveWorkingFolder(work);
    }

    // "<file>" and "<missing>" in a test row stand for these paths.
    QString expand(QString text) const
    {
        return text.replace("<file>", env.path("afile")).replace("<missing>", env.path("nowhere"));
    }

    QByteArray registry() const
    {
        using platform::Registry::Hive;
        return TestEnvironment::readAll(platform::Registry::hiveFile(Hive::CurrentUser)) + "\n--\n"
            + TestEnvironment::readAll(platform::Registry::hiveFile(Hive::LocalMachine));
    }

    QByteArray errorLog() const { return TestEnvironment::readAll(env.programDir() + "/Error.log"); }
};

template <typename T = QWidget>
T* child(const QWidget& dialog, const QString& name)
{
    T* widget = dialog.findChild<T*>(name);
    if (!widget)
        qWarning("no control %s", qPrintable(name));
    return widget;
}

// Applies "name=value" edits the way a user makes them: a text box takes
// the text, an option or check box is clicked when its state differs.
void edit(const QWidget& dialog, const QStringList& edits, const Fixture& fx)
{
    for (const QString& change : edits) {
        const QString name = change.section('=', 0, 0);
        const QString value = fx.expand(change.section('=', 1));
        QWidget* widget = child(dialog, name);
        QVERIFY2(widget, qPrintable(name));
        if (auto* box = qobject_cast<QLineEdit*>(widget))
            box->setText(value);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget); button->isChecked() != (value == "1"))
            button->click();
    }
}

// The label that names a box (its buddy), "" when it has none.
QString captionOf(const QWidget& dialog, const QWidget* widget)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->buddy() == widget)
            return label->text();
    }
    return QString();
}

// "name.property=value" checks; the property "shown" is "not hidden".
void verifyStates(const QWidget& dialog, const QStringList& checks)
{
    for (const QString& check : checks) {
        const QString name = check.section('.', 0, 0);
        const QString property = check.section('.', 1).section('=', 0, 0);
        const QString expected = check.section('=', 1);
        QWidget* widget = child(dialog, name);
        QVERIFY2(widget, qPrintable(name));
        const QString actual = property == "shown" ? QString::number(!widget->isHidden())
            : property == "text"                   ? widget->property("text").toString()
                                                   : QString::number(widget->property(qPrintable(property)).toBool());
        QVERIFY2(actual == expected, qPrintable(check + " but is " + actual));
    }
}

void showActive(QWidget& dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

} // namespace

class tst_frmPreference : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_data();
    void controls();
    void windowAndTabs();
    void pathBoxesShowAWholePath();
    void loading_data();
    void loading();
    void okRefusals_data();
    void okRefusals();
    void saveMapping_data();
    void saveMapping();
    void longTextsSavedWhole_data();
    void longTextsSavedWhole();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void helpTopics_data();
    void helpTopics();
    void helpWithoutHelpFile();
    void folderPicker_data();
    void folderPicker();
    void testMailHandsOverTheDialogsValues_data();
    void testMailHandsOverTheDialogsValues();
    void testMailRefusals_data();
    void testMailRefusals();
    void testedAddressKeepsToItsLogLine();
    void focusedButtonAnswersEnterAndSpace_data();
    void focusedButtonAnswersEnterAndSpace();
    void enterInATextBoxPressesNothing();
    void fileSetupWithNewFolderReloadsTheTree();
};

void tst_frmPreference::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tab"); // -1: outside the tabs
    QTest::addColumn<QString>("caption");

    const struct {
        const char* name;
        int tab;
        const char* caption;
    } rows[] = {
        {"optProxy0", 0, "Default"},
        {"optProxy1", 0, "Direct to internet"},
        {"optProxy2", 0, "Proxy Server"},
        {"txtProxy", 0, ""},
        {"txtPort", 0, "Port"},
        {"txtHTTPUsername", 0, "Username:"},
        {"txtHTTPPassword", 0, "Password:"},
        {"chkConfirmConnection", 1, "Confirm connection before searching"},
        {"txtMailServer", 1, "Outgoing Mail (SMTP) Server"},
        {"txtSMTPPort", 1, "Port:"},
        {"chkSMTPAuth", 1, "My mail server request authentication"},
        {"txtSMTPUsername", 1, "Username: "},
        {"txtSMTPPassword", 1, "Password:"},
        {"chkSSL", 1, "This mail server requires a secure connection (SSL)"},
        {"cmdTestSendMail", 1, "Test SMTP server"},
        {"txtReporterName", 2, "Name:"},
        {"txtCompanyName", 2, "Company name:"},
        {"txtReporterEmail", 2, "Email:"},
        {"txtReporterWeb", 2, "Web site:"},
        {"txtLogoURL", 2, "Logo URL:"},
        {"optPosition1", 2, "Top"},
        {"optPosition2", 2, "Bottom"},
        {"txtGoogleAdwordsEditor", 3, "Google Adwords Editor Path:"},
        {"txtToken", 3, "Google Token ID:"},
        {"txtFolder", 3, "Working folder where the data to be stored:"},
        {"cmdOpenFolder", 3, "Open"},
        {"chkHideIcon", 3, "Hide program icon from task bar when minimized"},
        {"optLoginType0", 3, "Using Adwords login details"},
        {"optLoginType1", 3, "Using MCC login details"},
        {"txtUserName", 3, "User Name:"},
        {"txtPassword", 3, "Password:"},
        {"txtClientEmailID", 3, "Account Email:"},
        {"lblClientEmailID", 3, "Account Email:"},
        {"cmdOK", -1, "OK"},
        {"cmdCancel", -1, "Cancel"},
        {"cmdHelp", -1, "&Help"},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.name << row.tab << row.caption;
}

void tst_frmPreference::controls()
{
    QFETCH(QString, name);
    QFETCH(int, tab);
    QFETCH(QString, caption);
    Fixture fx;
    frmPreference dialog;
    QWidget* widget = child(dialog, name);
    QVERIFY(widget);
    auto* tabs = child<QTabWidget>(dialog, "ssTab1");
    if (tab >= 0)
        QVERIFY(tabs->widget(tab)->isAncestorOf(widget));
    else
        QVERIFY(!tabs->isAncestorOf(widget));
    if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), caption);
    else
        QCOMPARE(captionOf(dialog, widget), caption);
    // Passwords show a "*" for every character; nothing else is masked.
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        const bool masked = name == "txtHTTPPassword" || name == "txtSMTPPassword" || name == "txtPassword";
        QCOMPARE(box->echoMode() == QLineEdit::Password, masked);
        if (masked)
            QCOMPARE(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box), int('*'));
    }
}

void tst_frmPreference::windowAndTabs()
{
    Fixture fx;
    frmPreference dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Configuration"));
    QVERIFY(dialog.isModal());
    auto* tabs = child<QTabWidget>(dialog, "ssTab1");
    QCOMPARE(tabs->count(), 4);
    const QStringList captions{"Connections", "SMTP Mail Server", "Profile", "Options"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), captions.at(i));
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(dialog.CurrentTab(), qint16(0));

    // Frames and texts of each tab.
    const QList<QPair<int, QString>> frames{{0, "Proxy Server"}, {0, "Web server authentication"},
                                           {1, "SMTP Mail Server"}, {2, "User Details"},
                                           {2, "Logo Position"}, {3, "Google Adwords Login Details"}};
    for (const auto& [tab, title] : frames) {
        bool found = false;
        for (const QGroupBox* box : tabs->widget(tab)->findChildren<QGroupBox*>())
            found = found || box->title() == title;
        QVERIFY2(found, qPrintable(title));
    }
    const QList<QPair<int, QString>> texts{
        {0, "A network proxy is used to provide additional security between your computer and the Internet and/or "
            "to increase performance between networks by reducing redundant traffic via caching. "},
        {0, "If your server or proxy requires authentication before allowing access to the Internet, please enter "
            "your Username and Password below:"},
        {1, "The information below is needed before you can send email. If you do not know the information "
            "requested, please contact your system administrator or Internet Service Provider."},
        {2, "The information you specified here will be used to customize your keyword reports."},
        {2, "Position:"},
        {3, "This information will be used for Keyword Builder function:"},
        {3, "Login Type"},
    };
    for (const auto& [tab, text] : texts) {
        bool found = false;
        for (const QLabel* label : tabs->widget(tab)->findChildren<QLabel*>())
            found = found || label->text() == text;
        QVERIFY2(found, qPrintable(text));
    }

    dialog.setCurrentTab(2);
    QCOMPARE(tabs->currentIndex(), 2);

    // No test-mail window, no test.
    auto* test = child<QPushButton>(dialog, "cmdTestSendMail");
    QVERIFY(!test->isEnabled());
    dialog.setTestMailWindow([](QWidget*, const TestMailSettings&) {});
    QVERIFY(test->isEnabled());
}

void tst_frmPreference::pathBoxesShowAWholePath()
{
    // The default editor path is as long as a path the user keeps there
    // usually is; the Options tab must show it whole, not its last part.
    Fixture fx;
    frmPreference dialog;
    dialog.setCurrentTab(3);
    showActive(dialog);
    const QString path = QString::fromLatin1(kDefaultAdwordsEditorPath);
    for (const char* name : {"txtGoogleAdwordsEditor", "txtFolder"}) {
        auto* box = child<QLineEdit>(dialog, name);
        box->setText(path);
        QVERIFY2(box->fontMetrics().horizontalAdvance(path) < box->contentsRect().width() - 8, name);
    }
}

void tst_frmPreference::loading_data()
{
    QTest::addColumn<QStringList>("values"); // stored "name=value"
    QTest::addColumn<QStringList>("states");

    QTest::newRow("defaults") << QStringList{}
                              << QStringList{"optProxy1.checked=1", "txtProxy.enabled=0", "txtPort.enabled=0",
                                             "txtSMTPPort.text=25", "optPosition1.checked=1", "optLoginType0.checked=1",
                                             "txtClientEmailID.shown=0", "lblClientEmailID.shown=0",
                                             "chkConfirmConnection.checked=1", "txtSMTPUsername.enabled=0"};
    QTest::newRow("stored Default shows as Direct, proxy not shown")
        << QStringList{"AccessType=0", "Proxy=px", "Port=3128"}
        << QStringList{"optProxy0.checked=0", "optProxy1.checked=1", "txtProxy.text=", "txtPort.text=",
                       "txtProxy.enabled=0"};
    QTest::newRow("proxy server") << QStringList{"AccessType=2", "Proxy=px", "Port=3128"}
                                  << QStringList{"optProxy2.checked=1", "txtProxy.text=px", "txtPort.text=3128",
                                                 "txtProxy.enabled=1", "txtPort.enabled=1"};
    // A type with no option must not stop the load: everything after it
    // would show empty and the next OK would save it so.
    QTest::newRow("unknown connection type")
        << QStringList{"AccessType=7", "SMTPServer=mail.example", "Email=me@example", "YMID=me", "AdwordsEditor=/opt/ed"}
        << QStringList{"optProxy1.checked=1", "txtMailServer.text=mail.example", "txtReporterEmail.text=me@example",
                       "txtUserName.text=me", "txtGoogleAdwordsEditor.text=/opt/ed"};
    QTest::newRow("unknown login type")
        << QStringList{"LGIY=4", "CTK=tok", "YMID=me", "CUID=client@example", "AdwordsEditor=/opt/ed"}
        << QStringList{"optLoginType0.checked=1", "optLoginType1.checked=0", "txtClientEmailID.shown=0",
                       "txtToken.text=tok", "txtUserName.text=me", "txtClientEmailID.text=client@example",
                       "txtGoogleAdwordsEditor.text=/opt/ed"};
    QTest::newRow("manager-account login shows the account e-mail")
        << QStringList{"LGIY=1"} << QStringList{"optLoginType1.checked=1", "txtClientEmailID.shown=1",
                                                 "lblClientEmailID.shown=1"};
    // The login is kept, shown disabled, so that OK does not wipe it.
    QTest::newRow("SMTP login with authentication off")
        << QStringList{"SMTPAuthentication=0", "SMTPUsername=u", "SMTPPassword=p"}
        << QStringList{"chkSMTPAuth.checked=0", "txtSMTPUsername.text=u", "txtSMTPPassword.text=p",
                       "txtSMTPUsername.enabled=0", "txtSMTPPassword.enabled=0"};
    QTest::newRow("SMTP login with authentication on")
        << QStringList{"SMTPAuthentication=1", "SMTPUsername=u", "SMTPPassword=p", "SSL=1"}
        << QStringList{"chkSMTPAuth.checked=1", "txtSMTPUsername.enabled=1", "txtSMTPPassword.enabled=1",
                       "chkSSL.checked=1"};
    QTest::newRow("logo position in another case selects neither")
        << QStringList{"LogoPosition=top"} << QStringList{"optPosition1.checked=0", "optPosition2.checked=0"};
    QTest::newRow("bottom logo, hidden icon, no confirmation")
        << QStringList{"LogoPosition=Bottom", "HideIcon=1", "ConfirmConnection=0"}
        << QStringList{"optPosition2.checked=1", "chkHideIcon.checked=1", "chkConfirmConnection.checked=0"};
    QTest::newRow("texts") << QStringList{"Auth_Username=hu", "Auth_Password=hp", "ReporterName=Ann",
                                          "CompanyName=Co", "WebSite=w.example", "LogoURL=l.example",
                                          "WorkingFolder=/some/where", "YMPd=pw"}
                           << QStringList{"txtHTTPUsername.text=hu", "txtHTTPPassword.text=hp",
                                          "txtReporterName.text=Ann", "txtCompanyName.text=Co",
                                          "txtReporterWeb.text=w.example", "txtLogoURL.text=l.example",
                                          "txtFolder.text=/some/where", "txtPassword.text=pw"};
}

void tst_frmPreference::loading()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, states);
    Fixture fx;
    store(values);
    frmPreference dialog;
    verifyStates(dialog, states);
}

void tst_frmPreference::okRefusals_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("focus");

    const QString folder = "Invalid working folder path. Please specify a valid working folder and try again.";
    const QString host = "Invalid Proxy Server address.";
    const QString proxyPort = "Invalid Proxy Port Number.";
    const QString smtpPort = "Invaid SMTP Port number.";
    const QStringList proxy{"optProxy2=1", "txtProxy=px", "txtPort=8080"};
    const auto row = [](const char* name, const QStringList& edits, const QString& message, MsgIcon icon,
                        const QString& title, int tab, const char* focus) {
        QTest::newRow(name) << edits << message << icon << title << tab << QString(focus);
    };
    const MsgIcon critical = MsgIcon::Critical;

    row("empty folder", {"txtFolder="}, folder, critical, "Set Working Folder", 3, "txtFolder");
    row("missing folder", {"txtFolder=<missing>"}, folder, critical, "Set Working Folder", 3, "txtFolder");
    // Every later save into a file of that name would fail.
    row("folder names a file", {"txtFolder=<file>"}, folder, critical, "Set Working Folder", 3, "txtFolder");
    row("folder checked first", {"txtFolder=", "optProxy2=1", "txtProxy=", "txtSMTPPort=x"}, folder, critical,
        "Set Working Folder", 3, "txtFolder");
    row("empty proxy host", proxy + QStringList{"txtProxy="}, host, critical, "Preference", 0, "txtProxy");
    row("proxy prefix only", proxy + QStringList{"txtProxy=http://"}, host, critical, "Preference", 0, "txtProxy");
    for (const char* port : {"", "abc", "0", "65536", "-1", "12.5", "1e3", "80 80"})
        row(qPrintable(QString("proxy port '%1'").arg(port)), proxy + QStringList{QString("txtPort=") + port},
            proxyPort, critical, "Preference", 0, "txtPort");
    row("proxy before SMTP port", proxy + QStringList{"txtPort=x", "txtSMTPPort=x"}, proxyPort, critical,
        "Preference", 0, "txtPort");
    for (const char* port : {"abc", "0", "65536", "99999", "-25", "2.5", "0x19"})
        row(qPrintable(QString("SMTP port '%1'").arg(port)), {QString("txtSMTPPort=") + port}, smtpPort, critical,
            "Preference", 1, "txtSMTPPort");
    row("report e-mail without a mail server", {"txtReporterEmail=me@example", "txtMailServer="},
        "Please set up your SMTP mail server if you want to sent email report.", MsgIcon::Information, AppTitle(), 1,
        "txtMailServer");
    row("SMTP port before report e-mail", {"txtReporterEmail=me@example", "txtMailServer=", "txtSMTPPort=x"},
        smtpPort, critical, "Preference", 1, "txtSMTPPort");
}

void tst_frmPreference::okRefusals()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    QFETCH(MsgIcon, icon);
    QFETCH(QString, title);
    QFETCH(int, tab);
    QFETCH(QString, focus);
    Fixture fx;
    frmPreference dialog;
    showActive(dialog);
    const QByteArray before = fx.registry();
    edit(dialog, edits, fx);
    child<QTabWidget>(dialog, "ssTab1")->setCurrentIndex(tab == 2 ? 0 : 2);

    child<QPushButton>(dialog, "cmdOK")->click();
    QCOMPARE(fx.prompter.messages.size(), 1);
    QCOMPARE(fx.prompter.messages.first().text, message);
    QCOMPARE(fx.prompter.messages.first().icon, icon);
    QCOMPARE(fx.prompter.messages.first().title, title);
    QCOMPARE(child<QTabWidget>(dialog, "ssTab1")->currentIndex(), tab);
    QCOMPARE(QApplication::focusWidget(), child(dialog, focus));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(fx.registry(), before);
}

void tst_frmPreference::saveMapping_data()
{
    QTest::addColumn<QStringList>("values"); // stored before the dialog opens
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("saved"); // "name=value" after OK

    QTest::newRow("empty SMTP port saves 25") << QStringList{"SMTPPort=587"} << QStringList{"txtSMTPPort="}
                                              << QStringList{"SMTPPort=25"};
    QTest::newRow("SMTP ports up to 65535") << QStringList{} << QStringList{"txtSMTPPort=65535"}
                                            << QStringList{"SMTPPort=65535"};
    QTest::newRow("SMTP port with blanks") << QStringList{} << QStringList{"txtSMTPPort= 2525 "}
                                           << QStringList{"SMTPPort=2525"};
    QTest::newRow("http prefix dropped")
        << QStringList{} << QStringList{"optProxy2=1", "txtProxy=http://px", "txtPort=3128"}
        << QStringList{"AccessType=2", "Proxy=px", "Port=3128"};
    QTest::newRow("capital prefix as typed")
        << QStringList{} << QStringList{"optProxy2=1", "txtProxy=HTTP://px", "txtPort=1"}
        << QStringList{"AccessType=2", "Proxy=HTTP://px", "Port=1"};
    QTest::newRow("Direct keeps the stored proxy")
        << QStringList{"AccessType=2", "Proxy=old", "Port=9999"}
        << QStringList{"optProxy1=1"} << QStringList{"AccessType=1", "Proxy=old", "Port=9999"};
    QTest::newRow("stored Default saves Direct") << QStringList{"AccessType=0"} << QStringList{}
                                                 << QStringList{"AccessType=1"};
    QTest::newRow("choosing Default saves 0")
        << QStringList{"AccessType=2", "Proxy=old", "Port=9999"}
        << QStringList{"optProxy0=1"} << QStringList{"AccessType=0", "Proxy=old", "Port=9999"};
    QTest::newRow("unknown connection type saves Direct and keeps the rest")
        << QStringList{"AccessType=7", "YMID=me", "YMPd=pw", "AdwordsEditor=/opt/ed", "Email=me@x", "SMTPServer=m"}
        << QStringList{}
        << QStringList{"AccessType=1", "YMID=me", "YMPd=pw", "AdwordsEditor=/opt/ed", "Email=me@x", "SMTPServer=m"};
    QTest::newRow("unknown login type saves 0 and keeps the rest")
        << QStringList{"LGIY=4", "YMID=me", "CUID=c@x", "CTK=tok"} << QStringList{}
        << QStringList{"LGIY=0", "YMID=me", "CUID=c@x", "CTK=tok"};
    QTest::newRow("manager-account login") << QStringList{} << QStringList{"optLoginType1=1", "txtClientEmailID=c@x"}
                                           << QStringList{"LGIY=1", "CUID=c@x"};
    QTest::newRow("SMTP login kept with authentication off")
        << QStringList{"SMTPAuthentication=0", "SMTPUsername=u", "SMTPPassword=p"} << QStringList{}
        << QStringList{"SMTPAuthentication=0", "SMTPUsername=u", "SMTPPassword=p"};
    QTest::newRow("neither logo option keeps the stored position")
        << QStringList{"LogoPosition=Left"} << QStringList{} << QStringList{"LogoPosition=Left"};
    QTest::newRow("bottom logo") << QStringList{} << QStringList{"optPosition2=1"}
                                 << QStringList{"LogoPosition=Bottom"};
    QTest::newRow("every box")
        << QStringList{}
        << QStringList{"txtHTTPUsername=hu", "txtHTTPPassword=hp", "txtMailServer=mail.x", "chkSMTPAuth=1",
                       "txtSMTPUsername=su", "txtSMTPPassword=sp", "chkSSL=1", "chkConfirmConnection=0",
                       "txtReporterName=Ann", "txtCompanyName=Co", "txtReporterEmail=ann@x", "txtReporterWeb=w.x",
                       "txtLogoURL=l.x", "chkHideIcon=1", "txtFolder=<work>", "txtToken=tok", "txtUserName=me",
                       "txtPassword=pw", "txtGoogleAdwordsEditor=/opt/ed"}
        << QStringList{"Auth_Username=hu", "Auth_Password=hp", "SMTPServer=mail.x", "SMTPAuthentication=1",
                       "SMTPUsername=su", "SMTPPassword=sp", "SSL=1", "ConfirmConnection=0", "ReporterName=Ann",
                       "CompanyName=Co", "Email=ann@x", "WebSite=w.x", "LogoURL=l.x", "HideIcon=1",
                       "WorkingFolder=<work>", "CTK=tok", "YMID=me", "YMPd=pw", "AdwordsEditor=/opt/ed"};
}

void tst_frmPreference::saveMapping()
{
    QFETCH(QStringList, values);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, saved);
    Fixture fx;
    store(values);
    frmPreference dialog;
    edit(dialog, edits.replaceInStrings("<work>", fx.work), fx);
    child<QPushButton>(dialog, "cmdOK")->click();
    QVERIFY(fx.prompter.messages.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    for (const QString& value : saved.replaceInStrings("<work>", fx.work))
        QCOMPARE(value.section('=', 0, 0) + "=" + stored(value.section('=', 0, 0)), value);
    QCOMPARE(fx.errorLog().count("clsPreference_SaveSetting end"), 2); // the fixture's and the dialog's
}

void tst_frmPreference::longTextsSavedWhole_data()
{
    QTest::addColumn<QString>("name");      // the stored value, longer than a one-line box takes by default
    QTest::addColumn<QStringList>("values"); // what it needs beside it to pass OK

    const QStringList mailServer{"SMTPServer=mail.example"};
    QTest::newRow("proxy host") << "Proxy" << QStringList{"AccessType=2", "Port=3128"};
    QTest::newRow("proxy user") << "Auth_Username" << QStringList{};
    QTest::newRow("proxy password") << "Auth_Password" << QStringList{};
    QTest::newRow("mail server") << "SMTPServer" << QStringList{};
    QTest::newRow("SMTP user") << "SMTPUsername" << QStringList{"SMTPAuthentication=1"};
    QTest::newRow("SMTP password") << "SMTPPassword" << QStringList{};
    QTest::newRow("name") << "ReporterName" << QStringList{};
    QTest::newRow("company") << "CompanyName" << QStringList{};
    QTest::newRow("e-mail") << "Email" << mailServer;
    QTest::newRow("web site") << "WebSite" << QStringList{};
    QTest::newRow("logo URL") << "LogoURL" << QStringList{};
    QTest::newRow("token") << "CTK" << QStringList{};
    QTest::newRow("user name") << "YMID" << QStringList{};
    QTest::newRow("password") << "YMPd" << QStringList{};
    QTest::newRow("account e-mail") << "CUID" << QStringList{"LGIY=1"};
    QTest::newRow("editor path") << "AdwordsEditor" << QStringList{};
}

// A stored text of any length comes back whole from an OK.
void tst_frmPreference::longTextsSavedWhole()
{
    QFETCH(QString, name);
    QFETCH(QStringList, values);
    Fixture fx;
    QString text = name + ':';
    while (text.size() < 40000)
        text += QString::number(text.size()) + ' ';
    store(values << name + '=' + text);
    frmPreference dialog;
    child<QPushButton>(dialog, "cmdOK")->click();
    QVERIFY(fx.prompter.messages.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const QString saved = stored(name);
    QCOMPARE(saved.size(), text.size());
    QVERIFY(saved == text);
}

void tst_frmPreference::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("close box") << "close";
}

void tst_frmPreference::cancelChangesNothing()
{
    QFETCH(QString, how);
    Fixture fx;
    store({"AccessType=2"});
    frmPreference dialog;
    showActive(dialog);
    const QByteArray before = fx.registry();
    edit(dialog, {"optProxy0=1", "txtMailServer=changed", "chkSSL=1", "txtFolder=<file>", "optPosition2=1"}, fx);
    if (how == "Cancel")
        child<QPushButton>(dialog, "cmdCancel")->click();
    else if (how == "Escape")
        QTest::keyClick(child(dialog, "txtMailServer"), Qt::Key_Escape);
    else
        dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(fx.registry(), before);
    QVERIFY(fx.prompter.messages.isEmpty());
}

void tst_frmPreference::helpTopics_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("topic");
    QTest::newRow("Connections") << 0 << "100";
    QTest::newRow("SMTP Mail Server") << 1 << "102";
    QTest::newRow("Profile") << 2 << "103";
    QTest::newRow("Options") << 3 << "104";
}

void tst_frmPreference::helpTopics()
{
    QFETCH(int, tab);
    QFETCH(QString, topic);
    Fixture fx;
    RecordingShellOpener opener;
    const QString help = fx.env.path("program/quill mark.chm");
    TestEnvironment::writeAll(help, "help");
    platform::setHelpFile(help);
    frmPreference dialog;
    child<QTabWidget>(dialog, "ssTab1")->setCurrentIndex(tab);
    child<QPushButton>(dialog, "cmdHelp")->click();
    platform::setHelpFile(QString());
    QCOMPARE(opener.targets.size(), 1);
    const QUrl url(opener.targets.first());
    QCOMPARE(url.toLocalFile(), help);
    QCOMPARE(url.fragment(), topic);
    QVERIFY(fx.prompter.messages.isEmpty());
}

void tst_frmPreference::helpWithoutHelpFile()
{
    Fixture fx;
    RecordingShellOpener opener;
    frmPreference dialog;
    child<QPushButton>(dialog, "cmdHelp")->click();
    QVERIFY(opener.targets.isEmpty());
    QCOMPARE(fx.prompter.messages.size(), 1);
    QCOMPARE(fx.prompter.messages.first().text, platform::missingHelpFileMessage(fx.env.programDir() + "/quillmark.chm"));
    QCOMPARE(fx.prompter.messages.first().icon, MsgIcon::Information);
}

void tst_frmPreference::folderPicker_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("taken");
    QTest::newRow("existing folder") << "<new>" << true;
    QTest::newRow("cancelled") << "" << false;
    QTest::newRow("missing path") << "<missing>" << false;
}

void tst_frmPreference::folderPicker()
{
    QFETCH(QString, answer);
    QFETCH(bool, taken);
    Fixture fx;
    QDir().mkpath(fx.env.path("new"));
    fx.prompter.folders.enqueue(fx.expand(answer).replace("<new>", fx.env.path("new")));
    frmPreference dialog;
    child<QPushButton>(dialog, "cmdOpenFolder")->click();
    QCOMPARE(fx.prompter.folderTitles, QStringList{"Select a folder."});
    QCOMPARE(child<QLineEdit>(dialog, "txtFolder")->text(), taken ? fx.env.path("new") : fx.work);
}

void tst_frmPreference::testMailHandsOverTheDialogsValues_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("handed");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("submission port, both ticked") << "587" << 587 << true;
    // Above 16 bits' signed range: the port must still arrive whole.
    QTest::newRow("port above 32767") << "40000" << 40000 << false;
    QTest::newRow("highest port") << "65535" << 65535 << true;
    QTest::newRow("empty port") << "" << 0 << false;
    QTest::newRow("no number") << "abc" << 0 << false;
    QTest::newRow("number first") << " 25 x" << 25 << false;
}

void tst_frmPreference::testMailHandsOverTheDialogsValues()
{
    QFETCH(QString, port);
    QFETCH(int, handed);
    QFETCH(bool, ticked);
    Fixture fx;
    frmPreference dialog;
    QList<TestMailSettings> shown;
    QWidget* owner = nullptr;
    bool logged = false;
    dialog.setTestMailWindow([&](QWidget* over, const TestMailSettings& settings) {
        owner = over;
        shown << settings;
        logged = fx.errorLog().contains("Testing mail server for ann@example at ");
    });
    const QString flag = ticked ? "1" : "0";
    edit(dialog,
         {"txtReporterName=Ann Example", "txtReporterEmail=ann@example", "txtMailServer=mail.example",
          "txtSMTPPort=" + port, "chkSMTPAuth=" + flag, "txtSMTPUsername=user", "txtSMTPPassword=secret",
          "chkSSL=" + flag},
         fx);
    const QByteArray before = fx.registry();
    child<QPushButton>(dialog, "cmdTestSendMail")->click();

    QCOMPARE(shown.size(), 1);
    QCOMPARE(owner, static_cast<QWidget*>(&dialog));
    const TestMailSettings& s = shown.first();
    QCOMPARE(s.fromName, QStringLiteral("Ann Example"));
    QCOMPARE(s.fromAddress, QStringLiteral("ann@example"));
    QCOMPARE(s.toRecipient, QStringLiteral("ann@example"));
    QCOMPARE(s.host, QStringLiteral("mail.example"));
    QCOMPARE(s.port, handed);
    QCOMPARE(s.smtpUsername, QStringLiteral("user"));
    QCOMPARE(s.smtpPassword, QStringLiteral("secret"));
    QCOMPARE(s.authentication, ticked);
    QCOMPARE(s.ssl, ticked);
    QVERIFY(logged);
    QVERIFY(fx.errorLog().indexOf("Testing mail server completed at ")
            > fx.errorLog().indexOf("Testing mail server for ann@example at "));
    // Tested as typed, not saved; the dialog stays open.
    QCOMPARE(fx.registry(), before);
    QVERIFY(fx.prompter.messages.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void tst_frmPreference::testMailRefusals_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no @") << QStringList{"txtReporterEmail=ann.example"} << "Please enter your email address." << 2
                          << "txtReporterEmail";
    QTest::newRow("empty e-mail") << QStringList{"txtReporterEmail="} << "Please enter your email address." << 2
                                  << "txtReporterEmail";
    QTest::newRow("port beyond 65535") << QStringList{"txtReporterEmail=a@b", "txtSMTPPort=70000"}
                                       << "Invaid SMTP Port number." << 1 << "txtSMTPPort";
    QTest::newRow("negative port") << QStringList{"txtReporterEmail=a@b", "txtSMTPPort=-1"}
                                   << "Invaid SMTP Port number." << 1 << "txtSMTPPort";
}

void tst_frmPreference::testMailRefusals()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    QFETCH(int, tab);
    QFETCH(QString, focus);
    Fixture fx;
    frmPreference dialog;
    showActive(dialog);
    int shown = 0;
    dialog.setTestMailWindow([&](QWidget*, const TestMailSettings&) { ++shown; });
    edit(dialog, edits, fx);
    child<QPushButton>(dialog, "cmdTestSendMail")->click();
    QCOMPARE(shown, 0);
    QCOMPARE(fx.prompter.messages.size(), 1);
    QCOMPARE(fx.prompter.messages.first().text, message);
    QCOMPARE(fx.prompter.messages.first().title, QStringLiteral("Test Send Mail"));
    QCOMPARE(child<QTabWidget>(dialog, "ssTab1")->currentIndex(), tab);
    QCOMPARE(QApplication::focusWidget(), child(dialog, focus));
    QVERIFY(!fx.errorLog().contains("Testing mail server"));
}

void tst_frmPreference::testedAddressKeepsToItsLogLine()
{
    // The address is logged before it is checked for sending: a line break
    // in it must not start a line of its own in Error.log.
    Fixture fx;
    frmPreference dialog;
    dialog.setTestMailWindow([](QWidget*, const TestMailSettings&) {});
    child<QLineEdit>(dialog, "txtReporterEmail")->setText(QStringLiteral("ann@example\r\nForged line"));
    child<QPushButton>(dialog, "cmdTestSendMail")->click();

    const QByteArray log = fx.errorLog();
    QVERIFY2(log.contains("Testing mail server for ann@example\\r\\nForged line at "), log.constData());
    for (const QByteArray& line : log.split('\n'))
        QVERIFY2(!line.startsWith("Forged line"), log.constData());
}

void tst_frmPreference::focusedButtonAnswersEnterAndSpace_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    for (const char* button : {"cmdOK", "cmdCancel", "cmdHelp", "cmdOpenFolder", "cmdTestSendMail"}) {
        QTest::addRow("%s Return", button) << button << int(Qt::Key_Return);
        QTest::addRow("%s Enter", button) << button << int(Qt::Key_Enter);
        QTest::addRow("%s Space", button) << button << int(Qt::Key_Space);
    }
}

void tst_frmPreference::focusedButtonAnswersEnterAndSpace()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    Fixture fx;
    RecordingShellOpener opener;
    frmPreference dialog;
    int mails = 0;
    dialog.setTestMailWindow([&](QWidget*, const TestMailSettings&) { ++mails; });
    edit(dialog, {"txtReporterEmail=a@b", "txtMailServer=m"}, fx);
    showActive(dialog);
    auto* target = child<QPushButton>(dialog, button);
    const QMap<QString, int> tabOf{{"cmdOpenFolder", 3}, {"cmdTestSendMail", 1}};
    child<QTabWidget>(dialog, "ssTab1")->setCurrentIndex(tabOf.value(button, 0));
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(target));

    QTest::keyClick(target, Qt::Key(key));
    const int accepted = dialog.result() == QDialog::Accepted;
    const QMap<QString, bool> pressed{
        {"cmdOK", accepted && !dialog.isVisible()},
        {"cmdCancel", !accepted && !dialog.isVisible()},
        {"cmdHelp", fx.prompter.messages.size() == 1}, // no help file here: it says so
        {"cmdOpenFolder", fx.prompter.folderTitles.size() == 1},
        {"cmdTestSendMail", mails == 1},
    };
    QVERIFY(pressed.value(button));
    // Only that button answered.
    for (auto it = pressed.cbegin(); it != pressed.cend(); ++it) {
        if (it.key() != button)
            QVERIFY2(!it.value(), qPrintable(it.key()));
    }
}

void tst_frmPreference::enterInATextBoxPressesNothing()
{
    Fixture fx;
    frmPreference dialog;
    int mails = 0;
    dialog.setTestMailWindow([&](QWidget*, const TestMailSettings&) { ++mails; });
    showActive(dialog);
    const QByteArray before = fx.registry();
    auto* tabs = child<QTabWidget>(dialog, "ssTab1");
    for (int tab = 0; tab < 4; ++tab) {
        tabs->setCurrentIndex(tab);
        for (QLineEdit* box : tabs->widget(tab)->findChildren<QLineEdit*>()) {
            if (!box->isEnabled() || !box->isVisible())
                continue;
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
        }
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(mails, 0);
    QVERIFY(fx.prompter.messages.isEmpty());
    QVERIFY(fx.prompter.folderTitles.isEmpty());
    QCOMPARE(fx.registry(), before);
}

void tst_frmPreference::fileSetupWithNewFolderReloadsTheTree()
{
    Fixture fx;
    g_sWorkingFolder = fx.work;
    TestEnvironment::writeAll(fx.work + "/Accounts.dat", "[Old]\r\nold\r\n");
    const QString next = fx.env.path("next");
    TestEnvironment::writeAll(next + "/Accounts.dat", "[New]\r\nfresh\r\n");
    TestEnvironment::writeAll(next + "/Accounts/New/fresh/Campaign.dat", "[LandingPage]\r\nLandingPagePath=New/fresh\r\n");

    frmMain w;
    w.setPreferencesHook(&frmPreference::ShowModal); // as the program installs it
    w.Form_Load();
    QCOMPARE(w.workspace().accounts().nodes().first().id.key(), QStringLiteral("Old"));
    bool answered = false;
    const ModalWatcher<frmPreference> preferences([&](frmPreference& dialog) {
        QCOMPARE(dialog.parentWidget(), static_cast<QWidget*>(&w));
        child<QLineEdit>(dialog, "txtFolder")->setText(next);
        child<QPushButton>(dialog, "cmdOK")->click();
        answered = true;
    });
    w.mnuFileItems_Click(5);
    QVERIFY(preferences.seen());
    QVERIFY(answered);
    QCOMPARE(stored("WorkingFolder"), next);
    QCOMPARE(g_sWorkingFolder, next);
    QStringList keys;
    for (const auto& node : w.workspace().accounts().nodes())
        keys << node.id.key();
    QCOMPARE(keys, (QStringList{"New", "New-fresh"}));
    QCOMPARE(w.workspace().selectedNode()->key(), QStringLiteral("New-fresh"));
    QVERIFY(fx.errorLog().contains(("Change WorkingFolder: \r\nOld Folder: " + fx.work + ", NewFolder: " + next).toUtf8()));
}

QTEST_MAIN(tst_frmPreference)
#include "tst_frmpreference.moc"
