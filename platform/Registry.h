#pragma once

#include <QString>

#include <optional>

// The emulated registry: two hives, each one human-readable text file in
// platform::Locations::registryDir() ("HKEY_CURRENT_USER.reg",
// "HKEY_LOCAL_MACHINE.reg"), written atomically with mode 0600 after each
// change.
//
// Keys are "\"-separated paths (empty parts are skipped); a key exists apart
// from its values, and creating a key creates its missing parents. Values are
// texts of any length and content. Key and value names are compared without
// regard to case; their first spelling is kept.
//
// File format:
//   [Software\Maker\Product\Preference]
//   "ValueName"="text"
// Inside quotes "\\", "\"", "\r", "\n", "\t" and "\xHH" (other control
// characters) are escapes; in the bracketed key path "%" and control
// characters are written as "%HH".
//
// A hive is read on first use and kept in memory; it is read again when its
// file changed on disk or when the registry folder moved.
namespace platform::Registry {

enum class Hive { CurrentUser, LocalMachine };

// The file that holds the hive.
QString hiveFile(Hive hive);

bool keyExists(Hive hive, const QString& key);

// Creates key and its missing parents. existed (when given) tells whether the
// key was there already. False when the hive could not be saved.
bool createKey(Hive hive, const QString& key, bool* existed = nullptr);

// The stored text; nothing when the key or the value is missing.
std::optional<QString> value(Hive hive, const QString& key, const QString& name);

// Stores the text under an existing key. False (and nothing written) when the
// key is missing or the hive could not be saved.
bool setValue(Hive hive, const QString& key, const QString& name, const QString& text);

// Forgets the cached hives (tests).
void reset();

} // namespace platform::Registry
