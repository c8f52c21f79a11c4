#include "platform/Locations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform::Locations {

namespace {

QString fromEnv(const char* name)
{
    return QDir::cleanPath(qEnvironmentVariable(name));
}

bool hasEnv(const char* name)
{
    return !qEnvironmentVariable(name).isEmpty();
}

QString ensured(const QString& folder)
{
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString programDir()
{
    if (hasEnv("QUILLMARK_PROGRAM_DIR"))
        return ensured(fromEnv("QUILLMARK_PROGRAM_DIR"));

    if (QCoreApplication::instance() && installedDataDir().isEmpty()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QFileInfo info(exeDir);
        if (info.isDir() && info.isWritable())
            return exeDir;
    }
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return ensured(join(dataHome, QStringLiteral("PPC Quillmark")));
}

QString installedDataDir()
{
    if (!QCoreApplication::instance())
        return QString();
    const QString dir = QDir::cleanPath(join(QCoreApplication::applicationDirPath(),
                                             QStringLiteral(QUILLMARK_DATA_FROM_BINDIR)));
    return QFileInfo(dir).isDir() ? dir : QString();
}

QString installedFile(const QString& name)
{
    const QString own = join(programDir(), name);
    if (QFileInfo(own).isFile())
        return own;
    if (!QCoreApplication::instance())
        return QString();
    for (const QString& folder : {QCoreApplication::applicationDirPath(), installedDataDir()}) {
        const QString installed = join(folder, name);
        if (!folder.isEmpty() && QFileInfo(installed).isFile())
            return installed;
    }
    return QString();
}

QString registryDir()
{
    if (hasEnv("QUILLMARK_REGISTRY_DIR"))
        return fromEnv("QUILLMARK_REGISTRY_DIR");
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty())
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return join(configHome, QStringLiteral("PPC Quillmark"));
}

QString windowsDir()
{
    if (hasEnv("QUILLMARK_WINDOWS_DIR"))
        return fromEnv("QUILLMARK_WINDOWS_DIR");
    return QStringLiteral("/etc/ppc-quillmark");
}

QString GetWindowsDir()
{
    QString dir = windowsDir();
    while (dir.endsWith(QLatin1Char(' ')))
        dir.chop(1);
    if (dir.isEmpty())
        return QString();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace platform::Locations
