#pragma once

#include "platform/ShellOpener.h"

#include <QStringList>

// A shell opener for tests: records every target and answers with `result`.
// Installs itself for its lifetime.
class RecordingShellOpener final : public platform::ShellOpener
{
public:
    RecordingShellOpener() { platform::setShellOpener(this); }
    ~RecordingShellOpener() override { platform::setShellOpener(nullptr); }

    bool open(const QString& target) override
    {
        targets << target;
        return result;
    }

    QStringList targets;
    bool result = true;
};
