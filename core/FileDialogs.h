#pragma once

#include <QString>

// The file and folder dialogs of the windows, asked through
// platform::prompter(): the desktop's prompter parents each dialog to the
// active window, so no caller hands its window in, and tests answer them
// with a scripted prompter.
namespace FileDialogs {

// The folder every file and folder dialog opens in: the folder of
// pathInBox (the path a box of the asking window holds; the path itself when
// it names a folder), else the working folder, else the home folder. A path
// counts only when it is absolute and its folder exists: the process's
// current folder has nothing to do with the user's files.
QString PickerStartFolder(const QString& pathInBox = QString());

// A file dialog: mode 0 open (default title "Open File"), 1 save (default
// title "Save File"). An empty initial folder means PickerStartFolder(). The
// chosen filter index comes back through filterIndex when given. The chosen
// path, or "" when cancelled.
QString ShowFileDialog(int mode, const QString& filter, const QString& initialFolder, const QString& suggestedName,
                       const QString& defaultExtension, int* filterIndex = nullptr,
                       const QString& title = QString());

// A folder dialog opening in initialFolder (empty: PickerStartFolder()); the
// chosen folder or "" when cancelled.
QString BrowseForFolder(const QString& title, const QString& initialFolder = QString());

// The text before its first NUL character; the whole text when it has none.
// A dialog's answer is cut there, as a path read from a character buffer is.
QString TrimNull(const QString& text);

} // namespace FileDialogs
