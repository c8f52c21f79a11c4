// Runs "Build Campaigns" in the main window (offscreen) on the benchmarks'
// campaign and prints the time from the click to the final message and the
// longest time the window's event loop did not turn in between, with the
// status text at its end: the checks, the mixing and the ad groups, the
// three files, the panel's reload and the final message all count.
//
//   build_bench [BASE EXT] [--cold]   (1000 x 1000 by default, bench/StandardCampaign.h)
//
// The campaign is stored in its folder and opened by the window as a user's
// would be; the two options a campaign does not store (the mixing and the
// Capitalization tick) are set in their controls. A build ends by bringing
// the "Landing Page" tab to the front, and the first time that tab shows in
// a run it starts the browser engine (about a tenth of a second, once): the
// bench shows the tab once before the click, unless --cold.

#include "PeakMemory.h"
#include "StallMeter.h"
#include "StandardCampaign.h"
#include "WindowBench.h"

#include "campaign/CampaignStore.h"
#include "campaign/Workspace.h"
#include "core/Globals.h"
#include "platform/Prompter.h"
#include "workspace/WindowCommands.h"
#include "workspace/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace {

const QString kAccount = QStringLiteral("Bench Account");

// Answers every message with OK and tells the bench about it.
class NotingPrompter final : public platform::Prompter
{
public:
    std::function<void(const platform::MessageRequest&)> onMessage;

    platform::MsgResult message(const platform::MessageRequest& request) override
    {
        onMessage(request);
        return request.buttons == platform::MsgButtons::YesNo ? platform::MsgResult::Yes : platform::MsgResult::OK;
    }
    QString fileDialog(platform::FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&, const QString&) override { return QString(); }
};

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
    QStringList args = app.arguments().mid(1);
    const bool cold = args.removeAll(QStringLiteral("--cold")) > 0;
    const qsizetype baseCount = args.size() == 2 ? args.at(0).toLongLong() : 1000;
    const qsizetype extCount = args.size() == 2 ? args.at(1).toLongLong() : 1000;
    if ((args.size() != 0 && args.size() != 2) || baseCount <= 0 || extCount <= 0) {
        std::fprintf(stderr, "usage: build_bench [BASE EXT] [--cold]\n");
        return 2;
    }

    BuildKeyPaths();
    g_sWorkingFolder = scratch.path();
    QFile accounts(scratch.path() + QStringLiteral("/Accounts.dat"));
    QString error;
    if (!accounts.open(QIODevice::WriteOnly)
        || accounts.write(("[" + kAccount + "]\r\n" + bench::kCampaignName + "\r\n").toUtf8()) < 0
        || !accounts.flush()
        || !CampaignStore::save(CampaignStore::campaignFolder(scratch.path(), kAccount, bench::kCampaignName),
                                bench::StandardCampaign(baseCount, extCount), &error)) {
        std::fprintf(stderr, "cannot write the working folder: %s\n", qPrintable(error));
        return 1;
    }
    accounts.close();

    frmMain window;
    window.show();
    QCoreApplication::processEvents();
    window.workspace().tvwAccount_NodeClick(NodeId::campaignNode(kAccount, bench::kCampaignName));
    const CampaignData standard = bench::StandardCampaign(baseCount, extCount);
    auto* mixing = window.findChild<QRadioButton*>(QStringLiteral("optMixing%1").arg(int(standard.mixing)));
    auto* capitalization = window.findChild<QCheckBox*>(QStringLiteral("chkCapitalization"));
    if (!mixing || !capitalization) {
        std::fprintf(stderr, "the editor's controls are missing\n");
        return 1;
    }
    mixing->click();
    capitalization->setChecked(standard.capitalization);
    if (!cold) {
        window.tabMain()->setCurrentIndex(int(EditorTab::LandingPage));
        QCoreApplication::processEvents();
        window.tabMain()->setCurrentIndex(int(EditorTab::Keywords));
    }
    QCoreApplication::processEvents();

    StallMeter meter;
    meter.where = [&window] { return window.statusText(); };
    QElapsedTimer clock;
    qint64 totalMs = -1;
    QStringList messages;
    NotingPrompter prompter;
    prompter.onMessage = [&](const platform::MessageRequest& request) {
        messages << request.title + QStringLiteral(": ") + request.text.section(QLatin1Char('\r'), 0, 0);
        if (totalMs < 0 && request.title == QStringLiteral("Build Campaigns")
            && request.text.startsWith(QStringLiteral("Campaign files have been created"))) {
            meter.stop();
            totalMs = clock.elapsed();
        }
    };
    platform::setPrompter(&prompter);

    meter.start();
    clock.start();
    window.toolAction(int(ToolButton::BuildCampaigns))->trigger();
    platform::setPrompter(nullptr);

    QTextStream out(stdout);
    out << "build_bench " << baseCount << " x " << extCount << " (mode 2, group by mix"
        << (cold ? ", first showing of the Landing Page tab included" : "") << ")\n";
    for (const QString& message : messages)
        out << "  message: " << message << "\n";
    if (totalMs < 0) {
        out << "  the build did not end with its success message\n";
        return 1;
    }
    out << "  click to final message: " << QString::number(double(totalMs) / 1000.0, 'f', 2) << " s\n";
    out << "  longest gap between event-loop turns: " << meter.worst << " ms, ending at " << meter.worstEnd
        << " ms (status \"" << meter.worstWhere << "\")\n";
    out << "  peak RSS: " << peakRssKiB() / 1024 << " MiB\n";
    return 0;
}
