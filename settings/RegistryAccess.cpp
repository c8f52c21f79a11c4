#include "settings/RegistryAccess.h"

#include "core/RegistryAPI.h"

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

} // namespace settingsreg
