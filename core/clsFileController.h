#pragma once

#include <QString>

// Whole-file text reading and writing, with the overwrite question, and the
// file dialog of the keyword inputs. Each user creates its own object.
class clsFileController
{
public:
    // The whole file as text (TextFiles::read); "" when the file is missing
    // or a folder. A read error gives "" and shows an exclamation box titled
    // "Open File" naming the file and the reason, which also goes to error
    // (left empty when the file was read or is missing).
    QString openTextFile(const QString& path, QString* error = nullptr);
    // The same for a file the user chose: only a missing file gives "" in
    // silence. A folder or a named pipe (a dialog's "All Files" lists them)
    // is refused unopened as a file that cannot be read: box and error.
    QString openChosenFile(const QString& path, QString* error = nullptr);

    // Writes text & CRLF to path, replacing the file atomically (a failed
    // write leaves the old file whole). With confirm true an existing file is
    // only replaced after "Yes" to the question "The file <path> already
    // existing, do you want to replace it?". An empty path does nothing.
    // True when the file was written; a failure is logged ("saveTextFile_Error: "
    // with the file error's number) and shown in an exclamation box titled
    // "Save File", naming the file and the reason.
    bool SaveTextFile(const QString& path, const QString& text, bool confirm = false);

    // The file dialog: mode 0 open, 1 save (with suggestedName). It starts in
    // FileDialogs::PickerStartFolder(); filter is "description|pattern|..."; filterIndex
    // (1-based, 1 when not given) comes back from a save dialog. The chosen
    // file, or "" when cancelled.
    QString GetFileName(int mode, const QString& filter, const QString& suggestedName,
                        int* filterIndex = nullptr);
};
