#include "settings/clsRegister.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/IniFiles.h"
#include "core/RegistryAPI.h"
#include "core/uucode.h"
#include "platform/Locations.h"

using namespace RegistryAPI;

QString BuiltInDeveloperToken;
QString g_sYahooAPIToken;
QString g_sYahooMasterUserName;
QString g_sYahooMasterPassword;
std::unique_ptr<clsRegister> g_oRegister;

namespace {

bool flagValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    double v = 0;
    return Conversions::IsNumeric(t, v) && v != 0;
}

QString flagText(bool v)
{
    return v ? QStringLiteral("-1") : QStringLiteral("0");
}

const QString kMasterUser = QStringLiteral("twlapi");
const QString kMasterPassword = QStringLiteral("Qm7#pX2v9");

} // namespace

QString clsRegister::MakerSite() { return QStringLiteral("http://www.tarnwell.com"); }
QString clsRegister::MakerKnowledgeBase() { return QStringLiteral("http://kb.tarnwell.com"); }
QString clsRegister::MakerSiteStats() { return QStringLiteral("http://www.tarnwellstats.com"); }
QString clsRegister::MakerSalesEmail() { return QStringLiteral("sales@tarnwell.com"); }
QString clsRegister::MakerSupportEmail() { return QStringLiteral("support@tarnwell.com"); }

clsRegister::clsRegister()
{
    CreateRegistryKey(HKEY_LOCAL_MACHINE, g_sRegisterKey);
    CreateRegistryKey(HKEY_LOCAL_MACHINE, g_sSettingKey);
    CreateRegistryKey(HKEY_LOCAL_MACHINE, g_sPreferenceKey);
}

void clsRegister::GetSettings()
{
    // Built-in token: the first part carries a trailing "g", the second a
    // leading "t", so that both parts are never empty when encoded.
    QString partA;
    const QString gtx =
        GetRegistryValue(HKEY_LOCAL_MACHINE, g_sSettingKey, QStringLiteral("GTX"), REG_SZ, QString()).toString();
    double number = 0;
    if (!gtx.isEmpty() && !Conversions::IsNumeric(gtx, number)) {
        const QString decoded = uucode::Decode(gtx);
        partA = decoded.endsWith(QLatin1Char('g')) && decoded.size() <= 11 ? decoded.chopped(1) : decoded.left(10);
    }
    QString partB;
    const QString tgy =
        GetRegistryValue(HKEY_LOCAL_MACHINE, g_sRegisterKey, QStringLiteral("TGY"), REG_SZ, QString()).toString();
    if (!tgy.isEmpty() && !Conversions::IsNumeric(tgy, number)) {
        const QString decoded = uucode::Decode(tgy);
        if (decoded.size() >= 2)
            partB = decoded.mid(1);
    }
    m_TarnwellGoogleAPIToken = Conversions::Trim(partA) + Conversions::Trim(partB);
    BuiltInDeveloperToken = m_TarnwellGoogleAPIToken;

    // Dealer block.
    m_DealerID = QStringLiteral("TWL");
    const QString file = platform::Locations::GetWindowsDir() + QStringLiteral("quillmk.ini");
    const QString section = QStringLiteral("Dealer");
    auto key = [&](const char* name) { return IniFiles::ReadINI(file, section, QString::fromLatin1(name)); };
    m_Dealername = key("Name");
    if (m_Dealername == QLatin1String("KZV") || m_Dealername.isEmpty()) {
        m_Dealername = QStringLiteral("Tarnwell Pty Ltd");
        m_DealerEmail = MakerSalesEmail();
        m_DealerURL = MakerSite() + QStringLiteral("/index.html");
        m_UpdateURL = MakerSite() + QStringLiteral("/upgrade.html");
        m_SupportURL = MakerSite() + QStringLiteral("/support.html");
        m_PPCEngineURL = MakerSite() + QStringLiteral("/ppcengines.html");
        m_SiteStatsURL = MakerSiteStats();
        m_PDFLocation = MakerKnowledgeBase() + QStringLiteral("/knowledgebase/pdf/quillmark_userguide.pdf");
    } else {
        m_DealerID = key("Code");
        m_DealerEmail = key("Email");
        m_DealerURL = key("Home");
        m_UpdateURL = key("UpdateURL");
        m_SupportURL = key("SupportURL");
        m_TutorialURL = key("TutorialURL");
        if (m_TutorialURL.isEmpty())
            m_TutorialURL = key("TipsURL");
        m_PPCEngineURL = key("PPCEngineURL");
        m_SiteStatsURL = key("SiteStatsURL");
        m_PDFLocation = key("PDFLocation");
    }
    if (m_DealerURL.isEmpty())
        m_DealerURL = MakerSite() + QStringLiteral("/order.html");
    if (m_UpdateURL.isEmpty())
        m_UpdateURL = MakerSite() + QStringLiteral("/upgrade.html");
    if (m_SupportURL.isEmpty())
        m_SupportURL = MakerSite() + QStringLiteral("/support.html");
    if (m_TutorialURL.isEmpty())
        m_TutorialURL = MakerKnowledgeBase() + QStringLiteral("/knowledgebase/ppcquillmark/index.asp");
    if (m_SiteStatsURL.isEmpty())
        m_SiteStatsURL = MakerSiteStats();
    if (m_PDFLocation.isEmpty())
        m_PDFLocation = MakerKnowledgeBase() + QStringLiteral("/knowledgebase/pdf/quillmark_userguide.pdf");

    m_GoogleAPISelection = flagValue(
        GetRegistryValue(HKEY_LOCAL_MACHINE, g_sSettingKey, QStringLiteral("GAPIS"), REG_SZ, QStringLiteral("0"))
            .toString());
}

void clsRegister::SaveSettings()
{
    CreateRegistryKey(HKEY_LOCAL_MACHINE, g_sRegisterKey);
    CreateRegistryKey(HKEY_LOCAL_MACHINE, g_sSettingKey);
    const QString& token = m_TarnwellGoogleAPIToken;
    const auto put = [](const QString& key, const char* name, const QString& value) {
        SetRegistryValue(HKEY_LOCAL_MACHINE, key, QString::fromLatin1(name), REG_SZ, value);
    };
    put(g_sSettingKey, "UOGT", flagText(m_UseMyOwnGoogleAPIToken));
    put(g_sSettingKey, "GTX", uucode::Encode(token.left(10) + QLatin1Char('g')));
    put(g_sRegisterKey, "TGY", uucode::Encode(QLatin1Char('t') + token.mid(10)));
    put(g_sSettingKey, "GAPIS", flagText(m_GoogleAPISelection));
    put(g_sSettingKey, "YTI", uucode::Encode(m_YahooToken.left(8)));
    put(g_sRegisterKey, "TDY", uucode::Encode(m_YahooToken.mid(8)));
    put(g_sRegisterKey, "UOYT", flagText(m_UseMyOwnYahooAPIToken));
}

void clsRegister::GetYahooToken()
{
    // The credentials themselves never reach the log.
    auto shown = [](const QString& v) { return v.isEmpty() ? QString() : QStringLiteral("*"); };
    if (m_UseMyOwnYahooAPIToken) {
        const auto preference = [](const char* name) {
            return GetRegistryValue(HKEY_CURRENT_USER, g_sPreferenceKey, QString::fromLatin1(name), REG_SZ, QString())
                .toString();
        };
        g_sYahooAPIToken = preference("YTK");
        g_sYahooMasterUserName = preference("YMID");
        g_sYahooMasterPassword = preference("YMPd");
        if (g_sYahooAPIToken.isEmpty() || g_sYahooMasterUserName.isEmpty() || g_sYahooMasterPassword.isEmpty())
            ErrorLog::WriteErrorLog(
                QStringLiteral("clsPreference_GetYahooToken: UseMyOwnYahooAPIToken is true but YahooToken, "
                               "MasterUserName or MasterPassword is blank: '")
                + shown(g_sYahooAPIToken) + QStringLiteral("'; '") + shown(g_sYahooMasterUserName)
                + QStringLiteral("'; '") + shown(g_sYahooMasterPassword) + QStringLiteral("'"));
    } else {
        g_sYahooAPIToken = m_YahooToken;
        g_sYahooMasterUserName = kMasterUser;
        g_sYahooMasterPassword = kMasterPassword;
        if (g_sYahooAPIToken.isEmpty())
            ErrorLog::WriteErrorLog(
                QStringLiteral("clsPreference_GetYahooToken: UseMyOwnYahooAPIToken is false but YahooToken, "
                               "MasterUserName or MasterPassword is blank "));
    }
    g_sYahooAPIToken.remove(QStringLiteral("\r\n"));
}
