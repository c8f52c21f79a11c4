#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The program's start-up sequence, run by main() before the event loop.
namespace modStartUp {

// Creates the main window; Main shows it. The caller keeps ownership.
using MainWindowFactory = std::function<QWidget*()>;

// The entry procedure: refuses a second instance, builds the key paths,
// settles the working folder, rotates Error.log and writes its start header
// (above anything these steps logged),
// trims sendmail.log, loads g_oRegister, records the first run, migrates the
// old engine folder names, then creates and shows the main window.
// Returns false when the program must end at once (another instance runs).
// With QUILLMARK_QUIT_AFTER_START=1 the main window is closed as soon as the
// event loop runs (used by the start-up tests).
bool Main(const MainWindowFactory& createMainWindow);

// The working folder without a trailing separator, created (one level) when
// missing. When it cannot be created (a missing parent, a file in its place)
// "modCommon_GetWorkingFolder_Error: <path>: <reason>" is logged and the
// program folder is used.
QString GetWorkingFolder();

// Renames the engine names "Yahoo" and "Yahoo(UK)" to "Yahoo!" and
// "Yahoo!(UK)" in Account.vxp and in the folder names under the working
// folder. Account.vxp is written only when that changes it or when it is
// missing (then it is created).
void ChangeEngineFolder();

// Main's log trimming, before the run writes its first record: copies an
// Error.log larger than 500000 bytes into "backup" as "Error.log.yyyyMMdd"
// (replacing a copy of the same day) and removes it (kept when the copy
// fails), and deletes a sendmail.log larger than 500000 bytes.
void RotateLogs();

// True when this run recorded the installation: on a machine hive without a
// "Version" value under g_sVersionKey, writes "Version" (the version text) and
// "Location" (the program folder). A machine hive that refuses the write logs
// "modStartUp _FirstRun error: " and gives false.
bool FirstRun();

// The start header written to Error.log, line by line: an empty line, the
// title and version, the time, 60 dashes, the program and the working folder.
QStringList StartHeader();

} // namespace modStartUp
