#pragma once

#include "platform/Prompter.h"
#include "platform/ShellOpener.h"
#include "platform/WaitCursor.h"

// The desktop's side of the platform services: message boxes and file
// dialogs, the desktop's opener, the hourglass pointer. Only the program
// itself installs them (app/main.cpp); libraries reach them through the
// interfaces, and tests install their own.
namespace platform::desktop {

// Message texts are shown as plain text.
class MessageBoxPrompter final : public Prompter
{
public:
    MsgResult message(const MessageRequest& request) override;
    QString fileDialog(FileDialogRequest& request) override;
    QString browseForFolder(const QString& title, const QString& initialFolder) override;
};

class DesktopShellOpener final : public ShellOpener
{
public:
    bool open(const QString& target) override;
};

// The override cursor of a GUI application; nothing without one.
class OverrideCursor final : public BusyPointer
{
public:
    void show() override;
    void restore() override;

private:
    int m_depth = 0;    // nested show() calls not restored yet
    bool m_set = false; // the application's override cursor is ours
};

// Installs the three for its lifetime. withMessageBoxes false keeps the
// console prompter, for unattended runs.
class DesktopServices
{
public:
    explicit DesktopServices(bool withMessageBoxes);
    ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

private:
    MessageBoxPrompter m_prompter;
    DesktopShellOpener m_opener;
    OverrideCursor m_cursor;
};

} // namespace platform::desktop
