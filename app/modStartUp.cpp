#include "app/modStartUp.h"

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "core/Version.h"
#include "core/clsFileController.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/SingleInstance.h"
#include "settings/clsPreference.h"
#include "settings/clsRegister.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <system_error>

namespace {

constexpr qint64 kLogLimit = 500000;

QString programFolder()
{
    return platform::Locations::programDir();
}

// Copies from to to, replacing an existing to; false when the copy failed.
bool replaceCopy(const QString& from, const QString& to)
{
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    if (!QFile::copy(from, temp))
        return false;
    if (QFile::exists(to) && !QFile::remove(to)) {
        QFile::remove(temp);
        return false;
    }
    return QFile::rename(temp, to);
}

} // namespace

namespace modStartUp {

QStringList StartHeader()
{
    return {QString(),
            AppTitle() + QStringLiteral(" - ") + QStringLiteral("Version: ") + Version::caption(),
            QStringLiteral(" Time: ") + ErrorLog::NowText(),
            QString(60, QLatin1Char('-')),
            QStringLiteral("AppPath: ") + programFolder(),
            QStringLiteral("WorkingFolder: ") + g_sWorkingFolder};
}

void RotateLogs()
{
    const QString folder = programFolder();
    // The log is copied and removed before this run writes to it.
    ErrorLog::CloseErrorLog();
    const QString log = platform::Locations::join(folder, QStringLiteral("Error.log"));
    const QFileInfo logInfo(log);
    if (logInfo.isFile()) {
        const QString backup = platform::Locations::join(folder, QStringLiteral("backup"));
        if (!QFileInfo::exists(backup))
            QDir(folder).mkdir(QStringLiteral("backup"));
        if (logInfo.size() > kLogLimit) {
            const QString target = platform::Locations::join(
                backup, QStringLiteral("Error.log") + QLatin1Char('.') + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
            // A log that could not be copied is kept.
            if (replaceCopy(log, target))
                QFile::remove(log);
        }
    }
    const QString mailLog = platform::Locations::join(folder, QStringLiteral("sendmail.log"));
    const QFileInfo mailInfo(mailLog);
    if (mailInfo.isFile() && mailInfo.size() > kLogLimit)
        QFile::remove(mailLog);
}

QString GetWorkingFolder()
{
    clsPreference preference;
    QString path = preference.GetWorkingPath();
    if (path.endsWith(QLatin1Char('\\')) || (path.endsWith(QLatin1Char('/')) && path.size() > 1))
        path.chop(1);
    if (QFileInfo(path).isDir())
        return path;
    // One level only: a missing parent is an error, as is a file in its place.
    std::error_code code;
    std::filesystem::create_directory(std::filesystem::path(QFile::encodeName(path).toStdString()), code);
    if (code || !QFileInfo(path).isDir()) {
        const QString reason = code ? QString::fromLocal8Bit(code.message()) : QStringLiteral("File exists");
        ErrorLog::WriteErrorLog(QStringLiteral("modCommon_GetWorkingFolder_Error: ") + path + QStringLiteral(": ")
                                + reason);
        // Never work at the filesystem root: the program folder stands in.
        return programFolder();
    }
    return path;
}

void ChangeEngineFolder()
{
    const QString account = platform::Locations::join(g_sWorkingFolder, QStringLiteral("Account.vxp"));
    clsFileController files;
    const QString text = files.openTextFile(account);
    QString migrated = text;
    migrated.replace(QStringLiteral("[Yahoo]"), QStringLiteral("[Yahoo!]"));
    migrated.replace(QStringLiteral("[Yahoo(UK)]"), QStringLiteral("[Yahoo!(UK)]"));
    // Rewriting a file that stays as it is would ask at every start for a
    // disk that may be full or read-only.
    if (migrated != text || !QFileInfo::exists(account)) {
        files.SaveTextFile(account, migrated, false);
        ErrorLog::WriteErrorLog(QStringLiteral("ChangeEngineFolder: save account file\""));
    }

    static const char* const renames[][2] = {
        {"Accounts/Yahoo", "Yahoo!"},
        {"reports/Yahoo", "Yahoo!"},
        {"Accounts/Yahoo(UK)", "Yahoo!(UK)"},
        {"reports/Yahoo(UK)", "Yahoo!(UK)"},
    };
    for (const auto& r : renames) {
        const QString from = platform::Locations::join(g_sWorkingFolder, QString::fromLatin1(r[0]));
        const QFileInfo info(from);
        if (!info.isDir())
            continue;
        const QString to = platform::Locations::join(info.absolutePath(), QString::fromLatin1(r[1]));
        // A folder of the new name is never merged into nor replaced.
        std::error_code code;
        if (!QFileInfo::exists(to))
            std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), code);
        if (QFileInfo::exists(from)) {
            const QString reason = code ? QString::fromLocal8Bit(code.message()) : QStringLiteral("File already exists");
            ErrorLog::WriteErrorLog(QStringLiteral("modStartUp_ChangeEngineFolder_Error: ") + reason);
            return;
        }
    }
}

bool FirstRun()
{
    using namespace RegistryAPI;
    const auto version = [] {
        return GetRegistryValue(HKEY_LOCAL_MACHINE, g_sVersionKey, QStringLiteral("Version"), REG_SZ, QString())
            .toString();
    };
    if (version().compare(QString(), Qt::CaseInsensitive) != 0)
        return false;
    CreateRegistryKey(HKEY_LOCAL_MACHINE, g_sVersionKey);
    SetRegistryValue(HKEY_LOCAL_MACHINE, g_sVersionKey, QStringLiteral("Version"), REG_SZ, Version::text());
    SetRegistryValue(HKEY_LOCAL_MACHINE, g_sVersionKey, QStringLiteral("Location"), REG_SZ,
                     platform::Locations::programDir());
    // A machine hive that refused the write has recorded nothing.
    if (version() != Version::text()) {
        ErrorLog::WriteErrorLog(QStringLiteral("modStartUp _FirstRun error: ") + QStringLiteral("Permission denied"));
        return false;
    }
    return true;
}

bool Main(const MainWindowFactory& createMainWindow)
{
    // A second copy only raises the first one's window; the lock is kept for the whole run.
    static platform::SingleInstance* instance = nullptr;
    if (!instance)
        instance = new platform::SingleInstance(QStringLiteral("PPCQuillmark"), QCoreApplication::instance());
    if (!instance->tryAcquire()) {
        platform::MsgBox(QStringLiteral("An instance of this program is already running. You can not start two "
                                        "instances at the same time."),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation, AppTitle());
        instance->activateRunning();
        return false;
    }

    // What the next steps log waits until the log is rotated and has its
    // start header, so that it does not read as part of the previous run.
    ErrorLog::HoldErrorLog();

    // Key paths; the current user's Preference key exists from here on.
    BuildKeyPaths();
    RegistryAPI::CreateRegistryKey(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey);

    g_sWorkingFolder = GetWorkingFolder();
    RotateLogs();
    ErrorLog::ReleaseErrorLog(StartHeader());

    // Dealer settings, and the address error messages name for support.
    g_oRegister = std::make_unique<clsRegister>();
    g_oRegister->GetSettings();
    g_sSupportEmail = g_oRegister->DealerEmail();
    if (g_sSupportEmail.isEmpty())
        g_sSupportEmail = clsRegister::MakerSupportEmail();
    g_sEngineListFile = platform::Locations::GetWindowsDir() + QStringLiteral("vexeng.dat");
    g_bFirstRun = FirstRun();

    ErrorLog::WriteErrorLog(QStringLiteral("loading frmMain ....."));
    ChangeEngineFolder();

    QWidget* window = createMainWindow ? createMainWindow() : nullptr;
    if (window) {
        window->show();
        QObject::connect(instance, &platform::SingleInstance::activationRequested, window, [window] {
            window->showNormal();
            window->raise();
            window->activateWindow();
        });
        if (qEnvironmentVariable("QUILLMARK_QUIT_AFTER_START") == QLatin1String("1"))
            QTimer::singleShot(0, window, [window] { window->close(); });
    }

    ErrorLog::WriteErrorLog(QStringLiteral("end of modStartUp"));
    return true;
}

} // namespace modStartUp
