#pragma once

#include <QString>
#include <QVariant>

// Registry access over the emulated registry (platform/Registry.h). Every
// value the program stores is text (REG_SZ).
namespace RegistryAPI {

// The two hives the program uses.
enum Root { HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

// The only value type: text.
constexpr int REG_SZ = 1;

// Creates subKey (and missing parents) under root. True when the key existed
// already, false when it was created now or could not be created.
bool CreateRegistryKey(Root root, const QString& subKey);

// The stored text of valueName under root\subKey, or defaultValue when the
// key or the value is missing. Any type but REG_SZ logs an error line and
// gives the default.
QVariant GetRegistryValue(Root root, const QString& subKey, const QString& valueName, int valueType,
                          const QVariant& defaultValue);

// Stores value (as text) under an existing key; does nothing when the key is
// missing or the type is not REG_SZ.
void SetRegistryValue(Root root, const QString& subKey, const QString& valueName, int valueType,
                      const QVariant& value);

} // namespace RegistryAPI
