#include "core/Globals.h"

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
