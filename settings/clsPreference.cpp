#include "settings/clsPreference.h"

#include "core/Globals.h"
#include "core/modCommon.h"
#include "platform/Locations.h"
#include "settings/RegistryAccess.h"
#include "settings/clsRegister.h"
#include "core/modBase64Encode.h"
#include "core/RegistryAPI.h"
#include "core/Version.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"

#include <QLocale>

#include <cmath>

using settingsreg::Hive;

namespace {

enum class Conv {
    Text,          // kept as stored
    Number,        // leading decimal number, rounded to a 16-bit integer
    NumberText,    // a number held as its decimal text
    Hour,          // 12 unless 0 <= value < 23
    Minute,        // 0 unless 0 <= value < 60
    Date,          // a date text, else yesterday
    TodayIfEmpty,  // empty becomes today's date, written back
    Connections,   // below 1 becomes 5, written back
    ProgramFolderIfEmpty,
    HttpLogin,     // computed, never stored
};

// Rounds half to even into a 16-bit integer; false when it does not fit.
bool toInt16(double v, qint16& out)
{
    const double r = std::nearbyint(v);
    if (!(r >= -32768.0 && r <= 32767.0))
        return false;
    out = qint16(r);
    return true;
}

QString programFolder()
{
    return platform::Locations::programDir();
}

} // namespace

struct clsPreference::Setting {
    const char* label;     // progress label of the load step
    const char* name;      // registry value name
    Hive hive;
    const char* defaultValue;
    Conv conv;
    QString clsPreference::*text = nullptr;
    qint16 clsPreference::*number = nullptr;
    QDateTime clsPreference::*date = nullptr;
};

namespace {

using S = clsPreference::Setting;
constexpr Hive CU = Hive::CurrentUser;
constexpr Hive LM = Hive::LocalMachine;

} // namespace

// Rows in load order; SaveSettings writes them in its own order (below).
const clsPreference::Setting* clsPreference::settingsTable(int& count)
{
    static const S rows[] = {
        {"Log point 1", "AccessType", CU, "1", Conv::Number, nullptr, &clsPreference::m_AccessType},
        {"Log point 1", "Proxy", CU, "", Conv::Text, &clsPreference::m_Proxy},
        {"Log point 1", "Port", CU, "8080", Conv::Text, &clsPreference::m_Port},
        {"Log point 2", "TimeOut", CU, "60", Conv::Text, &clsPreference::m_TimeOut},
        {"Log point 2", "SMTPServer", CU, "", Conv::Text, &clsPreference::m_SMTPServer},
        {"Log point 2", "SMTPPort", CU, "25", Conv::Text, &clsPreference::m_SMTPPort},
        {"Log point 2", "SMTPAuthentication", CU, "0", Conv::Number, nullptr, &clsPreference::m_SMTPAuthentication},
        {"Log point 2", "SMTPUsername", CU, "", Conv::Text, &clsPreference::m_SMTPUsername},
        {"Log point 2", "SMTPPassword", CU, "", Conv::Text, &clsPreference::m_SMTPPassword},
        {"Log point 31", "CompetitorLookUp", CU, "0", Conv::Number, nullptr, &clsPreference::m_CompetitorLookUp},
        {"Log point 32", "ConfirmConnection", CU, "1", Conv::Text, &clsPreference::m_ConfirmConnection},
        {"Log point 33", "MaxListing", CU, "100", Conv::Text, &clsPreference::m_MaxListing},
        {"Log point 4", "Authentication", CU, "0", Conv::Number, nullptr, &clsPreference::m_Authentication},
        {"Log point 5", "Hour", CU, "", Conv::Hour, nullptr, &clsPreference::m_Hour},
        {"Log point 6", "Minute", CU, "", Conv::Minute, nullptr, &clsPreference::m_Minute},
        {"Log point 7", "LastReportDate", CU, "", Conv::Date, nullptr, nullptr, &clsPreference::m_LastReportDate},
        {"Log point 8", "Auth_Username", CU, "", Conv::Text, &clsPreference::m_HTTPUserName},
        {"Log point 8", "Auth_Password", CU, "", Conv::Text, &clsPreference::m_HTTPPassword},
        {"Log point 8", nullptr, CU, "", Conv::HttpLogin, &clsPreference::m_HttpLogin},
        {"Log point 9", "ReporterName", CU, "", Conv::Text, &clsPreference::m_ReporterName},
        {"Log point 9", "CompanyName", CU, "", Conv::Text, &clsPreference::m_CompanyName},
        {"Log point 9", "Email", CU, "", Conv::Text, &clsPreference::m_Email},
        {"Log point 9", "WebSite", CU, "", Conv::Text, &clsPreference::m_WebSite},
        {"Log point 9", "LogoURL", CU, "", Conv::Text, &clsPreference::m_LogoURL},
        {"Log point 9", "LogoPosition", CU, "Top", Conv::Text, &clsPreference::m_LogoPosition},
        {"Log point 9", "SSL", CU, "", Conv::Number, nullptr, &clsPreference::m_SSL},
        {"Log point 10", "CTK", LM, "", Conv::Text, &clsPreference::m_Token},
        {"Log point 10", "Apptoken", CU, "", Conv::Text, &clsPreference::m_AppToken},
        {"Log point 10", "UserAgent", CU, "PPC Quillmark", Conv::Text, &clsPreference::m_UserAgent},
        {"Log point 10", "UpdateEngineData", CU, "0", Conv::Number, nullptr, &clsPreference::m_UpdateEngineData},
        {"Log point 11", "HideIcon", CU, "0", Conv::Number, nullptr, &clsPreference::m_HideIcon},
        {"Log point 11", "LastUpdate", CU, "", Conv::TodayIfEmpty, &clsPreference::m_LastUpdate},
        {"Log point 12", "TimeDelay", CU, "3", Conv::Text, &clsPreference::m_TimeDelay},
        {"Log point 12", "Connections", CU, "5", Conv::Connections, nullptr, &clsPreference::m_Connections},
        {"Log point 13", "WorkingFolder", LM, "", Conv::ProgramFolderIfEmpty, &clsPreference::m_WorkingFolder},
        {"Log point 14", "LGIY", CU, "", Conv::NumberText, &clsPreference::m_LoginType},
        {"Log point 14", "YMID", CU, "", Conv::Text, &clsPreference::m_UserName},
        {"Log point 14", "YMPd", CU, "", Conv::Text, &clsPreference::m_Password},
        {"Log point 14", "CUID", CU, "", Conv::Text, &clsPreference::m_ClientEmailID},
        {"Log point 14", "AdwordsEditor", CU, "C:\\Program Files\\Google\\Google AdWords Editor\\adwords_editor.exe",
         Conv::Text, &clsPreference::m_GoogleAdwordsEditor},
    };
    count = int(sizeof(rows) / sizeof(rows[0]));
    return rows;
}

static const char* const kSaveOrder[] = {
    "AccessType", "Proxy", "Port", "TimeOut", "ConfirmConnection", "SMTPServer", "SMTPPort",
    "Auth_Username", "Auth_Password", "Authentication", "Hour", "Minute", "LastReportDate",
    "SMTPAuthentication", "SMTPUsername", "SMTPPassword", "CompetitorLookUp", "MaxListing",
    "ReporterName", "CompanyName", "Email", "WebSite", "LogoURL", "LogoPosition",
    "UpdateEngineData", "HideIcon", "LastUpdate", "CTK", "Apptoken", "UserAgent", "WorkingFolder",
    "TimeDelay", "Connections", "SSL", "LGIY", "YMID", "YMPd", "CUID", "AdwordsEditor",
};

clsPreference::clsPreference()
    : m_LastReportDate(QDate(1899, 12, 30), QTime(0, 0))
{
}

qint16 clsPreference::LoginType() const
{
    qint16 v = 0;
    toInt16(modCommon::Val(m_LoginType), v);
    return v;
}

QString clsPreference::FormatReportDate(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral("MMM dd yyyy hh:mm AP"));
}

QDateTime clsPreference::ParseDateText(const QString& text)
{
    const QString t = text.simplified();
    if (t.isEmpty())
        return QDateTime();
    const QLocale c = QLocale::c();
    static const char* const formats[] = {
        "MMM dd yyyy hh:mm AP", "MMM d yyyy h:mm AP", "MMM dd yyyy", "MMM d yyyy",
        "yyyy-MM-dd hh:mm:ss", "yyyy-MM-ddThh:mm:ss", "yyyy-MM-dd hh:mm", "yyyy-MM-dd",
        "M/d/yyyy h:mm:ss AP", "M/d/yyyy h:mm AP", "M/d/yyyy",
    };
    for (const char* f : formats) {
        const QString format = QString::fromLatin1(f);
        QDateTime dt = c.toDateTime(t, format);
        if (dt.isValid())
            return dt;
        const QDate d = c.toDate(t, format);
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    const QLocale sys = QLocale::system();
    for (QLocale::FormatType f : {QLocale::ShortFormat, QLocale::LongFormat}) {
        QDateTime dt = sys.toDateTime(t, f);
        if (dt.isValid())
            return dt;
        const QDate d = sys.toDate(t, f);
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    return QDateTime();
}

void clsPreference::GetSettings()
{
    QString label;
    auto logError = [&label](const QString& description) {
        modCommon::WriteErrorLog(QStringLiteral("clsPreference_Getsetting: ") + description
                                 + QStringLiteral(" - ") + label);
    };

    // Version record.
    const QString version = Version::text();
    const QString stored = settingsreg::get(Hive::LocalMachine, g_sVersionKey, QStringLiteral("Version"), QString());
    if (stored != version)
        settingsreg::set(Hive::LocalMachine, g_sVersionKey, QStringLiteral("Version"), version);

    int count = 0;
    const Setting* rows = settingsTable(count);
    for (int i = 0; i < count; ++i) {
        const Setting& row = rows[i];
        label = QString::fromLatin1(row.label);
        if (row.conv == Conv::HttpLogin) {
            m_HttpLogin = (!m_HTTPUserName.isEmpty() && !m_HTTPPassword.isEmpty())
                ? modBase64Encode::Base64Encode(m_HTTPUserName + QLatin1Char(':') + m_HTTPPassword)
                : QString();
            continue;
        }
        const QString name = QString::fromLatin1(row.name);
        const QString def = QString::fromLatin1(row.defaultValue);
        const QString text = settingsreg::get(row.hive, g_sPreferenceKey, name, def);
        // Each value converts on its own: a bad one is logged and takes its default.
        auto number = [&](qint16& out) {
            if (toInt16(modCommon::Val(text), out))
                return;
            logError(QStringLiteral("Overflow"));
            out = 0;
            toInt16(modCommon::Val(def), out);
        };
        double v = 0;
        switch (row.conv) {
        case Conv::Text:
            this->*row.text = text;
            break;
        case Conv::Number:
            number(this->*row.number);
            break;
        case Conv::NumberText: {
            qint16 n = 0;
            number(n);
            this->*row.text = QString::number(n);
            break;
        }
        case Conv::Hour:
            m_Hour = 12;
            if (modCommon::IsNumeric(text, v) && v >= 0 && v < 23)
                toInt16(v, m_Hour);
            break;
        case Conv::Minute:
            m_Minute = 0;
            if (modCommon::IsNumeric(text, v) && v >= 0 && v < 60)
                toInt16(v, m_Minute);
            break;
        case Conv::Date: {
            const QDateTime dt = ParseDateText(text);
            m_LastReportDate = dt.isValid() ? dt : QDateTime(QDate::currentDate().addDays(-1), QTime(0, 0));
            break;
        }
        case Conv::TodayIfEmpty:
            this->*row.text = text;
            if (text.isEmpty()) {
                this->*row.text = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
                settingsreg::set(Hive::CurrentUser, g_sPreferenceKey, name, this->*row.text);
            }
            break;
        case Conv::Connections:
            number(m_Connections);
            if (m_Connections < 1) {
                m_Connections = 5;
                settingsreg::set(Hive::CurrentUser, g_sPreferenceKey, name, QStringLiteral("5"));
            }
            break;
        case Conv::ProgramFolderIfEmpty:
            this->*row.text = text.isEmpty() ? programFolder() : text;
            break;
        case Conv::HttpLogin:
            break;
        }
    }
    label = QStringLiteral("Log point 15");
}

void clsPreference::SaveSettings()
{
    modCommon::WriteErrorLog(QStringLiteral("clsPreference_SaveSetting  start ...") + modCommon::NowText());
    settingsreg::create(Hive::CurrentUser, g_sPreferenceKey);
    settingsreg::create(Hive::LocalMachine, g_sPreferenceKey);

    int count = 0;
    const Setting* rows = settingsTable(count);
    for (const char* name : kSaveOrder) {
        for (int i = 0; i < count; ++i) {
            const Setting& row = rows[i];
            if (!row.name || qstrcmp(row.name, name) != 0)
                continue;
            QString value;
            if (row.text)
                value = this->*row.text;
            else if (row.number)
                value = QString::number(this->*row.number);
            else if (row.date)
                value = FormatReportDate(this->*row.date);
            settingsreg::set(row.hive, g_sPreferenceKey, QString::fromLatin1(name), value);
            // A user hive that refused the value stops the save and says so;
            // the machine hive's refusals stay silent.
            if (row.hive == Hive::CurrentUser
                && RegistryAPI::GetRegistryValue(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey,
                                                 QString::fromLatin1(name), RegistryAPI::REG_SZ, QVariant())
                       != QVariant(value)) {
                const QString description = QStringLiteral("Cannot save the registry file ")
                    + platform::Registry::hiveFile(platform::Registry::Hive::CurrentUser);
                modCommon::WriteErrorLog(QStringLiteral("clsPreference_SaveSettings_Error: ") + description);
                platform::MsgBox(description, platform::MsgButtons::OK, platform::MsgIcon::Information,
                                 QStringLiteral("SaveSetting Preference"));
                return;
            }
            break;
        }
    }
    modCommon::WriteErrorLog(QStringLiteral("clsPreference_SaveSetting end") + modCommon::NowText());
}

QString clsPreference::GetWorkingPath()
{
    if (m_WorkingFolder.isEmpty())
        m_WorkingFolder = settingsreg::get(Hive::LocalMachine, g_sPreferenceKey, QStringLiteral("WorkingFolder"), QString());
    if (m_WorkingFolder.isEmpty())
        m_WorkingFolder = programFolder();
    return m_WorkingFolder;
}

QString clsPreference::GetGoogleDeveloperToken()
{
    modCommon::WriteErrorLog(QStringLiteral("clsPreference_GetGDT at ") + modCommon::NowText());
    // The token itself, even encoded, stays out of the log.
    modCommon::WriteErrorLog(QStringLiteral("clsPreference_GetAGDT: ") + modCommon::NowText());
    return BuiltInDeveloperToken;
}

void clsPreference::GetTokenSetting()
{
    m_AuthToken = settingsreg::get(Hive::LocalMachine, g_sPreferenceKey, QStringLiteral("AUTK"), QString());
    m_AuthTokenDate = settingsreg::get(Hive::LocalMachine, g_sPreferenceKey, QStringLiteral("AUTKD"), QString());
}

void clsPreference::SaveTokenSetting()
{
    settingsreg::set(Hive::LocalMachine, g_sPreferenceKey, QStringLiteral("AUTK"), m_AuthToken);
    settingsreg::set(Hive::LocalMachine, g_sPreferenceKey, QStringLiteral("AUTKD"), m_AuthTokenDate);
}

bool clsPreference::IsSchedulerEnable()
{
    const QString text = settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("SchedlerEnable"),
                                          QStringLiteral("True")).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    double v = 0;
    return modCommon::IsNumeric(text, v) && v != 0;
}

QDateTime clsPreference::GetLastReportDate()
{
    const QDateTime dt = ParseDateText(
        settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("LastReportDate"), QString()));
    m_LastReportDate = dt.isValid() ? dt : QDateTime(QDate::currentDate().addDays(-1), QTime(0, 0));
    return m_LastReportDate;
}

void clsPreference::SaveLastReportDate()
{
    settingsreg::set(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("LastReportDate"),
                     FormatReportDate(m_LastReportDate));
}

QTime clsPreference::GetReportStartTime()
{
    double v = 0;
    m_Hour = 1;
    if (modCommon::IsNumeric(settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("Hour"), QStringLiteral("1")), v)
        && v >= 0 && v < 23)
        toInt16(v, m_Hour);
    m_Minute = 0;
    if (modCommon::IsNumeric(settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("Minute"), QStringLiteral("0")), v)
        && v >= 0 && v < 60)
        toInt16(v, m_Minute);
    return QTime(m_Hour, m_Minute, 0);
}

QString clsPreference::GetGoogleAppToken()
{
    m_AppToken = settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("Apptoken"), QString());
    return QStringLiteral("Rb8Nq2Xv5Jw9Lk3Ht6Zs4p");
}

QString clsPreference::GetLastAccountRptSecheduleDate()
{
    return settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("ReportSentDate"), QString());
}

void clsPreference::SetLastAccountRptSecheduleDate(const QString& value)
{
    settingsreg::set(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("ReportSentDate"), value);
}

qint16 clsPreference::GetAdScheduleHelpTip()
{
    qint16 v = 0;
    toInt16(modCommon::Val(settingsreg::get(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("AdScheduleHelpTip"),
                                           QStringLiteral("0"))),
            v);
    return v;
}

void clsPreference::SetAdScheduleHelpTip(qint16 value)
{
    settingsreg::set(Hive::CurrentUser, g_sPreferenceKey, QStringLiteral("AdScheduleHelpTip"), QString::number(value));
}
