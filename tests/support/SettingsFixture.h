#pragma once

#include "core/RegistryAPI.h"

#include <QString>

// Settings as a test reads them back and seeds them, through the program's
// registry wrapper.
namespace testsettings {

inline const QString kAbsent = QStringLiteral("<absent>");

// The stored text, or kAbsent when the key or the value is missing.
inline QString stored(RegistryAPI::Root root, const QString& key, const QString& name)
{
    return RegistryAPI::GetRegistryValue(root, key, name, RegistryAPI::REG_SZ, kAbsent).toString();
}

// Stores the text, creating its key (and the key's parents) first.
inline void store(RegistryAPI::Root root, const QString& key, const QString& name, const QString& value)
{
    RegistryAPI::CreateRegistryKey(root, key);
    RegistryAPI::SetRegistryValue(root, key, name, RegistryAPI::REG_SZ, value);
}

} // namespace testsettings
