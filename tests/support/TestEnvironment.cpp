#include "TestEnvironment.h"

#include "core/ErrorLog.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char* const kVariables[] = {
    "QUILLMARK_PROGRAM_DIR", "QUILLMARK_REGISTRY_DIR", "QUILLMARK_WINDOWS_DIR",
    "XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME",
};

} // namespace

TestEnvironment::TestEnvironment()
{
    const QString base = m_dir.path();
    const QString folders[] = {
        base + QStringLiteral("/program"), base + QStringLiteral("/registry"),
        base + QStringLiteral("/windows"), base + QStringLiteral("/config"),
        base + QStringLiteral("/data"), base + QStringLiteral("/home"),
    };
    for (int i = 0; i < 6; ++i) {
        QDir().mkpath(folders[i]);
        qputenv(kVariables[i], QFile::encodeName(folders[i]));
    }
    ErrorLog::CloseErrorLog();
    platform::Registry::reset();
}

TestEnvironment::~TestEnvironment()
{
    ErrorLog::CloseErrorLog();
    platform::Registry::reset();
}

QString TestEnvironment::programDir() const { return m_dir.path() + QStringLiteral("/program"); }
QString TestEnvironment::registryDir() const { return m_dir.path() + QStringLiteral("/registry"); }
QString TestEnvironment::windowsDir() const { return m_dir.path() + QStringLiteral("/windows"); }
QString TestEnvironment::path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

QByteArray TestEnvironment::readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool TestEnvironment::writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}
