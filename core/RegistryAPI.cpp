#include "core/RegistryAPI.h"

#include "core/modCommon.h"
#include "platform/Registry.h"

namespace RegistryAPI {

namespace {

platform::Registry::Hive hive(Root root)
{
    return root == HKEY_LOCAL_MACHINE ? platform::Registry::Hive::LocalMachine
                                      : platform::Registry::Hive::CurrentUser;
}

} // namespace

bool CreateRegistryKey(Root root, const QString& subKey)
{
    bool existed = false;
    if (!platform::Registry::createKey(hive(root), subKey, &existed)) {
        modCommon::WriteErrorLog(QStringLiteral("RegistryAPI_CreateRegistryKey:  ")
                                 + QStringLiteral("Cannot save the registry file ")
                                 + platform::Registry::hiveFile(hive(root)));
        return false;
    }
    return existed;
}

QVariant GetRegistryValue(Root root, const QString& subKey, const QString& valueName, int valueType,
                          const QVariant& defaultValue)
{
    if (valueType != REG_SZ) {
        modCommon::WriteErrorLog(QStringLiteral("RegistryAPI_GetRegistryValue: ")
                                 + QStringLiteral("Unsupported value type"));
        return defaultValue;
    }
    const std::optional<QString> text = platform::Registry::value(hive(root), subKey, valueName);
    if (!text)
        return defaultValue;
    return QVariant(*text);
}

void SetRegistryValue(Root root, const QString& subKey, const QString& valueName, int valueType,
                      const QVariant& value)
{
    if (valueType != REG_SZ)
        return;
    const auto h = hive(root);
    if (!platform::Registry::keyExists(h, subKey))
        return; // the key is not created here; silently nothing
    if (!platform::Registry::setValue(h, subKey, valueName, value.toString())) {
        modCommon::WriteErrorLog(QStringLiteral("RegistryAPI_SetRegistryValue:  ")
                                 + QStringLiteral("Cannot save the registry file ")
                                 + platform::Registry::hiveFile(h) + QStringLiteral(" KeyName= ") + subKey
                                 + QStringLiteral("  ValueName=  ") + valueName);
    }
}

} // namespace RegistryAPI
