#include "preferences/frmPreference.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "core/FileDialogs.h"
#include "core/Globals.h"
#include "platform/HelpFile.h"
#include "platform/Prompter.h"
#include "platform/widgets/LineEdit.h"
#include "preferences/PreferenceInput.h"
#include "preferences/frmSendMail.h"
#include "settings/AdwordsEditorPath.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

using platform::MsgIcon;

namespace {

enum Tab { Connections, MailServer, Profile, Options, TabCount };

// Help topics of the tabs, in tab order; there is no topic 101.
constexpr int kHelpTopics[TabCount] = {100, 102, 103, 104};

enum AccessType : qint16 { DefaultAccess = 0, DirectAccess = 1, ProxyAccess = 2 };

// A box for a program or folder path, wide enough to show a usual one
// (the default editor path) whole.
QLineEdit* pathBox(const QString& name)
{
    constexpr int kFrameAndMargins = 16;
    QLineEdit* box = platform::lineEdit(name);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString::fromLatin1(kDefaultAdwordsEditorPath))
                         + kFrameAndMargins);
    return box;
}

// A password box: every character shows as "*".
QLineEdit* maskedBox(const QString& name)
{
    QLineEdit* box = platform::lineEdit(name);
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    return box;
}

// No button is a default button: Enter presses the focused button only
// (platform::Dialog), never one the user is not looking at.
QPushButton* pushButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* checkBox(const QString& name, const QString& caption)
{
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

QLabel* label(const QString& caption, QWidget* buddy = nullptr)
{
    auto* text = new QLabel(caption);
    text->setBuddy(buddy);
    return text;
}

QLabel* note(const QString& text)
{
    QLabel* lines = label(text);
    lines->setWordWrap(true);
    return lines;
}

// A tab page: the parts from the top, free space below.
QWidget* tabPage(std::initializer_list<QWidget*> parts)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (QWidget* part : parts)
        layout->addWidget(part);
    layout->addStretch(1);
    return page;
}

// A row of a form: the label (the box's buddy) and the box.
void addRow(QFormLayout* form, const QString& caption, QWidget* box)
{
    form->addRow(label(caption, box), box);
}

// An indexed group of option buttons "<name><index>", laid out in a row.
QButtonGroup* optionGroup(QWidget* owner, const QString& name,
                          std::initializer_list<std::pair<int, const char*>> options, QBoxLayout* row)
{
    auto* group = new QButtonGroup(owner);
    group->setObjectName(name);
    for (const auto& [index, caption] : options) {
        auto* option = new QRadioButton(QString::fromLatin1(caption));
        option->setObjectName(name + QString::number(index));
        group->addButton(option, index);
        row->addWidget(option);
    }
    row->addStretch(1);
    return group;
}

// A stored check-box value: 1 ticked, 2 grayed, anything else unticked.
void setCheckValue(QCheckBox* box, double value)
{
    const double v = std::nearbyint(value);
    box->setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

qint16 checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    case Qt::Unchecked: break;
    }
    return 0;
}

} // namespace

frmPreference::frmPreference(QWidget* parent)
    : platform::Dialog(parent)
{
    setObjectName(QStringLiteral("frmPreference"));
    setWindowTitle(QStringLiteral("Configuration"));
    setModal(true);

    m_ssTab1 = new QTabWidget;
    m_ssTab1->setObjectName(QStringLiteral("ssTab1"));
    m_ssTab1->addTab(buildConnectionsTab(), QStringLiteral("Connections"));
    m_ssTab1->addTab(buildMailTab(), QStringLiteral("SMTP Mail Server"));
    m_ssTab1->addTab(buildProfileTab(), QStringLiteral("Profile"));
    m_ssTab1->addTab(buildOptionsTab(), QStringLiteral("Options"));

    QPushButton* ok = pushButton(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    QPushButton* cancel = pushButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    QPushButton* help = pushButton(QStringLiteral("cmdHelp"), QStringLiteral("&Help"));
    connect(ok, &QPushButton::clicked, this, &frmPreference::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &frmPreference::cmdHelp_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ssTab1);
    layout->addLayout(buttons);

    Form_Load();
}

frmPreference::~frmPreference() = default;

bool frmPreference::ShowModal(QWidget* owner)
{
    frmPreference dialog(owner);
    dialog.setTestMailWindow(&frmSendMail::ShowModal);
    return dialog.exec() == QDialog::Accepted;
}

void frmPreference::setTestMailWindow(TestMailWindow window)
{
    m_testMailWindow = std::move(window);
    m_cmdTestSendMail->setEnabled(bool(m_testMailWindow));
}

void frmPreference::setCurrentTab(qint16 tab)
{
    m_currentTab = tab;
    m_ssTab1->setCurrentIndex(tab);
}

QWidget* frmPreference::buildConnectionsTab()
{
    auto* proxyFrame = new QGroupBox(QStringLiteral("Proxy Server"));
    auto* options = new QHBoxLayout;
    m_optProxy = optionGroup(this, QStringLiteral("optProxy"),
                             {{DefaultAccess, "Default"}, {DirectAccess, "Direct to internet"},
                              {ProxyAccess, "Proxy Server"}},
                             options);
    connect(m_optProxy, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            optProxy_Click(index);
    });
    m_txtProxy = platform::lineEdit(QStringLiteral("txtProxy"));
    m_txtPort = platform::lineEdit(QStringLiteral("txtPort"));
    auto* address = new QHBoxLayout;
    address->addWidget(m_txtProxy, 1);
    address->addWidget(label(QStringLiteral("Port"), m_txtPort));
    address->addWidget(m_txtPort);
    auto* proxyLayout = new QVBoxLayout(proxyFrame);
    proxyLayout->addLayout(options);
    proxyLayout->addLayout(address);
    proxyLayout->addWidget(note(QStringLiteral(
        "A network proxy is used to provide additional security between your computer and the Internet and/or to "
        "increase performance between networks by reducing redundant traffic via caching. ")));

    auto* authFrame = new QGroupBox(QStringLiteral("Web server authentication"));
    m_txtHTTPUsername = platform::lineEdit(QStringLiteral("txtHTTPUsername"));
    m_txtHTTPPassword = maskedBox(QStringLiteral("txtHTTPPassword"));
    auto* authLayout = new QVBoxLayout(authFrame);
    authLayout->addWidget(note(QStringLiteral("If your server or proxy requires authentication before allowing access "
                                              "to the Internet, please enter your Username and Password below:")));
    auto* login = new QFormLayout;
    addRow(login, QStringLiteral("Username:"), m_txtHTTPUsername);
    addRow(login, QStringLiteral("Password:"), m_txtHTTPPassword);
    authLayout->addLayout(login);
    return tabPage({proxyFrame, authFrame});
}

QWidget* frmPreference::buildMailTab()
{
    m_chkConfirmConnection = checkBox(QStringLiteral("chkConfirmConnection"),
                                      QStringLiteral("Confirm connection before searching"));

    auto* frame = new QGroupBox(QStringLiteral("SMTP Mail Server"));
    m_txtMailServer = platform::lineEdit(QStringLiteral("txtMailServer"));
    m_txtSMTPPort = platform::lineEdit(QStringLiteral("txtSMTPPort"));
    m_chkSMTPAuth = checkBox(QStringLiteral("chkSMTPAuth"), QStringLiteral("My mail server request authentication"));
    connect(m_chkSMTPAuth, &QCheckBox::stateChanged, this, &frmPreference::chkSMTPAuth_Click);
    m_txtSMTPUsername = platform::lineEdit(QStringLiteral("txtSMTPUsername"));
    m_txtSMTPPassword = maskedBox(QStringLiteral("txtSMTPPassword"));
    m_chkSSL = checkBox(QStringLiteral("chkSSL"), QStringLiteral("This mail server requires a secure connection (SSL)"));
    m_cmdTestSendMail = pushButton(QStringLiteral("cmdTestSendMail"), QStringLiteral("Test SMTP server"));
    m_cmdTestSendMail->setEnabled(false);
    connect(m_cmdTestSendMail, &QPushButton::clicked, this, &frmPreference::cmdTestSendMail_Click);

    auto* server = new QFormLayout;
    addRow(server, QStringLiteral("Outgoing Mail (SMTP) Server"), m_txtMailServer);
    addRow(server, QStringLiteral("Port:"), m_txtSMTPPort);
    server->addRow(m_chkSMTPAuth);
    addRow(server, QStringLiteral("Username: "), m_txtSMTPUsername);
    addRow(server, QStringLiteral("Password:"), m_txtSMTPPassword);
    server->addRow(m_chkSSL);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(note(QStringLiteral(
        "The information below is needed before you can send email. If you do not know the information requested, "
        "please contact your system administrator or Internet Service Provider.")));
    frameLayout->addLayout(server);
    frameLayout->addWidget(m_cmdTestSendMail, 0, Qt::AlignRight);
    return tabPage({m_chkConfirmConnection, frame});
}

QWidget* frmPreference::buildProfileTab()
{
    auto* details = new QGroupBox(QStringLiteral("User Details"));
    m_txtReporterName = platform::lineEdit(QStringLiteral("txtReporterName"));
    m_txtCompanyName = platform::lineEdit(QStringLiteral("txtCompanyName"));
    m_txtReporterEmail = platform::lineEdit(QStringLiteral("txtReporterEmail"));
    m_txtReporterWeb = platform::lineEdit(QStringLiteral("txtReporterWeb"));
    auto* user = new QFormLayout(details);
    addRow(user, QStringLiteral("Name:"), m_txtReporterName);
    addRow(user, QStringLiteral("Company name:"), m_txtCompanyName);
    addRow(user, QStringLiteral("Email:"), m_txtReporterEmail);
    addRow(user, QStringLiteral("Web site:"), m_txtReporterWeb);

    auto* logo = new QGroupBox(QStringLiteral("Logo Position"));
    m_txtLogoURL = platform::lineEdit(QStringLiteral("txtLogoURL"));
    auto* positions = new QHBoxLayout;
    m_optPosition = optionGroup(this, QStringLiteral("optPosition"), {{1, "Top"}, {2, "Bottom"}}, positions);
    auto* logoLayout = new QFormLayout(logo);
    addRow(logoLayout, QStringLiteral("Logo URL:"), m_txtLogoURL);
    logoLayout->addRow(label(QStringLiteral("Position:"), m_optPosition->button(1)), positions);

    return tabPage(
        {note(QStringLiteral("The information you specified here will be used to customize your keyword reports.")),
         details, logo});
}

QWidget* frmPreference::buildOptionsTab()
{
    m_txtGoogleAdwordsEditor = pathBox(QStringLiteral("txtGoogleAdwordsEditor"));
    m_txtToken = platform::lineEdit(QStringLiteral("txtToken"));
    m_txtFolder = pathBox(QStringLiteral("txtFolder"));
    QPushButton* open = pushButton(QStringLiteral("cmdOpenFolder"), QStringLiteral("Open"));
    connect(open, &QPushButton::clicked, this, &frmPreference::cmdOpenFolder_Click);
    m_chkHideIcon = checkBox(QStringLiteral("chkHideIcon"),
                             QStringLiteral("Hide program icon from task bar when minimized"));

    // Each box under its label, so that the long labels leave the paths the
    // tab's whole width.
    auto* folder = new QHBoxLayout;
    folder->addWidget(m_txtFolder, 1);
    folder->addWidget(open);
    auto* pathsBox = new QWidget;
    auto* paths = new QVBoxLayout(pathsBox);
    paths->setContentsMargins(0, 0, 0, 0);
    paths->addWidget(label(QStringLiteral("Google Adwords Editor Path:"), m_txtGoogleAdwordsEditor));
    paths->addWidget(m_txtGoogleAdwordsEditor);
    paths->addWidget(label(QStringLiteral("Google Token ID:"), m_txtToken));
    paths->addWidget(m_txtToken);
    paths->addWidget(label(QStringLiteral("Working folder where the data to be stored:"), m_txtFolder));
    paths->addLayout(folder);
    paths->addWidget(m_chkHideIcon);

    auto* loginFrame = new QGroupBox(QStringLiteral("Google Adwords Login Details"));
    auto* types = new QHBoxLayout;
    m_optLoginType = optionGroup(this, QStringLiteral("optLoginType"),
                                 {{0, "Using Adwords login details"}, {1, "Using MCC login details"}}, types);
    connect(m_optLoginType, &QButtonGroup::idToggled, this, [this](int index, bool checked) {
        if (checked)
            optLoginType_Click(index);
    });
    m_txtUserName = platform::lineEdit(QStringLiteral("txtUserName"));
    m_txtPassword = maskedBox(QStringLiteral("txtPassword"));
    m_txtClientEmailID = platform::lineEdit(QStringLiteral("txtClientEmailID"));
    m_lblClientEmailID = label(QStringLiteral("Account Email:"), m_txtClientEmailID);
    m_lblClientEmailID->setObjectName(QStringLiteral("lblClientEmailID"));
    auto* login = new QFormLayout;
    login->addRow(label(QStringLiteral("Login Type"), m_optLoginType->button(0)), types);
    addRow(login, QStringLiteral("User Name:"), m_txtUserName);
    addRow(login, QStringLiteral("Password:"), m_txtPassword);
    login->addRow(m_lblClientEmailID, m_txtClientEmailID);
    auto* loginLayout = new QVBoxLayout(loginFrame);
    loginLayout->addWidget(note(QStringLiteral("This information will be used for Keyword Builder function:")));
    loginLayout->addLayout(login);
    return tabPage({pathsBox, loginFrame});
}

void frmPreference::Form_Load()
{
    m_preference.GetSettings();
    m_ssTab1->setCurrentIndex(m_currentTab);

    // "Default" never shows selected after loading: a stored 0 shows as
    // "Direct to internet" and the next OK saves 1. A type with no option
    // takes the default, Direct, so the rest of the settings still load
    // (otherwise the next OK would save them empty).
    const qint16 access = m_preference.AccessType() == ProxyAccess ? ProxyAccess : DirectAccess;
    m_optProxy->button(access)->setChecked(true);
    if (access == ProxyAccess) {
        platform::setLineText(m_txtProxy, m_preference.Proxy());
        platform::setLineText(m_txtPort, m_preference.Port());
    }

    platform::setLineText(m_txtMailServer, m_preference.SMTPServer());
    platform::setLineText(m_txtSMTPPort, m_preference.SMTPPort());
    setCheckValue(m_chkSSL, m_preference.SSL());
    platform::setLineText(m_txtHTTPUsername, m_preference.HTTPUserName());
    platform::setLineText(m_txtHTTPPassword, m_preference.HTTPPassword());
    setCheckValue(m_chkConfirmConnection, Conversions::Val(m_preference.ConfirmConnection()));

    platform::setLineText(m_txtReporterName, m_preference.ReporterName());
    platform::setLineText(m_txtCompanyName, m_preference.CompanyName());
    platform::setLineText(m_txtReporterEmail, m_preference.Email());
    platform::setLineText(m_txtReporterWeb, m_preference.WebSite());
    platform::setLineText(m_txtLogoURL, m_preference.LogoURL());
    if (m_preference.LogoPosition() == QLatin1String("Top"))
        m_optPosition->button(1)->setChecked(true);
    else if (m_preference.LogoPosition() == QLatin1String("Bottom"))
        m_optPosition->button(2)->setChecked(true);

    setCheckValue(m_chkHideIcon, m_preference.HideIcon());

    // The SMTP login loads even with authentication off (the boxes are then
    // disabled), so that OK keeps the stored login instead of clearing it.
    setCheckValue(m_chkSMTPAuth, m_preference.SMTPAuthentication());
    platform::setLineText(m_txtSMTPUsername, m_preference.SMTPUsername());
    platform::setLineText(m_txtSMTPPassword, m_preference.SMTPPassword());
    chkSMTPAuth_Click();

    platform::setLineText(m_txtFolder, m_preference.WorkingFolder());

    // A login type with no option takes the default, the AdWords login.
    const int loginType = m_preference.LoginType() == 1 ? 1 : 0;
    m_optLoginType->button(loginType)->setChecked(true);
    optLoginType_Click(loginType);

    platform::setLineText(m_txtToken, m_preference.Token());
    platform::setLineText(m_txtUserName, m_preference.UserName());
    platform::setLineText(m_txtPassword, m_preference.Password());
    platform::setLineText(m_txtClientEmailID, m_preference.ClientEmailID());
    platform::setLineText(m_txtGoogleAdwordsEditor, m_preference.GoogleAdwordsEditor());
}

void frmPreference::optProxy_Click(int index)
{
    m_preference.setAccessType(qint16(index));
    m_txtProxy->setEnabled(index == ProxyAccess);
    m_txtPort->setEnabled(index == ProxyAccess);
}

void frmPreference::chkSMTPAuth_Click()
{
    const bool ticked = m_chkSMTPAuth->checkState() == Qt::Checked;
    m_txtSMTPUsername->setEnabled(ticked);
    m_txtSMTPPassword->setEnabled(ticked);
}

void frmPreference::optLoginType_Click(int index)
{
    m_txtClientEmailID->setVisible(index != 0);
    m_lblClientEmailID->setVisible(index != 0);
}

void frmPreference::refuse(const QString& message, MsgIcon icon, const QString& title, int tab, QWidget* field)
{
    platform::MsgBox(message, platform::MsgButtons::OK, icon, title);
    m_ssTab1->setCurrentIndex(tab);
    field->setFocus();
}

bool frmPreference::takeEntries()
{
    const QString preference = QStringLiteral("Preference");

    // A folder only: every later save into a file of that name would fail.
    const QString folder = m_txtFolder->text();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        refuse(QStringLiteral("Invalid working folder path. Please specify a valid working folder and try again."),
               MsgIcon::Critical, QStringLiteral("Set Working Folder"), Options, m_txtFolder);
        return false;
    }

    // With another connection type the stored proxy stays as it is.
    if (m_optProxy->checkedId() == ProxyAccess) {
        const QString host = PreferenceInput::proxyHost(m_txtProxy->text());
        if (host.isEmpty()) {
            refuse(QStringLiteral("Invalid Proxy Server address."), MsgIcon::Critical, preference, Connections,
                   m_txtProxy);
            return false;
        }
        m_preference.setProxy(host);
        if (!PreferenceInput::isPort(m_txtPort->text())) {
            refuse(QStringLiteral("Invalid Proxy Port Number."), MsgIcon::Critical, preference, Connections, m_txtPort);
            return false;
        }
        m_preference.setPort(m_txtPort->text().trimmed());
    }

    m_preference.setSMTPServer(m_txtMailServer->text());
    const QString smtpPort = m_txtSMTPPort->text().trimmed();
    if (!smtpPort.isEmpty() && !PreferenceInput::isPort(smtpPort)) {
        refuse(QStringLiteral("Invaid SMTP Port number."), MsgIcon::Critical, preference, MailServer, m_txtSMTPPort);
        return false;
    }
    m_preference.setSMTPPort(smtpPort.isEmpty() ? QStringLiteral("25") : smtpPort);

    m_preference.setSSL(checkValue(m_chkSSL));
    m_preference.setSMTPAuthentication(checkValue(m_chkSMTPAuth));
    m_preference.setSMTPUsername(m_txtSMTPUsername->text());
    m_preference.setSMTPPassword(m_txtSMTPPassword->text());
    m_preference.setHTTPUserName(m_txtHTTPUsername->text());
    m_preference.setHTTPPassword(m_txtHTTPPassword->text());
    m_preference.setConfirmConnection(QString::number(checkValue(m_chkConfirmConnection)));

    if (!m_txtReporterEmail->text().isEmpty() && m_txtMailServer->text().isEmpty()) {
        refuse(QStringLiteral("Please set up your SMTP mail server if you want to sent email report."),
               MsgIcon::Information, AppTitle(), MailServer, m_txtMailServer);
        return false;
    }

    m_preference.setReporterName(m_txtReporterName->text());
    m_preference.setCompanyName(m_txtCompanyName->text());
    m_preference.setEmail(m_txtReporterEmail->text());
    m_preference.setWebSite(m_txtReporterWeb->text());
    m_preference.setLogoURL(m_txtLogoURL->text());
    if (m_optPosition->checkedId() == 1)
        m_preference.setLogoPosition(QStringLiteral("Top"));
    else if (m_optPosition->checkedId() == 2)
        m_preference.setLogoPosition(QStringLiteral("Bottom"));

    m_preference.setHideIcon(checkValue(m_chkHideIcon));
    m_preference.setWorkingFolder(folder);
    m_preference.setLoginType(m_optLoginType->checkedId() == 0 ? 0 : 1);
    m_preference.setToken(m_txtToken->text());
    m_preference.setUserName(m_txtUserName->text());
    m_preference.setPassword(m_txtPassword->text());
    m_preference.setClientEmailID(m_txtClientEmailID->text());
    m_preference.setGoogleAdwordsEditor(m_txtGoogleAdwordsEditor->text());
    return true;
}

void frmPreference::cmdOK_Click()
{
    if (!takeEntries())
        return;
    m_preference.SaveSettings();
    accept();
}

void frmPreference::cmdHelp_Click()
{
    if (!platform::showHelpTopic(kHelpTopics[m_ssTab1->currentIndex()]))
        platform::MsgBox(platform::missingHelpFileMessage(platform::helpFile()), platform::MsgButtons::OK,
                         MsgIcon::Information, AppTitle());
}

void frmPreference::cmdOpenFolder_Click()
{
    const QString path = FileDialogs::BrowseForFolder(QStringLiteral("Select a folder."),
                                                      FileDialogs::PickerStartFolder(m_txtFolder->text()));
    if (!path.isEmpty() && QFileInfo::exists(path))
        platform::setLineText(m_txtFolder, path);
}

void frmPreference::cmdTestSendMail_Click()
{
    const QString email = m_txtReporterEmail->text();
    if (!email.contains(QLatin1Char('@'))) {
        refuse(QStringLiteral("Please enter your email address."), MsgIcon::Information,
               QStringLiteral("Test Send Mail"), Profile, m_txtReporterEmail);
        return;
    }
    const std::optional<int> port = PreferenceInput::testMailPort(m_txtSMTPPort->text());
    if (!port) {
        refuse(QStringLiteral("Invaid SMTP Port number."), MsgIcon::Critical, QStringLiteral("Test Send Mail"),
               MailServer, m_txtSMTPPort);
        return;
    }

    ErrorLog::WriteErrorLog(QStringLiteral("Testing mail server for ") + email + QStringLiteral(" at ") + ErrorLog::NowText());
    TestMailSettings settings;
    settings.fromName = m_txtReporterName->text();
    settings.fromAddress = email;
    settings.host = m_txtMailServer->text();
    settings.port = *port;
    settings.toRecipient = email;
    settings.smtpUsername = m_txtSMTPUsername->text();
    settings.smtpPassword = m_txtSMTPPassword->text();
    settings.authentication = m_chkSMTPAuth->checkState() != Qt::Unchecked;
    settings.ssl = m_chkSSL->checkState() != Qt::Unchecked;
    m_testMailWindow(this, settings);
    ErrorLog::WriteErrorLog(QStringLiteral("Testing mail server completed at ") + ErrorLog::NowText());
}

