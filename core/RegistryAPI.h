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

// While it lives, the changes made through CreateRegistryKey and
// SetRegistryValue reach the hive files only at Commit(), each changed hive
// in one atomic write, so that a save cut short (a crash, a kill, a full
// disk) leaves a hive with all of them or none. Without Commit() they are
// dropped. One at a time.
class RegistryTransaction
{
public:
    // Writes each changed hive once, the current user's first. A hive that
    // cannot be written is logged ("RegistryAPI_SaveRegistry:  " and the
    // reason) and keeps its old values, and so does every hive after it.
    void Commit();

    // False when root had changes that Commit() could not write.
    bool Saved(Root root) const;

private:
    platform::Registry::Batch m_batch;
    bool m_committed = false;
};

} // namespace RegistryAPI
