#pragma once

#include <QString>

// Opens documents and addresses with the desktop's associated program (the
// stand-in for ShellExecute with the verb "open"). Never builds a shell
// command line. The program installs the desktop's opener (platform/desktop);
// tests install their own and record the targets.
namespace platform {

class ShellOpener
{
public:
    virtual ~ShellOpener();
    // True when the desktop accepted the target.
    virtual bool open(const QString& target) = 0;
};

// The opener in use: the installed one, else one that opens nothing and
// answers false.
ShellOpener& shellOpener();
// Installs an opener (not owned); nullptr restores the one that opens nothing.
void setShellOpener(ShellOpener* replacement);

// Opens a document or an address through shellOpener(), under the busy
// pointer. showMode is accepted for the callers' sake; the desktop decides how
// the program shows. Nonzero on success.
int ShellOpen(const QString& target, int showMode);

} // namespace platform
