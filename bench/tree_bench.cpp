// Loads an accounts file of many campaigns into the main window (offscreen)
// and prints how long the load and the first paint take, what a click on a
// campaign, a New Campaign and a Delete Campaign cost, how long the window
// takes to close and the peak memory; then the time to read and write the
// accounts file alone, also when every line of it stands twice.
//
//   tree_bench [CAMPAIGNS [ACCOUNTS]]   (100000 campaigns in 100 accounts by default)

#include "PeakMemory.h"
#include "WindowBench.h"

#include "campaign/Workspace.h"
#include "core/Globals.h"
#include "platform/Prompter.h"
#include "workspace/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

// Answers Yes to the Delete Campaign question.
class YesPrompter final : public platform::Prompter
{
public:
    platform::MsgResult message(const platform::MessageRequest&) override { return platform::MsgResult::Yes; }
    QString fileDialog(platform::FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&, const QString&) override { return QString(); }
};

QString campaignName(int c, int perAccount)
{
    return QStringLiteral("Campaign %1.%2").arg((qint64(c) * 7919) % perAccount).arg(c);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    prepareWindowBench(scratch.path());
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int campaigns = args.size() > 0 ? args.at(0).toInt() : 100000;
    const int accounts = args.size() > 1 ? args.at(1).toInt() : 100;
    if (campaigns <= 0 || accounts <= 0) {
        std::fprintf(stderr, "usage: tree_bench [CAMPAIGNS [ACCOUNTS]]\n");
        return 2;
    }

    BuildKeyPaths();
    g_sWorkingFolder = scratch.path();
    // Campaigns out of their sorted order, as users add them; with twice,
    // every campaign follows a line of its account and stands twice.
    const int perAccount = (campaigns + accounts - 1) / accounts;
    auto writeAccounts = [&](const QString& path, bool twice) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (int a = 0; a < accounts; ++a) {
            const QByteArray header = "[Account " + QByteArray::number(a) + "]\r\n";
            file.write(header);
            for (int c = 0; c < perAccount && a * perAccount + c < campaigns; ++c) {
                const QByteArray line = campaignName(c, perAccount).toUtf8() + "\r\n";
                file.write(twice ? header + line + line : line);
            }
        }
        return true;
    };
    if (!writeAccounts(scratch.path() + QStringLiteral("/Accounts.dat"), false)) {
        std::fprintf(stderr, "cannot write the accounts file\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<frmMain>();
    window->show();
    QCoreApplication::processEvents();
    const qint64 loadMs = timer.elapsed();

    const int clicks = 200;
    const QString account = QStringLiteral("Account %1").arg(accounts / 2);
    timer.restart();
    for (int i = 0; i < clicks; ++i) {
        const int c = (i * 37) % perAccount;
        window->workspace().tvwAccount_NodeClick(NodeId::campaignNode(account, campaignName(c, perAccount)));
        QCoreApplication::processEvents();
    }
    const double clickMs = double(timer.elapsed()) / clicks;

    // New Campaign and Delete Campaign each write the whole accounts file.
    const int changes = 20;
    timer.restart();
    for (int i = 0; i < changes; ++i) {
        window->workspace().addNewCampaign(account, QStringLiteral("New %1").arg(i));
        QCoreApplication::processEvents();
    }
    const double newMs = double(timer.elapsed()) / changes;

    YesPrompter yes;
    platform::setPrompter(&yes);
    qint64 deleteNs = 0;
    for (int i = 0; i < changes; ++i) {
        // Delete Campaign acts on the campaign last clicked.
        window->workspace().tvwAccount_NodeClick(NodeId::campaignNode(account, QStringLiteral("New %1").arg(i)));
        QCoreApplication::processEvents();
        timer.restart();
        window->workspace().DeleteCampaign();
        QCoreApplication::processEvents();
        deleteNs += timer.nsecsElapsed();
    }
    platform::setPrompter(nullptr);
    const double deleteMs = double(deleteNs) / 1e6 / changes;

    timer.restart();
    window.reset();
    const qint64 closeMs = timer.elapsed();

    auto loadMsOf = [&](clsMain& tree) {
        timer.restart();
        tree.LoadAccounts();
        return timer.elapsed();
    };
    clsMain tree(scratch.path());
    const qint64 readMs = loadMsOf(tree);
    timer.restart();
    tree.SaveAccount();
    const qint64 writeMs = timer.elapsed();
    if (!writeAccounts(scratch.path() + QStringLiteral("/Accounts.dat"), true)) {
        std::fprintf(stderr, "cannot write the accounts file\n");
        return 1;
    }
    const qint64 twiceMs = loadMsOf(tree);

    QTextStream out(stdout);
    out << "tree_bench " << campaigns << " campaigns in " << accounts << " accounts\n";
    out << "  load and show: " << loadMs << " ms\n";
    out << "  click on a campaign (save, open, repaint): " << QString::number(clickMs, 'f', 2) << " ms\n";
    out << "  New Campaign (add, save the accounts file, repaint): " << QString::number(newMs, 'f', 2) << " ms\n";
    out << "  Delete Campaign (remove, save the accounts file, repaint): " << QString::number(deleteMs, 'f', 2)
        << " ms\n";
    out << "  close: " << closeMs << " ms\n";
    out << "  accounts file alone: read " << readMs << " ms, write " << writeMs << " ms, read with every line twice "
        << twiceMs << " ms\n";
    out << "  peak RSS: " << peakRssKiB() / 1024 << " MiB\n";
    return 0;
}
