#pragma once

#include <QString>
#include <QStringList>

// Profile (INI) files: "[section]" lines and "key=value" lines.
//  - Section and key names are compared without regard to case; the first
//    matching section and, inside it, the first matching key win. A section
//    name ends at the last "]" of its line.
//  - Blanks (spaces, tabs) around names and values are dropped; quotes are
//    kept as they stand. Lines starting with ";" are comments.
//  - Files are read through the code-page helper (UTF-8 or Windows-1252),
//    with LF or CRLF line ends, and written as UTF-8 with CRLF line ends.
namespace platform::ProfileFile {

// The value, or "" when the file, the section or the key is missing.
QString read(const QString& file, const QString& section, const QString& key);

// Sets the value of key in section, keeping every other line in its place:
// an existing key gets its value replaced (the key keeps its spelling); a
// missing key is added after the last line of its section; a missing section
// is added at the end of the file. A missing file is created, a missing folder
// is not. A CR or LF inside the section, the key or the value is written as a
// blank (read asks for names the same way), because each lives on one line. The file is replaced atomically. False on failure.
bool write(const QString& file, const QString& section, const QString& key, const QString& value);

// A whole profile file held as its lines, for callers that read or write
// many values at once: each change keeps every other line in its place,
// exactly as write() does for one value.
class Document
{
public:
    // Reads the file; a missing file gives an empty document. False (and the
    // reason) when the file exists but cannot be read, or is no regular file
    // (platform/RegularFile), which is not opened.
    bool load(const QString& file, QString* error = nullptr);

    // As read() and write() above, on the lines in memory.
    QString value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);
    // Removes every section of that name with all its lines.
    void removeSection(const QString& section);

    // Writes the lines, CRLF-ended, atomically.
    bool save(const QString& file, QString* error = nullptr) const;

private:
    QStringList m_lines;
};

} // namespace platform::ProfileFile
