#include "settings/RegistryAccess.h"

#include "core/RegistryAPI.h"
#include "core/Version.h"

#include <QDateTime>
#include <QLocale>

namespace settingsreg {

namespace {

RegistryAPI::Root root(Hive hive)
{
    return hive == Hive::CurrentUser ? RegistryAPI::HKEY_CURRENT_USER : RegistryAPI::HKEY_LOCAL_MACHINE;
}

} // namespace

QString get(Hive hive, const QString& key, const QString& name, const QString& defaultValue)
{
    return RegistryAPI::GetRegistryValue(root(hive), key, name, RegistryAPI::REG_SZ, defaultValue).toString();
}

void set(Hive hive, const QString& key, const QString& name, const QString& value)
{
    RegistryAPI::SetRegistryValue(root(hive), key, name, RegistryAPI::REG_SZ, value);
}

void create(Hive hive, const QString& key)
{
    RegistryAPI::CreateRegistryKey(root(hive), key);
}

QString versionText()
{
    return QString::number(Version::Major) + QLatin1Char('.') + QString::number(Version::Minor) + QLatin1Char('.')
        + QString::number(Version::Revision);
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
