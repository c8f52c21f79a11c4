#pragma once

#include "platform/Prompter.h"

// A prompter for unattended runs (tests, the offscreen platform): every
// message is printed to standard error and answered with its default
// (OK; a question gets the answer that changes nothing: No or Cancel);
// file and folder dialogs are cancelled.
class ConsolePrompter final : public platform::Prompter
{
public:
    platform::MsgResult message(const platform::MessageRequest& request) override;
    QString fileDialog(platform::FileDialogRequest& request) override;
    QString browseForFolder(const QString& title) override;

    // True when QUILLMARK_TEST is set or the platform is "offscreen".
    static bool unattended();
};
