#pragma once

#include <QString>

#include <memory>

// The built-in AdWords API developer token: set by clsRegister::GetSettings
// and by the developer-token fetch, returned by
// clsPreference::GetGoogleDeveloperToken.
extern QString BuiltInDeveloperToken;

// The legacy search-marketing API credentials filled by GetYahooToken.
extern QString g_sYahooAPIToken;
extern QString g_sYahooMasterUserName;
extern QString g_sYahooMasterPassword;

// Settings that come with the installation: the dealer block (dealer file
// "quillmk.ini" in the Windows folder, section "Dealer"), the help links and
// the built-in developer token (split in two, encoded, in the local
// machine's hive).
class clsRegister
{
public:
    // Creates the Register, Setting and Preference keys in the local machine's hive.
    clsRegister();

    bool GoogleAPISelection() const { return m_GoogleAPISelection; }
    void setGoogleAPISelection(bool v) { m_GoogleAPISelection = v; }
    bool UseMyOwnGoogleAPIToken() const { return m_UseMyOwnGoogleAPIToken; }
    void setUseMyOwnGoogleAPIToken(bool v) { m_UseMyOwnGoogleAPIToken = v; }
    QString Dealername() const { return m_Dealername; }
    void setDealername(const QString& v) { m_Dealername = v; }
    QString DealerEmail() const { return m_DealerEmail; }
    void setDealerEmail(const QString& v) { m_DealerEmail = v; }
    QString DealerURL() const { return m_DealerURL; }
    void setDealerURL(const QString& v) { m_DealerURL = v; }
    QString UpdateURL() const { return m_UpdateURL; }
    void setUpdateURL(const QString& v) { m_UpdateURL = v; }
    QString SupportURL() const { return m_SupportURL; }
    void setSupportURL(const QString& v) { m_SupportURL = v; }
    QString TutorialURL() const { return m_TutorialURL; }
    void setTutorialURL(const QString& v) { m_TutorialURL = v; }
    QString SiteStatsURL() const { return m_SiteStatsURL; }
    void setSiteStatsURL(const QString& v) { m_SiteStatsURL = v; }
    QString PDFLocation() const { return m_PDFLocation; }
    QString DealerID() const { return m_DealerID; }
    QString TarnwellGoogleAPIToken() const { return m_TarnwellGoogleAPIToken; }
    void setTarnwellGoogleAPIToken(const QString& v) { m_TarnwellGoogleAPIToken = v; }
    bool UseMyOwnYahooAPIToken() const { return m_UseMyOwnYahooAPIToken; }
    void setUseMyOwnYahooAPIToken(bool v) { m_UseMyOwnYahooAPIToken = v; }

    // Loads the token and the dealer block (once, at start).
    void GetSettings();
    void GetYahooToken();
    // Writes the token and flag values (the dealer block is never written).
    void SaveSettings();

    QString PPCEngineURL() const { return m_PPCEngineURL; }
    QString YahooToken() const { return m_YahooToken; }
    void setYahooToken(const QString& v) { m_YahooToken = v; }

    // The maker's addresses.
    static QString MakerSite();          // web site, no trailing "/"
    static QString MakerKnowledgeBase(); // knowledge-base site, no trailing "/"
    static QString MakerSiteStats();     // site-statistics site
    static QString MakerSalesEmail();
    static QString MakerSupportEmail();

private:
    bool m_GoogleAPISelection = false;
    bool m_UseMyOwnGoogleAPIToken = false;
    QString m_Dealername;
    QString m_DealerEmail;
    QString m_DealerURL;
    QString m_UpdateURL;
    QString m_SupportURL;
    QString m_TutorialURL;
    QString m_SiteStatsURL;
    QString m_PDFLocation;
    QString m_DealerID;
    QString m_TarnwellGoogleAPIToken;
    bool m_UseMyOwnYahooAPIToken = false;
    QString m_PPCEngineURL;
    QString m_YahooToken;
};

// The one dealer-settings object of the run: created and loaded by
// modStartUp::Main; saved and released when the main window closes.
extern std::unique_ptr<clsRegister> g_oRegister;
