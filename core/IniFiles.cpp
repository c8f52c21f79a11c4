#include "core/IniFiles.h"

#include "platform/ProfileFile.h"

namespace IniFiles {

QString ReadINI(const QString& file, const QString& section, const QString& key)
{
    return platform::ProfileFile::read(file, section, key);
}

QString WriteINI(const QString& file, const QString& section, const QString& key, const QString& value)
{
    return platform::ProfileFile::write(file, section, key, value) ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace IniFiles
