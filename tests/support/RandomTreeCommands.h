#pragma once

#include "ScriptedPrompter.h"

#include "campaign/Workspace.h"

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>

// Random tree commands for the property tests of the workspace and of the
// window that shows it: New and Delete Campaign (answered Yes or No), node
// clicks, File/Setup without a change and Save, on random nodes, accounts
// and names, from a fixed seed so that a failure repeats.
class RandomTreeCommands
{
public:
    enum class Command { ClickInTheTree, NodeClick, NewCampaign, DeleteCampaign, Setup, Save };

    struct Step {
        Command command;
        QString words; // what was done, in the words of a command list
    };

    // A click on a node as the window's tree view takes it; without one the
    // draw leaves ClickInTheTree out.
    using Click = std::function<void(const NodeId&)>;

    // Opens the first campaign of the tree, or a new one when the tree has
    // none, so that a sequence can end on an open campaign; what was done,
    // in the words of a command list.
    static QString openACampaign(Workspace& ws)
    {
        for (const TreeNode& node : ws.accounts().nodes()) {
            if (node.id.isCampaign()) {
                ws.tvwAccount_NodeClick(node.id);
                return "node click " + node.id.key();
            }
        }
        ws.addNewCampaign(QStringLiteral("A"), QStringLiteral("n"));
        return QStringLiteral("new A-n");
    }

    explicit RandomTreeCommands(quint32 seed)
        : m_random(seed)
    {
    }

    // Runs one command on ws, with the answer to Delete Campaign's question
    // queued on prompter (and every answer left over dropped afterwards).
    Step step(Workspace& ws, ScriptedPrompter& prompter, const Click& click = {})
    {
        static const QStringList accounts{"A", "B", "C", "D"};
        static const QStringList names{"x", "y", "n1", "n2", "n3"};
        QList<NodeId> nodes;
        for (const TreeNode& node : ws.accounts().nodes())
            nodes << node.id;
        const NodeId target = nodes.at(m_random.bounded(int(nodes.size())));
        const int first = click ? 0 : 1;
        const auto command = Command(first + m_random.bounded(int(Command::Save) + 1 - first));
        Step done{command, QString()};
        switch (command) {
        case Command::ClickInTheTree:
            click(target);
            done.words = "click " + target.key();
            break;
        case Command::NodeClick:
            ws.tvwAccount_NodeClick(target);
            done.words = "node click " + target.key();
            break;
        case Command::NewCampaign: {
            const QString account = accounts.at(m_random.bounded(int(accounts.size())));
            const QString name = names.at(m_random.bounded(int(names.size())));
            ws.addNewCampaign(account, name);
            done.words = "new " + account + "-" + name;
            break;
        }
        case Command::DeleteCampaign: {
            const bool yes = m_random.bounded(3) != 0;
            prompter.answers.enqueue(yes ? platform::MsgResult::Yes : platform::MsgResult::No);
            ws.DeleteCampaign();
            done.words = QStringLiteral("delete, answered ") + (yes ? "Yes" : "No");
            break;
        }
        case Command::Setup:
            ws.changeSettings([] {});
            done.words = "File/Setup";
            break;
        case Command::Save:
            ws.SaveCampaign();
            done.words = "save";
            break;
        }
        prompter.answers.clear();
        return done;
    }

private:
    QRandomGenerator m_random;
};
