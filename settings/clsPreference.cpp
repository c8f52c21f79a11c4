#include "settings/clsPreference.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "core/Version.h"
#include "core/modBase64Encode.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "settings/AdwordsEditorPath.h"
#include "settings/SettingsTable.h"
#include "settings/clsRegister.h"

#include <QLocale>

#include <cmath>
#include <optional>
#include <variant>

using namespace RegistryAPI;

namespace {

// How a stored text becomes the value of its field.
enum class Load {
    AsIs,                 // the text as stored
    Number,               // the leading decimal number, rounded to a 16-bit integer (a text field
                          // holds its decimal text); one that does not fit takes the default's
    Hour,                 // 12 unless 0 <= value < 23
    Minute,               // 0 unless 0 <= value < 60
    ReportDate,           // a date text, else yesterday
    TodayIfEmpty,         // empty becomes today's date, written back
    FiveIfBelowOne,       // a number below 1 becomes 5, written back
    ProgramFolderIfEmpty, // empty becomes the program folder
};

// The field behind a property; its type says how SaveSettings writes it.
using Field = std::variant<QString clsPreference::*, qint16 clsPreference::*, QDateTime clsPreference::*>;

} // namespace

struct clsPreference::Setting {
    const char* label;        // progress label of the load step, for its error line
    const char* name;         // registry value name
    Root hive;
    const char* defaultValue; // when the value is missing
    Load load;
    int savePosition;         // place among SaveSettings' writes
    Field field;
};

namespace {

constexpr Root CU = HKEY_CURRENT_USER;
constexpr Root LM = HKEY_LOCAL_MACHINE;

// Rounds half to even into a 16-bit integer; nothing when it does not fit.
std::optional<qint16> toInt16(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= -32768.0 && r <= 32767.0))
        return std::nullopt;
    return qint16(r);
}

// An hour (limit 23) or a minute (limit 60): the stored number when
// 0 <= value < limit, else the fallback.
qint16 clockValue(const QString& text, double limit, qint16 fallback)
{
    double v = 0;
    if (Conversions::IsNumeric(text, v) && v >= 0 && v < limit)
        return toInt16(v).value_or(fallback);
    return fallback;
}

// The stored report date, or yesterday (without a time) when the text is no date.
QDateTime reportDate(const QString& text)
{
    const QDateTime dt = clsPreference::ParseDateText(text);
    return dt.isValid() ? dt : QDateTime(QDate::currentDate().addDays(-1), QTime(0, 0));
}

QString programFolder()
{
    return platform::Locations::programDir();
}

QString preference(Root hive, const QString& name, const QString& defaultValue = QString())
{
    return GetRegistryValue(hive, g_sPreferenceKey, name, REG_SZ, defaultValue).toString();
}

void setPreference(Root hive, const QString& name, const QString& value)
{
    SetRegistryValue(hive, g_sPreferenceKey, name, REG_SZ, value);
}

// As setPreference, also where the Preference key does not exist yet.
void storePreference(Root hive, const QString& name, const QString& value)
{
    CreateRegistryKey(hive, g_sPreferenceKey);
    setPreference(hive, name, value);
}

} // namespace

// Rows in load order; savePosition gives SaveSettings' order.
std::span<const clsPreference::Setting> clsPreference::settingsTable()
{
    using P = clsPreference;
    static constexpr Setting rows[] = {
        {"Log point 1", "AccessType", CU, "1", Load::Number, 0, &P::m_AccessType},
        {"Log point 1", "Proxy", CU, "", Load::AsIs, 1, &P::m_Proxy},
        {"Log point 1", "Port", CU, "8080", Load::AsIs, 2, &P::m_Port},
        {"Log point 2", "TimeOut", CU, "60", Load::AsIs, 3, &P::m_TimeOut},
        {"Log point 2", "SMTPServer", CU, "", Load::AsIs, 5, &P::m_SMTPServer},
        {"Log point 2", "SMTPPort", CU, "25", Load::AsIs, 6, &P::m_SMTPPort},
        {"Log point 2", "SMTPAuthentication", CU, "0", Load::Number, 13, &P::m_SMTPAuthentication},
        {"Log point 2", "SMTPUsername", CU, "", Load::AsIs, 14, &P::m_SMTPUsername},
        {"Log point 2", "SMTPPassword", CU, "", Load::AsIs, 15, &P::m_SMTPPassword},
        {"Log point 31", "CompetitorLookUp", CU, "0", Load::Number, 16, &P::m_CompetitorLookUp},
        {"Log point 32", "ConfirmConnection", CU, "1", Load::AsIs, 4, &P::m_ConfirmConnection},
        {"Log point 33", "MaxListing", CU, "100", Load::AsIs, 17, &P::m_MaxListing},
        {"Log point 4", "Authentication", CU, "0", Load::Number, 9, &P::m_Authentication},
        {"Log point 5", "Hour", CU, "", Load::Hour, 10, &P::m_Hour},
        {"Log point 6", "Minute", CU, "", Load::Minute, 11, &P::m_Minute},
        {"Log point 7", "LastReportDate", CU, "", Load::ReportDate, 12, &P::m_LastReportDate},
        {"Log point 8", "Auth_Username", CU, "", Load::AsIs, 7, &P::m_HTTPUserName},
        {"Log point 8", "Auth_Password", CU, "", Load::AsIs, 8, &P::m_HTTPPassword},
        {"Log point 9", "ReporterName", CU, "", Load::AsIs, 18, &P::m_ReporterName},
        {"Log point 9", "CompanyName", CU, "", Load::AsIs, 19, &P::m_CompanyName},
        {"Log point 9", "Email", CU, "", Load::AsIs, 20, &P::m_Email},
        {"Log point 9", "WebSite", CU, "", Load::AsIs, 21, &P::m_WebSite},
        {"Log point 9", "LogoURL", CU, "", Load::AsIs, 22, &P::m_LogoURL},
        {"Log point 9", "LogoPosition", CU, "Top", Load::AsIs, 23, &P::m_LogoPosition},
        {"Log point 9", "SSL", CU, "", Load::Number, 33, &P::m_SSL},
        {"Log point 10", "CTK", LM, "", Load::AsIs, 27, &P::m_Token},
        {"Log point 10", "Apptoken", CU, "", Load::AsIs, 28, &P::m_AppToken},
        {"Log point 10", "UserAgent", CU, "PPC Quillmark", Load::AsIs, 29, &P::m_UserAgent},
        {"Log point 10", "UpdateEngineData", CU, "0", Load::Number, 24, &P::m_UpdateEngineData},
        {"Log point 11", "HideIcon", CU, "0", Load::Number, 25, &P::m_HideIcon},
        {"Log point 11", "LastUpdate", CU, "", Load::TodayIfEmpty, 26, &P::m_LastUpdate},
        {"Log point 12", "TimeDelay", CU, "3", Load::AsIs, 31, &P::m_TimeDelay},
        {"Log point 12", "Connections", CU, "5", Load::FiveIfBelowOne, 32, &P::m_Connections},
        {"Log point 13", "WorkingFolder", LM, "", Load::ProgramFolderIfEmpty, 30, &P::m_WorkingFolder},
        {"Log point 14", "LGIY", CU, "", Load::Number, 34, &P::m_LoginType},
        {"Log point 14", "YMID", CU, "", Load::AsIs, 35, &P::m_UserName},
        {"Log point 14", "YMPd", CU, "", Load::AsIs, 36, &P::m_Password},
        {"Log point 14", "CUID", CU, "", Load::AsIs, 37, &P::m_ClientEmailID},
        {"Log point 14", "AdwordsEditor", CU, kDefaultAdwordsEditorPath, Load::AsIs, 38, &P::m_GoogleAdwordsEditor},
    };
    static_assert(SettingsTable::hasEverySavePosition(rows),
                  "each row needs a save position of its own, from 0 to the number of rows - 1");
    return rows;
}

clsPreference::clsPreference()
    : m_LastReportDate(QDate(1899, 12, 30), QTime(0, 0))
{
}

qint16 clsPreference::LoginType() const
{
    return toInt16(Conversions::Val(m_LoginType)).value_or(0);
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

void clsPreference::setField(const Setting& row, const QString& text)
{
    this->*std::get<QString clsPreference::*>(row.field) = text;
}

void clsPreference::setField(const Setting& row, qint16 number)
{
    if (const auto* text = std::get_if<QString clsPreference::*>(&row.field))
        this->**text = QString::number(number);
    else
        this->*std::get<qint16 clsPreference::*>(row.field) = number;
}

void clsPreference::setField(const Setting& row, const QDateTime& date)
{
    this->*std::get<QDateTime clsPreference::*>(row.field) = date;
}

QString clsPreference::fieldText(const Setting& row) const
{
    struct {
        const clsPreference& store;
        QString operator()(QString clsPreference::*f) const { return store.*f; }
        QString operator()(qint16 clsPreference::*f) const { return QString::number(store.*f); }
        QString operator()(QDateTime clsPreference::*f) const { return FormatReportDate(store.*f); }
    } text{*this};
    return std::visit(text, row.field);
}

void clsPreference::GetSettings()
{
    QString label;
    auto logError = [&label](const QString& description) {
        ErrorLog::WriteErrorLog(QStringLiteral("clsPreference_Getsetting: ") + description
                                + QStringLiteral(" - ") + label);
    };

    // Version record.
    const QString version = Version::text();
    const auto versionValue = QStringLiteral("Version");
    if (GetRegistryValue(LM, g_sVersionKey, versionValue, REG_SZ, QString()).toString() != version)
        SetRegistryValue(LM, g_sVersionKey, versionValue, REG_SZ, version);

    for (const Setting& row : settingsTable()) {
        label = QString::fromLatin1(row.label);
        const QString name = QString::fromLatin1(row.name);
        const QString def = QString::fromLatin1(row.defaultValue);
        const QString text = preference(row.hive, name, def);
        // Each value converts on its own: a bad one is logged and takes its default.
        const auto number = [&] {
            if (const std::optional<qint16> n = toInt16(Conversions::Val(text)))
                return *n;
            logError(QStringLiteral("Overflow"));
            return toInt16(Conversions::Val(def)).value_or(0);
        };
        switch (row.load) {
        case Load::AsIs:
            setField(row, text);
            break;
        case Load::Number:
            setField(row, number());
            break;
        case Load::Hour:
            setField(row, clockValue(text, 23, 12));
            break;
        case Load::Minute:
            setField(row, clockValue(text, 60, 0));
            break;
        case Load::ReportDate:
            setField(row, reportDate(text));
            break;
        case Load::TodayIfEmpty: {
            const QString value =
                text.isEmpty() ? QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat) : text;
            setField(row, value);
            if (text.isEmpty())
                setPreference(row.hive, name, value);
            break;
        }
        case Load::FiveIfBelowOne: {
            const qint16 n = number();
            setField(row, n < 1 ? qint16(5) : n);
            if (n < 1)
                setPreference(row.hive, name, QStringLiteral("5"));
            break;
        }
        case Load::ProgramFolderIfEmpty:
            setField(row, text.isEmpty() ? programFolder() : text);
            break;
        }
    }
    m_HttpLogin = (!m_HTTPUserName.isEmpty() && !m_HTTPPassword.isEmpty())
        ? modBase64Encode::Base64Encode(m_HTTPUserName + QLatin1Char(':') + m_HTTPPassword)
        : QString();
}

void clsPreference::SaveSettings()
{
    ErrorLog::WriteErrorLog(QStringLiteral("clsPreference_SaveSetting  start ...") + ErrorLog::NowText());
    // All values reach each hive in one write: a save cut short leaves the
    // old settings or the new ones, never a mix (and is one write, not one
    // per value).
    RegistryTransaction transaction;
    CreateRegistryKey(CU, g_sPreferenceKey);
    CreateRegistryKey(LM, g_sPreferenceKey);

    for (const Setting* row : SettingsTable::inSaveOrder(settingsTable()))
        setPreference(row->hive, QString::fromLatin1(row->name), fieldText(*row));
    transaction.Commit();

    // A user hive that refused the values says so (and the machine hive then
    // keeps its old ones too); the machine hive's own refusals stay silent.
    if (!transaction.Saved(CU)) {
        const QString description = QStringLiteral("Cannot save the registry file ") + platform::Registry::hiveFile(CU);
        ErrorLog::WriteErrorLog(QStringLiteral("clsPreference_SaveSettings_Error: ") + description);
        platform::MsgBox(description, platform::MsgButtons::OK, platform::MsgIcon::Information,
                         QStringLiteral("SaveSetting Preference"));
        return;
    }
    ErrorLog::WriteErrorLog(QStringLiteral("clsPreference_SaveSetting end") + ErrorLog::NowText());
}

QString clsPreference::GetWorkingPath()
{
    if (m_WorkingFolder.isEmpty())
        m_WorkingFolder = preference(LM, QStringLiteral("WorkingFolder"));
    if (m_WorkingFolder.isEmpty())
        m_WorkingFolder = programFolder();
    return m_WorkingFolder;
}

QString clsPreference::GetGoogleDeveloperToken()
{
    ErrorLog::WriteErrorLog(QStringLiteral("clsPreference_GetGDT at ") + ErrorLog::NowText());
    // The token itself, even encoded, stays out of the log.
    ErrorLog::WriteErrorLog(QStringLiteral("clsPreference_GetAGDT: ") + ErrorLog::NowText());
    return BuiltInDeveloperToken;
}

void clsPreference::GetTokenSetting()
{
    m_AuthToken = preference(LM, QStringLiteral("AUTK"));
    m_AuthTokenDate = preference(LM, QStringLiteral("AUTKD"));
}

void clsPreference::SaveTokenSetting()
{
    setPreference(LM, QStringLiteral("AUTK"), m_AuthToken);
    setPreference(LM, QStringLiteral("AUTKD"), m_AuthTokenDate);
}

bool clsPreference::IsSchedulerEnable()
{
    const QString text = preference(CU, QStringLiteral("SchedlerEnable"), QStringLiteral("True")).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    double v = 0;
    return Conversions::IsNumeric(text, v) && v != 0;
}

QDateTime clsPreference::GetLastReportDate()
{
    m_LastReportDate = reportDate(preference(CU, QStringLiteral("LastReportDate")));
    return m_LastReportDate;
}

void clsPreference::SaveLastReportDate()
{
    setPreference(CU, QStringLiteral("LastReportDate"), FormatReportDate(m_LastReportDate));
}

QTime clsPreference::GetReportStartTime()
{
    // The same rules as the load, but an hour that is not valid here is 1, not 12.
    m_Hour = clockValue(preference(CU, QStringLiteral("Hour"), QStringLiteral("1")), 23, 1);
    m_Minute = clockValue(preference(CU, QStringLiteral("Minute"), QStringLiteral("0")), 60, 0);
    return QTime(m_Hour, m_Minute, 0);
}

QString clsPreference::GetGoogleAppToken()
{
    m_AppToken = preference(CU, QStringLiteral("Apptoken"));
    return QStringLiteral("Rb8Nq2Xv5Jw9Lk3Ht6Zs4p");
}

QString clsPreference::GetLastAccountRptSecheduleDate()
{
    return preference(CU, QStringLiteral("ReportSentDate"));
}

void clsPreference::SetLastAccountRptSecheduleDate(const QString& value)
{
    setPreference(CU, QStringLiteral("ReportSentDate"), value);
}

qint16 clsPreference::GetAdScheduleHelpTip()
{
    return toInt16(Conversions::Val(preference(CU, QStringLiteral("AdScheduleHelpTip"), QStringLiteral("0")))).value_or(0);
}

void clsPreference::SetAdScheduleHelpTip(qint16 value)
{
    setPreference(CU, QStringLiteral("AdScheduleHelpTip"), QString::number(value));
}

QString clsPreference::GetLastSelectAcc()
{
    return preference(CU, QStringLiteral("LastSelectAcc"));
}

void clsPreference::SetLastSelectAcc(const QString& nodeKey)
{
    storePreference(CU, QStringLiteral("LastSelectAcc"), nodeKey);
}

void clsPreference::SetMainFormPos(const QString& twips)
{
    storePreference(CU, QStringLiteral("MainFormPos"), twips);
}
