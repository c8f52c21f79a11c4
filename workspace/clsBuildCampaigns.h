#pragma once

#include <QObject>
#include <QString>

class frmMain;

// The main window's "Build Campaigns" command: validates the open campaign
// from the window's controls, makes its folder, writes the three import
// files through the generator with progress in the status bar, reloads the
// generated-files panel and reports the result.
//
// While a build runs the window keeps repainting, but a second build, the
// tree, the Keywords, Ad Groups and Ads pages and the commands that change
// the open campaign are blocked; closing the window waits for the end of
// the build.
class clsBuildCampaigns : public QObject
{
    Q_OBJECT

public:
    // Connects itself to the window's toolbar button "Build Campaigns"
    // (cmdTools8). The window owns the object.
    explicit clsBuildCampaigns(frmMain* window);
    ~clsBuildCampaigns() override;

    // The whole run, on the GUI thread; returns at once when a build is
    // already running.
    void BuildCampaigns();

    bool isBuilding() const { return m_bBuilding; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class InputLock;

    void refuse(const QString& text, const QString& title, const QString& control);
    void runTimeError(const QString& description, bool logged);
    bool makeFolder(const QString& path);
    QString campaignNameFromTree() const;

    frmMain* m_window = nullptr;
    bool m_bBuilding = false;
    bool m_errorShown = false;
    QString m_stepLabel;
};
