#include "workspace/clsBuildCampaigns.h"

#include "core/Globals.h"
#include "core/modCommon.h"
#include "generator/CampaignGenerator.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"
#include "workspace/AdEditor.h"
#include "workspace/GeneratedFilesPanel.h"
#include "workspace/KeywordInputs.h"
#include "workspace/frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTreeWidget>

#include <exception>
#include <optional>
#include <utility>
#include <vector>

using modCommon::WriteErrorLog;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kCrlf = QStringLiteral("\r\n");
const QString kBuildCampaigns = QStringLiteral("Build Campaigns");
const QString kBuildCampaign = QStringLiteral("Build Campaign");
constexpr qint64 kStatusIntervalMs = 40;

QString lineText(QObject* control)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    return QString();
}

bool ticked(QObject* control)
{
    auto* box = qobject_cast<QCheckBox*>(control);
    return box && box->checkState() == Qt::Checked;
}

} // namespace

// Blocks the inputs of the open campaign for its lifetime: the tree, the
// Keywords, Ad Groups and Ads pages, and the commands that change the open
// campaign or start another build. The tab bar stays usable; the enable rule
// that a tab click runs is undone at once while the lock holds.
class clsBuildCampaigns::InputLock
{
public:
    explicit InputLock(frmMain* window)
        : m_window(window)
        , m_tab(window->tabMain()->currentIndex())
    {
        QTabWidget* tabs = window->tabMain();
        m_widgets.emplace_back(window->tvwAccount(), window->tvwAccount()->isEnabled());
        for (int i = 0; i < 3 && i < tabs->count(); ++i)
            m_widgets.emplace_back(tabs->widget(i), tabs->widget(i)->isEnabled());
        for (int i : {0, 2, 3, 5, 6, 7, 8})
            keep(window->toolAction(i));
        for (int i : {1, 2, 5})
            keep(window->menuItem(QStringLiteral("mnuFile"), i));
        for (int i : {1, 3, 4})
            keep(window->menuItem(QStringLiteral("mnuKeyword"), i));
        for (auto& [widget, enabled] : m_widgets)
            widget->setEnabled(false);
        disableActions();
        // Connected after the window's own handlers, so this runs after the
        // enable rule of a tab click.
        m_connections[0] = QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [this] { disableActions(); });
        m_connections[1] = QObject::connect(tabs, &QTabWidget::tabBarClicked, tabs, [this] { disableActions(); });
    }

    ~InputLock() { release(); }

    InputLock(const InputLock&) = delete;
    InputLock& operator=(const InputLock&) = delete;

    void release()
    {
        if (m_released)
            return;
        m_released = true;
        for (const auto& connection : m_connections)
            QObject::disconnect(connection);
        for (auto& [widget, enabled] : m_widgets) {
            if (widget)
                widget->setEnabled(enabled);
        }
        for (auto& [action, enabled] : m_actions) {
            if (action)
                action->setEnabled(enabled);
        }
        // A tab clicked during the build: its enable rule applies now.
        if (m_window && m_window->tabMain()->currentIndex() != m_tab)
            m_window->UpdateUI();
    }

private:
    void keep(QAction* action)
    {
        if (action)
            m_actions.emplace_back(action, action->isEnabled());
    }

    void disableActions()
    {
        for (auto& [action, enabled] : m_actions) {
            if (action)
                action->setEnabled(false);
        }
    }

    QPointer<frmMain> m_window;
    int m_tab = 0;
    bool m_released = false;
    std::vector<std::pair<QPointer<QWidget>, bool>> m_widgets;
    std::vector<std::pair<QPointer<QAction>, bool>> m_actions;
    QMetaObject::Connection m_connections[2];
};

clsBuildCampaigns::clsBuildCampaigns(frmMain* window)
    : QObject(window)
    , m_window(window)
{
    if (QAction* build = window->toolAction(8))
        connect(build, &QAction::triggered, this, [this] { BuildCampaigns(); });
    window->installEventFilter(this);
}

clsBuildCampaigns::~clsBuildCampaigns() = default;

bool clsBuildCampaigns::eventFilter(QObject* watched, QEvent* event)
{
    // The window stays open until the build has finished.
    if (watched == m_window && event->type() == QEvent::Close && m_bBuilding) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void clsBuildCampaigns::refuse(const QString& text, const QString& title, const QString& control)
{
    platform::MsgBox(text, MsgButtons::OK, MsgIcon::Information, title);
    m_window->tabMain()->setCurrentIndex(0);
    m_window->keywordInputs()->focusControl(control);
}

// The run's one error handler: the log line (unless the generator wrote it
// already), the status text, and the message for the first error only.
void clsBuildCampaigns::runTimeError(const QString& description, bool logged)
{
    if (!logged)
        WriteErrorLog(QStringLiteral("BuildCampaigns_Error: ") + description + QStringLiteral(" - ") + m_stepLabel);
    m_window->setStatusText(QStringLiteral("Error occur: ") + description);
    if (!m_errorShown) {
        m_errorShown = true;
        platform::MsgBox(QStringLiteral("Error occur when creating campaign files: ") + description, MsgButtons::OK,
                         MsgIcon::Critical, QStringLiteral("Create Campaign"));
    }
}

bool clsBuildCampaigns::makeFolder(const QString& path)
{
    if (QDir().mkdir(path) || QFileInfo(path).isDir())
        return true;
    runTimeError(QStringLiteral("Cannot create the folder ") + path, false);
    return false;
}

QString clsBuildCampaigns::campaignNameFromTree() const
{
    const QList<QTreeWidgetItem*> selected = m_window->tvwAccount()->selectedItems();
    if (!selected.isEmpty())
        return selected.first()->text(0);
    const auto node = m_window->selectedNode();
    return node ? node->campaign : QString();
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

    KeywordInputs* inputs = m_window->keywordInputs();
    AdEditor* ads = m_window->adEditor();
    auto control = [inputs](const char* name) { return inputs->control(QString::fromLatin1(name)); };

    // 1. Both length limits are 90 inside the generator.
    m_errorShown = false;
    m_stepLabel = QStringLiteral("log point 1");

    // 2. An account node counts as no campaign.
    const std::optional<NodeId> node = m_window->selectedNode();
    if (!node || !node->isCampaign()) {
        platform::MsgBox(QStringLiteral("Invalid campaign. Please select a campaign from the account list and try again."),
                         MsgButtons::OK, MsgIcon::Information, kBuildCampaign);
        return;
    }

    // 3. Campaign folder.
    using platform::Locations::join;
    m_stepLabel = QStringLiteral("log point 2 g_sWorkingFolder = ") + g_sWorkingFolder;
    const QString accountsFolder = join(g_sWorkingFolder, QStringLiteral("Accounts"));
    const QString accountFolder = join(accountsFolder, node->account);
    m_stepLabel = QStringLiteral("log point 2 - path=") + accountFolder;
    if (!QFileInfo(accountFolder).isDir()) {
        if (!QFileInfo(accountsFolder).isDir())
            makeFolder(accountsFolder);
        makeFolder(accountFolder);
    }
    const QString campaignFolder = join(accountFolder, node->campaign);
    m_stepLabel = QStringLiteral("log point 3 sFilePath =") + campaignFolder;
    if (!QFileInfo(campaignFolder).isDir())
        makeFolder(campaignFolder);

    // 4. Empty URL template.
    m_stepLabel = QStringLiteral("log point 4");
    const QString urlTemplate = lineText(control("txtURLTemplate"));
    if (urlTemplate.isEmpty()) {
        const MsgResult answer = platform::MsgBox(
            QStringLiteral("You did not specify keyword landing page URL, it means that it will use the landing URL "
                           "from ads.")
                + kCrlf + kCrlf + QStringLiteral("Are you sure you want to continue?"),
            MsgButtons::YesNo, MsgIcon::Information, kBuildCampaigns);
        if (answer != MsgResult::Yes) {
            m_window->tabMain()->setCurrentIndex(0);
            inputs->focusControl(QStringLiteral("txtURLTemplate"));
            return;
        }
    }

    // 5. Tracking parameters without "?".
    if (urlTemplate.contains(QLatin1Char('=')) && !urlTemplate.contains(QLatin1Char('?'))) {
        refuse(QStringLiteral("Keyword Landing URL must be separated by a '?' between website URL and the tracking "
                              "parameters.")
                   + kCrlf
                   + QStringLiteral("Please double check your Keyword Landing Page URL and make sure the tracking "
                                    "parameters is separated by a '?' then try again."),
               kBuildCampaigns, QStringLiteral("txtURLTemplate"));
        return;
    }

    // 6. Base keywords.
    m_stepLabel = QStringLiteral("log point 5");
    const QString baseKeywords = inputs->baseKeywords();
    if (baseKeywords.isEmpty()) {
        refuse(QStringLiteral("Please enter at least one base keyword."), kBuildCampaigns,
               QStringLiteral("txtBaseKeywords"));
        return;
    }

    // 7. Match types.
    m_stepLabel = QStringLiteral("log point 6");
    const bool broad = ticked(control("chkBroadMatch"));
    const bool phrase = ticked(control("chkPhraseMatch"));
    const bool exact = ticked(control("chkExactMatch"));
    if (!broad && !phrase && !exact) {
        refuse(QStringLiteral("Please choose your keyword match type."), kBuildCampaigns,
               QStringLiteral("chkBroadMatch"));
        return;
    }

    // 8. A template too short to be a web address.
    m_stepLabel = QStringLiteral("log point 7");
    if (!urlTemplate.isEmpty() && urlTemplate.size() < 9) {
        refuse(QStringLiteral("Invalid web site URL. Please make sure to enter the correct URL and try again."),
               kBuildCampaigns, QStringLiteral("txtURLTemplate"));
        return;
    }

    // 9. Bids of the ticked match types, Broad first.
    const QString broadBid = lineText(control("txtBroadBid"));
    const QString phraseBid = lineText(control("txtPhraseBid"));
    const QString exactBid = lineText(control("txtExactBid"));
    const struct {
        const char* label;
        bool ticked;
        const QString& bid;
        const char* type;
        const char* box;
    } bids[] = {
        {"log point 8", broad, broadBid, "Broad", "txtBroadBid"},
        {"log point 9", phrase, phraseBid, "Phrase", "txtPhraseBid"},
        {"log point 10", exact, exactBid, "Exact", "txtExactBid"},
    };
    for (const auto& b : bids) {
        m_stepLabel = QString::fromLatin1(b.label);
        if (b.ticked && b.bid.isEmpty()) {
            refuse(QStringLiteral("Please specify a bid value for ") + QLatin1String(b.type)
                       + QStringLiteral(" Match type."),
                   kBuildCampaign, QString::fromLatin1(b.box));
            return;
        }
    }

    // 10. The build's input, read from the controls.
    m_stepLabel = QStringLiteral("log point 11");
    generator::GenerationInput in;
    in.campaignName = campaignNameFromTree();
    in.campaignFolder = campaignFolder;
    in.baseKeywords = baseKeywords;
    in.extensionKeywords = inputs->extensionKeywords();
    in.broadMatch = broad;
    in.phraseMatch = phrase;
    in.exactMatch = exact;
    in.broadBid = broadBid;
    in.phraseBid = phraseBid;
    in.exactBid = exactBid;
    in.urlTemplate = urlTemplate;
    in.mixing = inputs->optionIndex(QStringLiteral("optMixing"));
    in.grouping = inputs->optionIndex(QStringLiteral("optGrouping"));
    in.includeBaseKeyword = inputs->optionIndex(QStringLiteral("optIncludeBaseKwyword"));
    in.includeExtKeyword = inputs->optionIndex(QStringLiteral("optIncludeExtentKwyword"));
    in.extraGroupText = inputs->optionIndex(QStringLiteral("optExtraGroupText"));
    in.capitalisation = inputs->optionIndex(QStringLiteral("optCaputalization"));
    in.replaceGroupSpace = inputs->optionIndex(QStringLiteral("optReplaceGroupSpace"));
    in.replaceSpace = inputs->optionIndex(QStringLiteral("optReplaceSpace"));
    in.customGroup = lineText(control("txtCustomGroup"));
    in.extraGroupTextValue = lineText(control("txtExtraGroupText"));
    in.maxCPC = lineText(control("txtMaxCPC"));
    in.maxContentCPC = lineText(control("txtMaxContentCPC"));
    in.placementMaxCPC = lineText(control("txtPlacementMaxCPC"));
    in.capitalization = inputs->capitalization();
    for (int slot = 0; slot < int(in.ads.size()); ++slot) {
        const QString n = QString::number(slot);
        generator::AdSlotInput& ad = in.ads[size_t(slot)];
        ad.headline = lineText(ads->control(QStringLiteral("txtHeadline") + n));
        ad.description1 = lineText(ads->control(QStringLiteral("txtDescr1") + n));
        ad.description2 = lineText(ads->control(QStringLiteral("txtDescr2") + n));
        ad.displayURL = lineText(ads->control(QStringLiteral("txtDisplayURL") + n));
        ad.destinationURL = lineText(ads->control(QStringLiteral("txtDestinationURL") + n));
    }

    // 11 to 15: mixing, ad groups and the three files, with the window kept
    // alive between records and its inputs blocked.
    GeneratedFilesPanel* panel = m_window->generatedFilesPanel();
    std::optional<platform::WaitCursor> hourglass;
    hourglass.emplace();
    InputLock lock(m_window);

    generator::GenerationCallbacks callbacks;
    // The counters of a long build change far faster than anyone can read:
    // a new count is shown at most every kStatusIntervalMs (each shown text
    // costs a relayout and repaint of the status bar), a phase's opening
    // text at once. Pending events still run at every progress point.
    QElapsedTimer shown;
    shown.start();
    callbacks.progress = [this, panel, &shown](generator::GenerationPhase phase, qsizetype index,
                                               qsizetype lastIndex) {
        if (index < 0) {
            // Each text view is emptied just before its file is written.
            if (phase == generator::GenerationPhase::KeywordFile) {
                panel->clearTextView(0);
                panel->clearTextView(1);
            } else if (phase == generator::GenerationPhase::AdsFile) {
                panel->clearTextView(1);
            } else if (phase == generator::GenerationPhase::AdGroupFile) {
                panel->clearTextView(2);
            }
        }
        if (index <= 0 || shown.elapsed() >= kStatusIntervalMs) {
            const QString status = generator::GenerationStatusText(phase, index, lastIndex);
            if (!status.isNull()) {
                m_window->setStatusText(status);
                shown.restart();
            }
        }
        QCoreApplication::processEvents();
    };
    callbacks.error = [this](const QString& description) { runTimeError(description, true); };

    m_stepLabel = QStringLiteral("log point 21");
    generator::GenerationResult result;
    try {
        result = generator::GenerateCampaignFiles(in, callbacks);
        m_stepLabel = result.stepLabel;
    } catch (const std::exception& e) {
        // Nothing may escape into the event loop: the run goes on as after
        // any other run-time error.
        runTimeError(QString::fromLocal8Bit(e.what()), false);
    }

    // 16. Show the files.
    WriteErrorLog(QStringLiteral("BuildCampaigns: load ad files ..."));
    panel->LoadAdFiles(campaignFolder);
    lock.release();
    m_window->tabMain()->setCurrentIndex(3);
    hourglass.reset();
    m_window->setStatusText(QStringLiteral("Finish!"));
    WriteErrorLog(QStringLiteral("BuildCampaigns: completed"));

    // 17. Final message.
    const QString done = QStringLiteral("Campaign files have been created successfully.");
    if (result.titleWarnings.isEmpty()) {
        platform::MsgBox(done, MsgButtons::OK, MsgIcon::Information, kBuildCampaigns);
    } else {
        platform::MsgBox(done + kCrlf + kCrlf
                             + QStringLiteral("However, following Titles are exceeded the 30 characters limit because "
                                              "you are using {Base} or {Extension} token in the Title.")
                             + kCrlf + result.titleWarnings + kCrlf + kCrlf
                             + QStringLiteral("Please limit your keywords or combination to less than 30 characters."),
                         MsgButtons::OK, MsgIcon::Exclamation, kBuildCampaigns);
    }
}
