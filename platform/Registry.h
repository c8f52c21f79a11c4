#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The emulated registry: two hives, each one human-readable text file in
// platform::Locations::registryDir() ("HKEY_CURRENT_USER.reg",
// "HKEY_LOCAL_MACHINE.reg"), written atomically with mode 0600 after each
// change, or once for many changes gathered in a Batch (below).
//
// Keys are "\"-separated paths (empty parts are skipped); a key exists apart
// from its values, and creating a key creates its missing parents. Values are
// texts of any length and content. Key and value names are compared without
// regard to case; their first spelling is kept.
//
// File format (UTF-8):
//   [Software\Maker\Product\Preference]
//   "ValueName"="text"
// Inside quotes "\\", "\"", "\r", "\n", "\t" and "\xHH" (other control
// characters) are escapes; in the bracketed key path "%" and control
// characters are written as "%HH". Blanks at both ends of a line and around
// "=" are allowed, as a person editing the file may write them. A key header
// stands for its missing parents, so only keys with values and keys without
// subkeys are written.
//
// A file is never made to lose a line it held: a line that cannot be read
// (not UTF-8, not a key or a value, a value outside any key, an unknown
// escape) is kept as it stood, in its place, and saved again unchanged; the
// lines under a key header that cannot be read are kept the same way. Each
// such line (of an unreadable key: its header) is reported once per reading
// of the file (takeReadProblems()). A file that exists but cannot be read
// (no permission, a folder in its place, a read error) counts as empty and
// is never overwritten.
// Comment lines (";") are kept without a report.
//
// A hive is read on first use and kept in memory; it is read again when its
// file changed on disk or when the registry folder moved. Memory and time are
// linear in the size of the file: keys and values are found by hash.
namespace platform::Registry {

enum class Hive { CurrentUser, LocalMachine };

// The file that holds the hive.
QString hiveFile(Hive hive);

bool keyExists(Hive hive, const QString& key);

// Creates key and its missing parents. existed (when given) tells whether the
// key was there already. False, with the reason in error (when given), when
// the hive could not be saved.
bool createKey(Hive hive, const QString& key, bool* existed = nullptr, QString* error = nullptr);

// The stored text; nothing when the key or the value is missing.
std::optional<QString> value(Hive hive, const QString& key, const QString& name);

// Stores the text under an existing key. False (and nothing written, the
// reason in error when given) when the key is missing or the hive could not
// be saved.
bool setValue(Hive hive, const QString& key, const QString& name, const QString& text,
              QString* error = nullptr);

// Gathers changes into one save per hive. While a batch is open, createKey
// and setValue change the hives in memory only (value() and keyExists() see
// the changes; the results say false only for a missing key), and commit()
// writes each changed hive once, atomically: a save cut short (a crash, a
// kill, a full disk) leaves every hive file with all of the batch's changes
// or none. A batch closed without commit() drops its changes: the hives are
// read from their files again. One batch at a time, on one thread.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Saves the changed hives, the current user's first. The first hive that
    // cannot be saved ends the commit: it and every changed hive after it keep
    // their files as they were, and lose the batch's changes. False then.
    bool commit();

    // Why the commit did not save the hive: the save's reason, or that an
    // earlier hive failed; "" when it was saved or had nothing to save.
    QString error(Hive hive) const;

private:
    QString m_errors[2];
    bool m_committed = false;
};

// The reports on what could not be read since the last call, one text each,
// naming the file: a line (with its number), or the whole file when it
// cannot be read at all (once, until it reads again); the list is emptied.
QStringList takeReadProblems();

// Forgets the cached hives and the reports (tests).
void reset();

} // namespace platform::Registry
