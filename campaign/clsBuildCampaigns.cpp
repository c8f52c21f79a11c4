#include "campaign/clsBuildCampaigns.h"

#include "campaign/CampaignStore.h"
#include "campaign/Workspace.h"
#include "core/ErrorLog.h"
#include "generator/CampaignGenerator.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <exception>
#include <functional>
#include <optional>
#include <thread>
#include <utility>

using ErrorLog::WriteErrorLog;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kCrlf = QStringLiteral("\r\n");
constexpr qint64 kStatusIntervalMs = 40;

// Releases the blocked inputs however the run ends.
class InputBlock
{
public:
    explicit InputBlock(BuildHost& host)
        : m_host(host)
    {
        m_host.blockCampaignInputs(true);
    }
    ~InputBlock() { release(); }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

    void release()
    {
        if (!m_released)
            m_host.blockCampaignInputs(false);
        m_released = true;
    }

private:
    BuildHost& m_host;
    bool m_released = false;
};

} // namespace

clsBuildCampaigns::clsBuildCampaigns(BuildHost& host, const Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_workspace(workspace)
    , m_generate(generator::GenerateCampaignFiles)
{
}

clsBuildCampaigns::~clsBuildCampaigns() = default;

void clsBuildCampaigns::setGenerator(Generator generate)
{
    m_generate = std::move(generate);
}

void clsBuildCampaigns::refuse(CampaignField focus)
{
    m_host.showRefusedInput(focus);
}

// The run's one error handler: the log line (unless the generator wrote it
// already), the status text, and the message for the first error only.
void clsBuildCampaigns::runTimeError(const QString& description, bool logged)
{
    if (!logged)
        WriteErrorLog(QStringLiteral("BuildCampaigns_Error: ") + description + QStringLiteral(" - ") + m_stepLabel);
    m_errors << description;
    m_host.setStatusText(QStringLiteral("Error occur: ") + description);
    if (!m_errorShown) {
        m_errorShown = true;
        platform::MsgBox(QStringLiteral("Error occur when creating campaign files: ") + description, MsgButtons::OK,
                         MsgIcon::Critical, QStringLiteral("Create Campaign"));
    }
}

void clsBuildCampaigns::makeFolder(const QString& path)
{
    if (!QDir().mkdir(path) && !QFileInfo(path).isDir())
        runTimeError(QStringLiteral("Cannot create the folder ") + path, false);
}

// Asks the question or shows the refusal of every check the campaign fails,
// until one gives the build up.
bool clsBuildCampaigns::passesChecks(const CampaignData& campaign)
{
    bool emptyTemplateAccepted = false;
    while (const std::optional<BuildRefusal> refusal = FirstBuildRefusal(campaign, emptyTemplateAccepted)) {
        if (refusal->question) {
            if (platform::MsgBox(refusal->text, MsgButtons::YesNo, refusal->icon, refusal->title) == MsgResult::Yes) {
                emptyTemplateAccepted = true;
                continue;
            }
        } else {
            platform::MsgBox(refusal->text, MsgButtons::OK, refusal->icon, refusal->title);
        }
        refuse(refusal->focus);
        return false;
    }
    return true;
}

void clsBuildCampaigns::BuildCampaigns()
{
    if (m_bBuilding)
        return;
    m_bBuilding = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } running{m_bBuilding};

    // 1. Both length limits are 90 inside the generator.
    m_errorShown = false;
    m_errors.clear();
    m_stepLabel = QStringLiteral("log point 1");

    // 2. The open campaign.
    const std::optional<NodeId> node = m_workspace.openCampaign();
    if (!node) {
        platform::MsgBox(QStringLiteral("Invalid campaign. Please select a campaign from the account list and try again."),
                         MsgButtons::OK, MsgIcon::Information, QStringLiteral("Build Campaign"));
        return;
    }

    // 3. Its folder, made before anything is checked.
    const QString workingFolder = m_workspace.workingFolder();
    // The label keeps the wording that the log has always shown.
    m_stepLabel = QStringLiteral("log point 2 g_sWorkingFolder = ") + workingFolder;
    const QString accountsFolder = CampaignStore::accountsFolder(workingFolder);
    const QString accountFolder = CampaignStore::accountFolder(workingFolder, node->account);
    m_stepLabel = QStringLiteral("log point 2 - path=") + accountFolder;
    if (!QFileInfo(accountFolder).isDir()) {
        if (!QFileInfo(accountsFolder).isDir())
            makeFolder(accountsFolder);
        makeFolder(accountFolder);
    }
    const QString campaignFolder = m_workspace.campaignFolder();
    m_stepLabel = QStringLiteral("log point 3 sFilePath =") + campaignFolder;
    if (!QFileInfo(campaignFolder).isDir())
        makeFolder(campaignFolder);

    // 4 to 9. The checks of the campaign as the editor holds it.
    m_stepLabel = QStringLiteral("log point 4");
    generator::GenerationInput in{node->campaign, campaignFolder, m_host.editedCampaign()};
    if (!passesChecks(in.campaign))
        return;

    // 10 to 15: mixing, ad groups and the three files, with the window's
    // campaign inputs blocked.
    m_stepLabel = QStringLiteral("log point 11");
    std::optional<platform::WaitCursor> hourglass;
    hourglass.emplace();
    InputBlock block(m_host);

    m_stepLabel = QStringLiteral("log point 21");
    std::function<void()> showFiles;
    const generator::GenerationResult result = generate(in, showFiles);

    // 16. Show the files.
    WriteErrorLog(QStringLiteral("BuildCampaigns: load ad files ..."));
    if (showFiles)
        showFiles();
    block.release();
    m_host.showLandingPage();
    hourglass.reset();
    m_host.setStatusText(QStringLiteral("Finish!"));
    WriteErrorLog(QStringLiteral("BuildCampaigns: completed"));

    // 17.
    showResult(result.titleWarnings);
}

// Steps 11 to 15 on the build thread (see the header), with the status
// texts, the emptying of the files' views and the errors on the window's;
// the build thread then prepares the new files for their views.
generator::GenerationResult clsBuildCampaigns::generate(const generator::GenerationInput& in,
                                                        std::function<void()>& showFiles)
{
    using ImportFormat::File;
    const auto onWindow = [this](std::function<void()> call, Qt::ConnectionType type = Qt::QueuedConnection) {
        QMetaObject::invokeMethod(this, std::move(call), type);
    };
    generator::GenerationCallbacks callbacks;
    // The counters of a long build change far faster than anyone can read:
    // a new count is shown at most every kStatusIntervalMs (each shown text
    // costs a relayout and repaint of the status bar), a phase's opening
    // text at once.
    QElapsedTimer shown; // used on the build thread only
    shown.start();
    callbacks.progress = [this, &shown, onWindow](generator::GenerationPhase phase, qsizetype index,
                                                  qsizetype lastIndex) {
        if (index < 0) {
            // Each file's view is emptied just before the file is written.
            if (phase == generator::GenerationPhase::KeywordFile)
                onWindow([this] {
                    m_host.clearGeneratedFile(File::Keywords);
                    m_host.clearGeneratedFile(File::Ads);
                });
            else if (phase == generator::GenerationPhase::AdsFile)
                onWindow([this] { m_host.clearGeneratedFile(File::Ads); });
            else if (phase == generator::GenerationPhase::AdGroupFile)
                onWindow([this] { m_host.clearGeneratedFile(File::AdGroups); });
        }
        if (index <= 0 || shown.elapsed() >= kStatusIntervalMs) {
            const QString status = generator::GenerationStatusText(phase, index, lastIndex);
            if (!status.isNull()) {
                onWindow([this, status] { m_host.setStatusText(status); });
                shown.restart();
            }
        }
    };
    callbacks.error = [this, onWindow](const QString& description) {
        onWindow([this, description] { runTimeError(description, true); }, Qt::BlockingQueuedConnection);
    };

    generator::GenerationResult result;
    std::optional<QString> failure;
    bool ended = false;
    std::thread build([&] {
        try {
            result = m_generate(in, callbacks);
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
        }
        showFiles = m_host.prepareGeneratedFiles(in.campaignFolder);
        onWindow([&ended] { ended = true; });
    });
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    build.join();
    if (failure) {
        // Nothing may escape into the event loop: the run goes on as after
        // any other run-time error.
        runTimeError(*failure, false);
    } else {
        m_stepLabel = result.stepLabel;
    }
    return result;
}

void clsBuildCampaigns::showResult(const QString& titleWarnings)
{
    const QString title = QStringLiteral("Build Campaigns");
    if (!m_errors.isEmpty()) {
        // The error message named the first failure only: the end of the run
        // says what is missing instead of claiming success.
        platform::MsgBox(QStringLiteral("Campaign files could not all be created:") + kCrlf + kCrlf
                             + m_errors.join(kCrlf),
                         MsgButtons::OK, MsgIcon::Exclamation, title);
        return;
    }
    const QString done = QStringLiteral("Campaign files have been created successfully.");
    if (titleWarnings.isEmpty()) {
        platform::MsgBox(done, MsgButtons::OK, MsgIcon::Information, title);
        return;
    }
    platform::MsgBox(done + kCrlf + kCrlf
                         + QStringLiteral("However, following Titles are exceeded the 30 characters limit because "
                                          "you are using {Base} or {Extension} token in the Title.")
                         + kCrlf + titleWarnings + kCrlf + kCrlf
                         + QStringLiteral("Please limit your keywords or combination to less than 30 characters."),
                     MsgButtons::OK, MsgIcon::Exclamation, title);
}
