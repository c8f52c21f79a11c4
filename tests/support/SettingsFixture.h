#pragma once

#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "settings/clsPreference.h"
#include "settings/clsRegister.h"

#include <QString>

// Settings as a test reads them back and seeds them: single values through
// the program's registry wrapper, whole stores through the program's own
// classes, so that a seeded setting sits where and as the program keeps it.
// The key paths must be built (BuildKeyPaths) and the hives redirected
// (TestEnvironment) first.
namespace testsettings {

inline const QString kAbsent = QStringLiteral("<absent>");

// The stored text, or kAbsent when the key or the value is missing.
inline QString stored(RegistryAPI::Root root, const QString& key, const QString& name)
{
    return RegistryAPI::GetRegistryValue(root, key, name, RegistryAPI::REG_SZ, kAbsent).toString();
}

// Makes the key (and its parents) when it is missing; its values stay.
inline void storeKey(RegistryAPI::Root root, const QString& key)
{
    RegistryAPI::CreateRegistryKey(root, key);
}

// Stores the text, creating its key (and the key's parents) first.
inline void store(RegistryAPI::Root root, const QString& key, const QString& name, const QString& value)
{
    storeKey(root, key);
    RegistryAPI::SetRegistryValue(root, key, name, RegistryAPI::REG_SZ, value);
}

// Stores a value under the current user's preference key, where the
// preferences store keeps most of its values and the main window its own
// ("MainFormPos", "LastSelectAcc").
inline void storePreference(const QString& name, const QString& value)
{
    store(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey, name, value);
}

// The preferences as File/Setup saves them: loaded, changed by
// change(clsPreference&), saved (both hives).
template <class Change>
void savePreferences(Change change)
{
    clsPreference preference;
    preference.GetSettings();
    change(preference);
    preference.SaveSettings();
}

// Saves the "WorkingFolder" preference, the rest as they are.
inline void saveWorkingFolder(const QString& folder)
{
    savePreferences([&folder](clsPreference& preference) { preference.setWorkingFolder(folder); });
}

// The dealer and token settings the same way: loaded, changed by
// change(clsRegister&), saved.
template <class Change>
void saveRegister(Change change)
{
    clsRegister settings;
    settings.GetSettings();
    change(settings);
    settings.SaveSettings();
}

} // namespace testsettings
