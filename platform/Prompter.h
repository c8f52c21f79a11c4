#pragma once

#include <QString>

// Every message box, question and file or folder dialog of the program goes
// through one prompter, so tests can answer them and record what was asked.
// The program installs the desktop's message boxes (platform/desktop); without
// them every message is printed to standard error and answered at once.
namespace platform {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgResult { OK, Cancel, Yes, No, Retry };

struct MessageRequest {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;
};

struct FileDialogRequest {
    bool save = false;          // false: open dialog, true: save dialog
    QString title;
    QString filter;             // "Text files (*.txt)|*.txt|All Files (*.*)|*.*"
    QString initialFolder;
    QString suggestedName;
    int filterIndex = 1;        // 1-based; a save dialog returns the chosen one here
    QString defaultExtension;   // added to a typed name without one ("html")
};

class Prompter
{
public:
    virtual ~Prompter();
    virtual MsgResult message(const MessageRequest& request) = 0;
    // The chosen path, or "" when cancelled.
    virtual QString fileDialog(FileDialogRequest& request) = 0;
    // The chosen folder, or "" when cancelled; the dialog opens in
    // initialFolder.
    virtual QString browseForFolder(const QString& title, const QString& initialFolder) = 0;
};

// The prompter in use: the installed one, else the console prompter, which
// prints each message to standard error and gives the answer that changes
// nothing (OK; No to a question, Cancel to Retry/Cancel) and cancels every
// file and folder dialog - what an unattended run needs.
Prompter& prompter();
// Installs a prompter (not owned); nullptr restores the console prompter.
void setPrompter(Prompter* replacement);

// Shorthand for a message box.
MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title);

} // namespace platform
