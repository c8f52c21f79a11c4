#pragma once

#include "campaign/clsMain.h"
#include "generator/BuildChecks.h"
#include "generator/CampaignData.h"
#include "generator/CampaignGenerator.h"
#include "generator/ImportFormat.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class Workspace;

// What the build command needs of the window it runs in: the open campaign
// as edited, a status line, the inputs to block, where to send the user
// after a refusal and after the run, and the views of the three import
// files. Messages go through platform::MsgBox.
class BuildHost
{
public:
    // The open campaign as the editor holds it now.
    virtual CampaignData editedCampaign() const = 0;
    virtual void setStatusText(const QString& text) = 0;
    // A check refused the build: the Keywords page in front, the focus on
    // the editor's control of that field.
    virtual void showRefusedInput(CampaignField field) = 0;
    // Blocks, or releases again, the tree, the editor pages and the commands
    // that change the open campaign or start another build.
    virtual void blockCampaignInputs(bool blocked) = 0;
    // Empties the view of an import file: the build writes the file next.
    virtual void clearGeneratedFile(ImportFormat::File file) = 0;
    // Called on the build thread once the three files are written, so that
    // what is slow in showing them (reading and laying out up to a megabyte
    // of text each) happens off the window's thread. The call returned runs
    // on the window's thread next and shows the files.
    virtual std::function<void()> prepareGeneratedFiles(const QString& campaignFolder) = 0;
    // The run has ended and its files are shown: the Landing Page in front.
    virtual void showLandingPage() = 0;

protected:
    ~BuildHost() = default;
};

// The "Build Campaigns" command: checks the workspace's open campaign,
// makes its folder, writes the three import files through the generator
// with progress in the status bar, shows the files again and reports the
// result: success, or every error of the run when there was one (the first
// error is also shown as it happens).
//
// While a build runs the window keeps repainting, but its campaign inputs
// are blocked (BuildHost::blockCampaignInputs) and a second build returns
// at once.
//
// Threading: BuildCampaigns runs on the window's thread, and so do the
// checks, the folder, every message, the status texts and every call of the
// host but prepareGeneratedFiles. The generator (keyword mixing, the ad
// groups and the three files) runs on a build thread of its own, with a
// copy of the campaign, while the window's thread goes on processing events
// inside BuildCampaigns; BuildCampaigns returns once the build thread has
// ended. The build thread reaches the window only through
// prepareGeneratedFiles and calls queued to the window's thread, which run
// in the order it makes them: a status text and the emptying of a file's
// view without waiting, an error by waiting until the window has logged and
// shown it, so that the build goes on (to its next phase, its next file and
// log line) only once the message is closed.
class clsBuildCampaigns : public QObject
{
    Q_OBJECT

public:
    // The workspace names the open campaign and its folder; it must outlive
    // the command.
    clsBuildCampaigns(BuildHost& host, const Workspace& workspace, QObject* parent = nullptr);
    ~clsBuildCampaigns() override;

    // The whole run, on the GUI thread.
    void BuildCampaigns();

    bool isBuilding() const { return m_bBuilding; }

    // What writes the three files on the build thread:
    // generator::GenerateCampaignFiles, unless a test puts one that fails
    // in its place.
    using Generator = std::function<generator::GenerationResult(const generator::GenerationInput&,
                                                                const generator::GenerationCallbacks&)>;
    void setGenerator(Generator generate);

private:
    bool passesChecks(const CampaignData& campaign);
    void refuse(CampaignField focus);
    void runTimeError(const QString& description, bool logged);
    void makeFolder(const QString& path);
    // The generator on the build thread; showFiles is what
    // BuildHost::prepareGeneratedFiles gave.
    generator::GenerationResult generate(const generator::GenerationInput& in, std::function<void()>& showFiles);
    void showResult(const QString& titleWarnings);

    BuildHost& m_host;
    const Workspace& m_workspace;
    Generator m_generate;
    bool m_bBuilding = false;
    bool m_errorShown = false;
    QStringList m_errors; // descriptions of the run's errors, in order
    QString m_stepLabel;
};
