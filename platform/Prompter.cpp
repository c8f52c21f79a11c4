#include "platform/Prompter.h"

#include <cstdio>

namespace platform {

namespace {

class ConsolePrompter final : public Prompter
{
public:
    MsgResult message(const MessageRequest& request) override
    {
        std::fprintf(stderr, "%s: %s\n", request.title.toLocal8Bit().constData(),
                     request.text.toLocal8Bit().constData());
        std::fflush(stderr);
        switch (request.buttons) {
        case MsgButtons::OK:
        case MsgButtons::OKCancel:
            return MsgResult::OK;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            // Nobody can see the question: take the answer that changes nothing.
            return MsgResult::No;
        case MsgButtons::RetryCancel:
            return MsgResult::Cancel;
        }
        return MsgResult::OK;
    }

    QString fileDialog(FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&, const QString&) override { return QString(); }
};

Prompter* g_replacement = nullptr;

} // namespace

Prompter::~Prompter() = default;

Prompter& prompter()
{
    static ConsolePrompter console;
    return g_replacement ? *g_replacement : console;
}

void setPrompter(Prompter* replacement)
{
    g_replacement = replacement;
}

MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    return prompter().message(MessageRequest{text, title, icon, buttons});
}

} // namespace platform
