#pragma once

#include <QString>

// The registry calls of the settings stores in one place: text values only
// (REG_SZ), a missing key or value reads as the default, a write never
// creates its key.
namespace settingsreg {

enum class Hive { CurrentUser, LocalMachine };

QString get(Hive hive, const QString& key, const QString& name, const QString& defaultValue);
void set(Hive hive, const QString& key, const QString& name, const QString& value);
void create(Hive hive, const QString& key);

} // namespace settingsreg
