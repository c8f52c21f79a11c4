#pragma once

#include "generator/BackgroundSync.h"
#include "generator/RowWriter.h"

#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace generator {

// One import file of a build, written to a temporary file beside the file
// it replaces, which goes to the disk in the background while it is written.
class ImportFile
{
public:
    explicit ImportFile(const QString& path);

    RowWriter& rows() { return m_rows; }
    // Writes out the rows and makes sure every byte reached the temporary
    // file. Returns the first error of the file, or a null text.
    QString finish();
    // Replaces the old file by the new one once it is on the disk; a file
    // that could not be finished keeps its old version. Returns the error,
    // or a null text.
    QString commit();

private:
    QSaveFile m_file;
    RowWriter m_rows;
    bool m_complete = false;
    std::unique_ptr<BackgroundSync> m_sync; // ends before m_file closes its descriptor
};

// The import files of one build, replaced together at its end: a build cut
// short (killed, or ended by an exception) leaves every old file as it was,
// since nothing replaces an old file before all new ones are written.
class ImportFileSet
{
public:
    ImportFile& add(const QString& path);
    // Replaces the old files by the new ones, one right after the other.
    // Returns the errors of those that could not replace theirs.
    QStringList commit();

private:
    std::vector<std::unique_ptr<ImportFile>> m_files;
};

} // namespace generator
