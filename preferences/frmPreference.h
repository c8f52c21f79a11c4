#pragma once

#include "platform/widgets/Dialog.h"
#include "preferences/TestMail.h"
#include "settings/clsPreference.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace platform {
enum class MsgIcon;
}

// The modal "Configuration" dialog over the user's settings: tabs
// "Connections", "SMTP Mail Server", "Profile" and "Options" (ssTab1), and
// the buttons OK, Cancel and Help. Every control carries its name as
// objectName; an option of an indexed group is "<group><index>" (optProxy0-2,
// optPosition1-2, optLoginType0-1).
//
// The dialog owns one settings store, loaded when the dialog is made. OK
// checks the entries in order (working folder, proxy, SMTP port, report
// e-mail without a mail server); the first that fails says so, brings its tab
// to the front, focuses the field and saves nothing. When all pass, the
// entries go into the store, which is saved once, and the dialog closes
// accepted. Cancel, Escape and the close box discard every change.
class frmPreference : public platform::Dialog
{
    Q_OBJECT

public:
    explicit frmPreference(QWidget* parent = nullptr);
    ~frmPreference() override;

    // Shows a new dialog modally over owner, its "Test SMTP server" opening
    // the "Send Mail" window; true when OK saved the settings. The main
    // window's File/Setup runs this.
    static bool ShowModal(QWidget* owner);

    // The tab shown (0 "Connections" when nobody sets it).
    qint16 CurrentTab() const { return m_currentTab; }
    void setCurrentTab(qint16 tab);

    // The window "Test SMTP server" opens. Without one the button is
    // disabled.
    void setTestMailWindow(TestMailWindow window);

private:
    QWidget* buildConnectionsTab();
    QWidget* buildMailTab();
    QWidget* buildProfileTab();
    QWidget* buildOptionsTab();

    void Form_Load();
    void cmdOK_Click();
    void cmdHelp_Click();
    void cmdOpenFolder_Click();
    void cmdTestSendMail_Click();
    void optProxy_Click(int index);
    void chkSMTPAuth_Click();
    void optLoginType_Click(int index);

    // Shows a refusal of the named field: message, its tab in front, focus.
    void refuse(const QString& message, platform::MsgIcon icon, const QString& title, int tab, QWidget* field);
    // Copies the entries into the store; false after a refusal.
    bool takeEntries();

    clsPreference m_preference;
    qint16 m_currentTab = 0;
    TestMailWindow m_testMailWindow;

    QTabWidget* m_ssTab1 = nullptr;
    // Connections
    QButtonGroup* m_optProxy = nullptr;
    QLineEdit* m_txtProxy = nullptr;
    QLineEdit* m_txtPort = nullptr;
    QLineEdit* m_txtHTTPUsername = nullptr;
    QLineEdit* m_txtHTTPPassword = nullptr;
    // SMTP Mail Server
    QCheckBox* m_chkConfirmConnection = nullptr;
    QLineEdit* m_txtMailServer = nullptr;
    QLineEdit* m_txtSMTPPort = nullptr;
    QCheckBox* m_chkSMTPAuth = nullptr;
    QLineEdit* m_txtSMTPUsername = nullptr;
    QLineEdit* m_txtSMTPPassword = nullptr;
    QCheckBox* m_chkSSL = nullptr;
    QPushButton* m_cmdTestSendMail = nullptr;
    // Profile
    QLineEdit* m_txtReporterName = nullptr;
    QLineEdit* m_txtCompanyName = nullptr;
    QLineEdit* m_txtReporterEmail = nullptr;
    QLineEdit* m_txtReporterWeb = nullptr;
    QLineEdit* m_txtLogoURL = nullptr;
    QButtonGroup* m_optPosition = nullptr;
    // Options
    QLineEdit* m_txtGoogleAdwordsEditor = nullptr;
    QLineEdit* m_txtToken = nullptr;
    QLineEdit* m_txtFolder = nullptr;
    QCheckBox* m_chkHideIcon = nullptr;
    QButtonGroup* m_optLoginType = nullptr;
    QLineEdit* m_txtUserName = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QLineEdit* m_txtClientEmailID = nullptr;
    QLabel* m_lblClientEmailID = nullptr;
};
