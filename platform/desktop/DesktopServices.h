#pragma once

#include "platform/Prompter.h"
#include "platform/ShellOpener.h"
#include "platform/WaitCursor.h"

#include <QPointer>
#include <QWidget>

// The desktop's side of the platform services: message boxes and file
// dialogs, the desktop's opener, the hourglass pointer. Only the program
// itself installs them (app/main.cpp); libraries reach them through the
// interfaces, and tests install their own.
namespace platform::desktop {

// The window a message box or dialog belongs to and stays above: the
// application's active window; when the program is not in front, the modal
// dialog on screen, else mainWindow when it is shown. Null when there is
// none of them.
QWidget* dialogOwner(QWidget* mainWindow);

// Message texts are shown as plain text; a text that would make its box
// taller than the screen scrolls, so that the buttons stay on the screen.
// Every box and dialog is a child of its owner (dialogOwner), so the window
// system keeps it above that window and no window of the program can cover
// it.
class MessageBoxPrompter final : public Prompter
{
public:
    MsgResult message(const MessageRequest& request) override;
    QString fileDialog(FileDialogRequest& request) override;
    QString browseForFolder(const QString& title, const QString& initialFolder) override;

    // The program's main window: the owner when no window is active.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

private:
    QWidget* owner() const { return dialogOwner(m_mainWindow); }

    QPointer<QWidget> m_mainWindow;
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
    // The program's main window, which owns the message boxes shown while
    // no window of the program is active.
    void setMainWindow(QWidget* window) { m_prompter.setMainWindow(window); }
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

private:
    MessageBoxPrompter m_prompter;
    DesktopShellOpener m_opener;
    OverrideCursor m_cursor;
};

} // namespace platform::desktop
