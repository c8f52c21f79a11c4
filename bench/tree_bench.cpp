// Loads an accounts file of many campaigns into the main window (offscreen)
// and prints how long the load and the first paint take, what a click on a
// campaign costs, how long the window takes to close and the peak memory.
//
//   tree_bench [CAMPAIGNS [ACCOUNTS]]   (100000 campaigns in 100 accounts by default)

#include "PeakMemory.h"
#include "WindowBench.h"

#include "core/Globals.h"
#include "workspace/Workspace.h"
#include "workspace/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

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
    QFile file(scratch.path() + QStringLiteral("/Accounts.dat"));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write the accounts file\n");
        return 1;
    }
    const int perAccount = (campaigns + accounts - 1) / accounts;
    for (int a = 0; a < accounts; ++a) {
        file.write("[Account " + QByteArray::number(a) + "]\r\n");
        // Campaigns out of their sorted order, as users add them.
        for (int c = 0; c < perAccount && a * perAccount + c < campaigns; ++c)
            file.write("Campaign " + QByteArray::number((qint64(c) * 7919) % perAccount) + "." + QByteArray::number(c)
                       + "\r\n");
    }
    file.close();

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
        const QString name = QStringLiteral("Campaign %1.%2").arg((qint64(c) * 7919) % perAccount).arg(c);
        window->workspace().tvwAccount_NodeClick(NodeId::campaignNode(account, name));
        QCoreApplication::processEvents();
    }
    const double clickMs = double(timer.elapsed()) / clicks;

    timer.restart();
    window.reset();
    const qint64 closeMs = timer.elapsed();

    QTextStream out(stdout);
    out << "tree_bench " << campaigns << " campaigns in " << accounts << " accounts\n";
    out << "  load and show: " << loadMs << " ms\n";
    out << "  click on a campaign (save, open, repaint): " << QString::number(clickMs, 'f', 2) << " ms\n";
    out << "  close: " << closeMs << " ms\n";
    out << "  peak RSS: " << peakRssKiB() / 1024 << " MiB\n";
    return 0;
}
