#pragma once

#include <QString>

// Program-wide values set by the start-up sequence.

// Registry key paths, relative to a hive: "Software\Tarnwell\PPC Quillmark v1\..."
extern QString g_sPreferenceKey;
extern QString g_sSchedulerKey;
extern QString g_sSettingKey;
extern QString g_sVersionKey;
extern QString g_sRegisterKey;
extern QString g_sEngineKey;

extern QString g_sWorkingFolder;   // without a trailing separator
extern QString g_sSupportEmail;
extern QString g_sEngineListFile;
extern bool g_bFirstRun;

// The application title: message box titles, the default user agent.
inline QString AppTitle() { return QStringLiteral("PPC Quillmark"); }

// Builds the six key paths in the order Preference, Scheduler, Setting,
// Version, Register, Engine (the start-up sequence does it first).
void BuildKeyPaths();
