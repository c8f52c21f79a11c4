#include "core/Globals.h"

#include "core/Version.h"

QString g_sPreferenceKey;
QString g_sSchedulerKey;
QString g_sSettingKey;
QString g_sVersionKey;
QString g_sRegisterKey;
QString g_sEngineKey;

QString g_sWorkingFolder;
QString g_sSupportEmail;
QString g_sEngineListFile;
bool g_bFirstRun = false;

QString VersionCaption(int major, int minor, int revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.')
        + QStringLiteral("%1").arg(revision, 2, 10, QLatin1Char('0'));
}

QString VersionCaption()
{
    return VersionCaption(Version::Major, Version::Minor, Version::Revision);
}

void BuildKeyPaths()
{
    const QString root = QStringLiteral("Software\\Tarnwell\\") + QStringLiteral("PPC Quillmark v1");
    g_sPreferenceKey = root + QStringLiteral("\\Preference");
    g_sSchedulerKey = root + QStringLiteral("\\Scheduler");
    g_sSettingKey = root + QStringLiteral("\\Setting");
    g_sVersionKey = root + QStringLiteral("\\Version");
    g_sRegisterKey = root + QStringLiteral("\\Register");
    g_sEngineKey = root + QStringLiteral("\\Engine");
}
