#pragma once

#include <QString>

// Opens documents and addresses with the desktop's associated program (the
// stand-in for ShellExecute with the verb "open"). Never builds a shell
// command line. Tests install their own opener and record the targets.
namespace platform {

class ShellOpener
{
public:
    virtual ~ShellOpener();
    // True when the desktop accepted the target.
    virtual bool open(const QString& target) = 0;
};

// The opener in use: the desktop one unless a test installed its own.
ShellOpener& shellOpener();
// Installs an opener (not owned); nullptr restores the desktop one.
void setShellOpener(ShellOpener* replacement);

} // namespace platform
