#pragma once

#include "platform/Registry.h"

#include <QString>
#include <QVariant>

// The program's one registry wrapper, over the emulated registry
// (platform/Registry.h). Every value the program stores is text (REG_SZ).
namespace RegistryAPI {

// The two hives the program uses, by their system names.
using Root = platform::Registry::Hive;
inline constexpr Root HKEY_CURRENT_USER = Root::CurrentUser;
inline constexpr Root HKEY_LOCAL_MACHINE = Root::LocalMachine;

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
