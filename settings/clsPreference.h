#pragma once

#include <QDateTime>
#include <QString>

#include <span>

// The user's settings store. Every user creates its own object, calls
// GetSettings first, reads or changes properties and calls SaveSettings to
// keep the changes. Values live under the Preference key, in the current
// user's hive except CTK, WorkingFolder, AUTK and AUTKD (local machine).
class clsPreference
{
public:
    clsPreference();

    // Properties, each a get followed by a set.
    qint16 CompetitorLookUp() const { return m_CompetitorLookUp; }
    void setCompetitorLookUp(qint16 v) { m_CompetitorLookUp = v; }
    QString Proxy() const { return m_Proxy; }
    void setProxy(const QString& v) { m_Proxy = v; }
    QString TimeOut() const { return m_TimeOut; }
    void setTimeOut(const QString& v) { m_TimeOut = v; }
    QString ConfirmConnection() const { return m_ConfirmConnection; }
    void setConfirmConnection(const QString& v) { m_ConfirmConnection = v; }
    QString Port() const { return m_Port; }
    void setPort(const QString& v) { m_Port = v; }
    QString HTTPUserName() const { return m_HTTPUserName; }
    void setHTTPUserName(const QString& v) { m_HTTPUserName = v; }
    QString HTTPPassword() const { return m_HTTPPassword; }
    void setHTTPPassword(const QString& v) { m_HTTPPassword = v; }
    // Base64 of HTTPUserName:HTTPPassword after GetSettings; never stored.
    QString HttpLogin() const { return m_HttpLogin; }
    void setHttpLogin(const QString& v) { m_HttpLogin = v; }
    QString SMTPServer() const { return m_SMTPServer; }
    void setSMTPServer(const QString& v) { m_SMTPServer = v; }
    QString SMTPPort() const { return m_SMTPPort; }
    void setSMTPPort(const QString& v) { m_SMTPPort = v; }
    QString ReporterName() const { return m_ReporterName; }
    void setReporterName(const QString& v) { m_ReporterName = v; }
    QString CompanyName() const { return m_CompanyName; }
    void setCompanyName(const QString& v) { m_CompanyName = v; }
    QString Email() const { return m_Email; }
    void setEmail(const QString& v) { m_Email = v; }
    QString LogoURL() const { return m_LogoURL; }
    void setLogoURL(const QString& v) { m_LogoURL = v; }
    QString WebSite() const { return m_WebSite; }
    void setWebSite(const QString& v) { m_WebSite = v; }
    QString LogoPosition() const { return m_LogoPosition; }
    void setLogoPosition(const QString& v) { m_LogoPosition = v; }
    // 0 "Default", 1 "Direct to internet", 2 "Proxy Server".
    qint16 AccessType() const { return m_AccessType; }
    void setAccessType(qint16 v) { m_AccessType = v; }
    qint16 Authentication() const { return m_Authentication; }
    void setAuthentication(qint16 v) { m_Authentication = v; }
    qint16 UpdateEngineData() const { return m_UpdateEngineData; }
    void setUpdateEngineData(qint16 v) { m_UpdateEngineData = v; }
    qint16 HideIcon() const { return m_HideIcon; }
    void setHideIcon(qint16 v) { m_HideIcon = v; }
    QString LastUpdate() const { return m_LastUpdate; }
    void setLastUpdate(const QString& v) { m_LastUpdate = v; }
    qint16 SMTPAuthentication() const { return m_SMTPAuthentication; }
    void setSMTPAuthentication(qint16 v) { m_SMTPAuthentication = v; }
    QString SMTPUsername() const { return m_SMTPUsername; }
    void setSMTPUsername(const QString& v) { m_SMTPUsername = v; }
    QString SMTPPassword() const { return m_SMTPPassword; }
    void setSMTPPassword(const QString& v) { m_SMTPPassword = v; }
    qint16 Hour() const { return m_Hour; }
    void setHour(qint16 v) { m_Hour = v; }
    qint16 Minute() const { return m_Minute; }
    void setMinute(qint16 v) { m_Minute = v; }
    QDateTime LastReportDate() const { return m_LastReportDate; }
    void setLastReportDate(const QDateTime& v) { m_LastReportDate = v; }
    QString MaxListing() const { return m_MaxListing; }
    void setMaxListing(const QString& v) { m_MaxListing = v; }
    // The user's own developer token (CTK, local machine).
    QString Token() const { return m_Token; }
    void setToken(const QString& v) { m_Token = v; }
    QString AppToken() const { return m_AppToken; }
    void setAppToken(const QString& v) { m_AppToken = v; }
    QString WorkingFolder() const { return m_WorkingFolder; }
    void setWorkingFolder(const QString& v) { m_WorkingFolder = v; }
    QString UserAgent() const { return m_UserAgent; }
    void setUserAgent(const QString& v) { m_UserAgent = v; }
    qint16 Connections() const { return m_Connections; }
    void setConnections(qint16 v) { m_Connections = v; }
    QString TimeDelay() const { return m_TimeDelay; }
    void setTimeDelay(const QString& v) { m_TimeDelay = v; }
    qint16 SSL() const { return m_SSL; }
    void setSSL(qint16 v) { m_SSL = v; }
    // AdWords login (YMID, YMPd).
    QString UserName() const { return m_UserName; }
    void setUserName(const QString& v) { m_UserName = v; }
    QString Password() const { return m_Password; }
    void setPassword(const QString& v) { m_Password = v; }
    QString ClientEmailID() const { return m_ClientEmailID; }
    void setClientEmailID(const QString& v) { m_ClientEmailID = v; }
    // 0 AdWords login, 1 manager-account login; held as its decimal text.
    qint16 LoginType() const;
    void setLoginType(qint16 v) { m_LoginType = QString::number(v); }
    QString AuthToken() const { return m_AuthToken; }
    void setAuthToken(const QString& v) { m_AuthToken = v; }
    QString AuthTokenDate() const { return m_AuthTokenDate; }
    void setAuthTokenDate(const QString& v) { m_AuthTokenDate = v; }
    QString GoogleAdwordsEditor() const { return m_GoogleAdwordsEditor; }
    void setGoogleAdwordsEditor(const QString& v) { m_GoogleAdwordsEditor = v; }

    // Methods.
    void GetTokenSetting();
    void SaveTokenSetting();
    bool IsSchedulerEnable();
    QDateTime GetLastReportDate();
    void SaveLastReportDate();
    QTime GetReportStartTime();
    QString GetGoogleAppToken();
    // Loads every setting; a value that fails is logged and takes its default.
    void GetSettings();
    // Writes every setting of the table back, each hive in one atomic write:
    // after a crash or a kill during the save a hive holds all its old values
    // or all the new ones. When the current user's hive cannot be written,
    // neither hive changes, "clsPreference_SaveSettings_Error: " is logged
    // and the description shown, titled "SaveSetting Preference".
    void SaveSettings();
    QString GetWorkingPath();
    QString GetGoogleDeveloperToken();
    QString GetLastAccountRptSecheduleDate();
    void SetLastAccountRptSecheduleDate(const QString& value);
    qint16 GetAdScheduleHelpTip();
    void SetAdScheduleHelpTip(qint16 value);
    // What the main window keeps of its last close, in the current user's
    // hive and outside the table (SaveSettings never writes them): the
    // stored key of the tree node then selected ("LastSelectAcc"; "" when
    // none was stored) and the window's bounds ("MainFormPos", in twips as
    // "left,top,width,height"). Each set creates the Preference key first.
    QString GetLastSelectAcc();
    void SetLastSelectAcc(const QString& nodeKey);
    void SetMainFormPos(const QString& twips);

    // "mmm dd yyyy hh:nn AM/PM" with English month names, e.g. "Dec 07 2026 03:05 PM".
    static QString FormatReportDate(const QDateTime& when);
    // A stored date text, or an invalid value when the text is no date.
    static QDateTime ParseDateText(const QString& text);

    struct Setting; // one row of the settings table (clsPreference.cpp)

private:
    static std::span<const Setting> settingsTable();
    // A loaded value into the row's field (a number into a text field as its decimal text).
    void setField(const Setting& row, const QString& text);
    void setField(const Setting& row, qint16 number);
    void setField(const Setting& row, const QDateTime& date);
    // The row's field as SaveSettings writes it.
    QString fieldText(const Setting& row) const;

    qint16 m_CompetitorLookUp = 0;
    QString m_Proxy;
    QString m_TimeOut;
    QString m_ConfirmConnection;
    QString m_Port;
    QString m_HTTPUserName;
    QString m_HTTPPassword;
    QString m_HttpLogin;
    QString m_SMTPServer;
    QString m_SMTPPort;
    QString m_ReporterName;
    QString m_CompanyName;
    QString m_Email;
    QString m_LogoURL;
    QString m_WebSite;
    QString m_LogoPosition;
    qint16 m_AccessType = 0;
    qint16 m_Authentication = 0;
    qint16 m_UpdateEngineData = 0;
    qint16 m_HideIcon = 0;
    QString m_LastUpdate;
    qint16 m_SMTPAuthentication = 0;
    QString m_SMTPUsername;
    QString m_SMTPPassword;
    qint16 m_Hour = 0;
    qint16 m_Minute = 0;
    QDateTime m_LastReportDate;
    QString m_MaxListing;
    QString m_Token;
    QString m_AppToken;
    QString m_WorkingFolder;
    QString m_UserAgent;
    qint16 m_Connections = 0;
    QString m_TimeDelay;
    qint16 m_SSL = 0;
    QString m_UserName;
    QString m_Password;
    QString m_ClientEmailID;
    QString m_LoginType;
    QString m_AuthToken;
    QString m_AuthTokenDate;
    QString m_GoogleAdwordsEditor;
};
