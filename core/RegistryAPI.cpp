#include "core/RegistryAPI.h"

#include "core/ErrorLog.h"

namespace RegistryAPI {

namespace {

// A hand-edited hive may hold lines the registry keeps without reading them;
// the user learns which from the log.
void logReadProblems()
{
    for (const QString& problem : platform::Registry::takeReadProblems())
        ErrorLog::WriteErrorLog(QStringLiteral("RegistryAPI: ") + problem);
}

QString saveError(Root root, const QString& reason)
{
    return QStringLiteral("Cannot save the registry file ") + platform::Registry::hiveFile(root)
        + QStringLiteral(": ") + reason;
}

} // namespace

bool CreateRegistryKey(Root root, const QString& subKey)
{
    bool existed = false;
    QString why;
    const bool created = platform::Registry::createKey(root, subKey, &existed, &why);
    logReadProblems();
    if (!created) {
        ErrorLog::WriteErrorLog(QStringLiteral("RegistryAPI_CreateRegistryKey:  ") + saveError(root, why));
        return false;
    }
    return existed;
}

QVariant GetRegistryValue(Root root, const QString& subKey, const QString& valueName, int valueType,
                          const QVariant& defaultValue)
{
    if (valueType != REG_SZ) {
        ErrorLog::WriteErrorLog(QStringLiteral("RegistryAPI_GetRegistryValue: ")
                                + QStringLiteral("Unsupported value type"));
        return defaultValue;
    }
    const std::optional<QString> text = platform::Registry::value(root, subKey, valueName);
    logReadProblems();
    if (!text)
        return defaultValue;
    return QVariant(*text);
}

void SetRegistryValue(Root root, const QString& subKey, const QString& valueName, int valueType,
                      const QVariant& value)
{
    if (valueType != REG_SZ)
        return;
    const bool keyThere = platform::Registry::keyExists(root, subKey);
    logReadProblems();
    if (!keyThere)
        return; // the key is not created here; silently nothing
    QString why;
    if (!platform::Registry::setValue(root, subKey, valueName, value.toString(), &why)) {
        ErrorLog::WriteErrorLog(QStringLiteral("RegistryAPI_SetRegistryValue:  ") + saveError(root, why)
                                + QStringLiteral(" KeyName= ") + subKey + QStringLiteral("  ValueName=  ")
                                + valueName);
    }
}

void RegistryTransaction::Commit()
{
    m_committed = true;
    if (m_batch.commit())
        return;
    for (const Root root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        if (!Saved(root))
            ErrorLog::WriteErrorLog(QStringLiteral("RegistryAPI_SaveRegistry:  ") + saveError(root, m_batch.error(root)));
    }
}

bool RegistryTransaction::Saved(Root root) const
{
    return m_committed && m_batch.error(root).isEmpty();
}

} // namespace RegistryAPI
