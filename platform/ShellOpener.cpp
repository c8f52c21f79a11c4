#include "platform/ShellOpener.h"

#include "platform/WaitCursor.h"

namespace platform {

namespace {

class NoShellOpener final : public ShellOpener
{
public:
    bool open(const QString&) override { return false; }
};

ShellOpener* g_replacement = nullptr;

} // namespace

ShellOpener::~ShellOpener() = default;

ShellOpener& shellOpener()
{
    static NoShellOpener none;
    return g_replacement ? *g_replacement : none;
}

void setShellOpener(ShellOpener* replacement)
{
    g_replacement = replacement;
}

int ShellOpen(const QString& target, int showMode)
{
    Q_UNUSED(showMode);
    const WaitCursor wait;
    return shellOpener().open(target) ? 1 : 0;
}

} // namespace platform
