#include "settings/RegistryAccess.h"

#include "platform/Locations.h"

#include <QLocale>
#include <QDateTime>
#include <QSettings>

namespace settingsreg {

namespace {
// TEMPORARY until the emulated registry is merged.
QString hiveFile(Hive hive)
{
    return platform::Locations::join(platform::Locations::registryDir(),
                                     hive == Hive::CurrentUser ? QStringLiteral("shim_hkcu.ini") : QStringLiteral("shim_hklm.ini"));
}
QString k(const QString& key) { return QString(key).replace(QLatin1Char('\\'), QLatin1Char('/')); }
} // namespace

QString get(Hive hive, const QString& key, const QString& name, const QString& defaultValue)
{
    QSettings s(hiveFile(hive), QSettings::IniFormat);
    const QString path = k(key) + QLatin1Char('/') + name;
    return s.contains(path) ? s.value(path).toString() : defaultValue;
}

void set(Hive hive, const QString& key, const QString& name, const QString& value)
{
    QSettings s(hiveFile(hive), QSettings::IniFormat);
    if (!s.value(k(key) + QStringLiteral("/.exists")).toBool())
        return;
    s.setValue(k(key) + QLatin1Char('/') + name, value);
}

void create(Hive hive, const QString& key)
{
    QSettings s(hiveFile(hive), QSettings::IniFormat);
    s.setValue(k(key) + QStringLiteral("/.exists"), true);
}

QString versionText()
{
    return QStringLiteral("1.0.4");
}

QString nowText()
{
    return QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

bool isNumeric(const QString& text, double& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    if (!ok)
        value = QLocale::system().toDouble(t, &ok);
    return ok;
}

} // namespace settingsreg
