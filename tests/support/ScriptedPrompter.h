#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// A prompter for tests: answers from queues filled by the test (a default
// answer when a queue is empty) and records every request; onMessage, when
// set, runs while a message is up. Installs itself for its lifetime.
class ScriptedPrompter final : public platform::Prompter
{
public:
    ScriptedPrompter() { platform::setPrompter(this); }
    ~ScriptedPrompter() override { platform::setPrompter(nullptr); }

    platform::MsgResult message(const platform::MessageRequest& request) override
    {
        messages.append(request);
        if (onMessage)
            onMessage(request);
        if (!answers.isEmpty())
            return answers.dequeue();
        return defaultAnswer;
    }

    QString fileDialog(platform::FileDialogRequest& request) override
    {
        fileRequests.append(request);
        return files.isEmpty() ? QString() : files.dequeue();
    }

    QString browseForFolder(const QString& title, const QString& initialFolder) override
    {
        folderTitles.append(title);
        folderStarts.append(initialFolder);
        return folders.isEmpty() ? QString() : folders.dequeue();
    }

    QQueue<platform::MsgResult> answers;
    std::function<void(const platform::MessageRequest&)> onMessage;
    platform::MsgResult defaultAnswer = platform::MsgResult::OK;
    QQueue<QString> files;
    QQueue<QString> folders;

    QList<platform::MessageRequest> messages;
    QList<platform::FileDialogRequest> fileRequests;
    QStringList folderTitles;
    QStringList folderStarts; // the initial folder of each folder dialog
};
