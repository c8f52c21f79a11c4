#include "workspace/frmMain.h"

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/HelpFile.h"
#include "platform/Prompter.h"
#include "platform/ShellOpener.h"
#include "platform/WaitCursor.h"
#include "research/window/frmKeywordResearch.h"
#include "settings/AdwordsEditorPath.h"
#include "settings/clsPreference.h"
#include "settings/clsRegister.h"
#include "workspace/AccountTreeModel.h"
#include "workspace/AdEditor.h"
#include "workspace/Branding.h"
#include "workspace/GeneratedFileTexts.h"
#include "workspace/GeneratedFilesPanel.h"
#include "workspace/KeywordInputs.h"
#include "workspace/PaneRow.h"
#include "workspace/frmNewCampaign.h"
#include "workspace/frmSplash.h"
#include "workspace/landing/LandingPageTab.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <exception>
#include <vector>

using ErrorLog::WriteErrorLog;

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("PPC Quillmark"));
    // The program's icon: every window without one of its own shows it.
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(Branding::programIcon());

    buildMenus();
    buildToolbar();
    buildPanes();
    // The workspace starts in the working folder of the start-up, and the
    // rest of the program follows it when File/Setup moves it.
    m_workspace = new Workspace(*this, g_sWorkingFolder, clsPreference(), this);
    connect(m_workspace, &Workspace::workingFolderChanged, this,
            [](const QString& folder) { g_sWorkingFolder = folder; });
    m_buildCampaigns = new clsBuildCampaigns(*this, *m_workspace, this);
    connect(toolAction(ToolButton::BuildCampaigns), &QAction::triggered, m_buildCampaigns,
            [this] { m_buildCampaigns->BuildCampaigns(); });

    m_treeModel = new AccountTreeModel(m_workspace);
    m_workspace->setTreeObserver(m_treeModel);
    QStyle* s = style();
    m_treeModel->setIcons({
        {QStringLiteral("Account"), s->standardIcon(QStyle::SP_DirClosedIcon)},
        {QStringLiteral("AccountOpen"), s->standardIcon(QStyle::SP_DirOpenIcon)},
        {QStringLiteral("Campaign"), s->standardIcon(QStyle::SP_FileIcon)},
        {QStringLiteral("CampaignOpen"), s->standardIcon(QStyle::SP_FileDialogContentsView)},
    });
    AccountTreeModel* model = m_treeModel;
    m_tvwAccount->setModel(model);
    // Accounts are shown expanded, as loaded.
    connect(model, &QAbstractItemModel::modelReset, m_tvwAccount, &QTreeView::expandAll);
    connect(m_tvwAccount, &QTreeView::expanded, model, [model](const QModelIndex& i) { model->setExpanded(i, true); });
    connect(m_tvwAccount, &QTreeView::collapsed, model, [model](const QModelIndex& i) { model->setExpanded(i, false); });
    connect(m_tvwAccount, &QTreeView::clicked, this, &frmMain::onNodeClicked);
    QItemSelectionModel* selection = m_tvwAccount->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        // Keyboard moves open the node as a click does; a mouse click is
        // handled once, by clicked.
        if (!m_treeUpdating && m_tvwAccount->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
            onNodeClicked(current);
    });
    connect(selection, &QItemSelectionModel::selectionChanged, this, [this, selection] {
        // A click on the empty space below the nodes does not unselect.
        if (!m_treeUpdating && !selection->hasSelection() && selection->currentIndex().isValid())
            selection->select(selection->currentIndex(), QItemSelectionModel::Select);
    });
    resize(1000, 700);
}

frmMain::~frmMain()
{
    // A window of its own, which goes with the main window at the latest.
    delete m_splash;
}

// Blocks the inputs of the open campaign for its lifetime: the tree, the
// Keywords, Ad Groups and Ads pages, and the commands that change the open
// campaign or start another build. The tab bar stays usable; the enable rule
// of a tab clicked meanwhile applies when the block ends.
class frmMain::CampaignInputsBlock
{
public:
    explicit CampaignInputsBlock(frmMain& window)
        : m_window(window)
        , m_tab(window.m_tabMain->currentIndex())
    {
        QTabWidget* tabs = window.m_tabMain;
        m_widgets.emplace_back(window.m_tvwAccount, window.m_tvwAccount->isEnabled());
        for (int i = 0; i < 3 && i < tabs->count(); ++i)
            m_widgets.emplace_back(tabs->widget(i), tabs->widget(i)->isEnabled());
        for (ToolButton button : {ToolButton::New, ToolButton::OpenBaseKeywords, ToolButton::OpenExtensionKeywords,
                                  ToolButton::KeywordBuilder, ToolButton::CopyAd, ToolButton::DeleteAd,
                                  ToolButton::BuildCampaigns})
            keep(window.toolAction(button));
        for (FileItem item : {FileItem::NewCampaign, FileItem::DeleteCampaign, FileItem::Setup})
            keep(window.fileItem(item));
        for (KeywordItem item : {KeywordItem::KeywordBuilder, KeywordItem::LoadBaseKeywords,
                                 KeywordItem::LoadExtensionKeywords})
            keep(window.menuItem(QStringLiteral("mnuKeyword"), int(item)));
        for (auto& [widget, enabled] : m_widgets)
            widget->setEnabled(false);
        for (auto& [action, enabled] : m_actions)
            action->setEnabled(false);
    }

    ~CampaignInputsBlock()
    {
        for (auto& [widget, enabled] : m_widgets)
            widget->setEnabled(enabled);
        for (auto& [action, enabled] : m_actions)
            action->setEnabled(enabled);
    }

    CampaignInputsBlock(const CampaignInputsBlock&) = delete;
    CampaignInputsBlock& operator=(const CampaignInputsBlock&) = delete;

    bool tabChanged() const { return m_window.m_tabMain->currentIndex() != m_tab; }

private:
    void keep(QAction* action)
    {
        if (action)
            m_actions.emplace_back(action, action->isEnabled());
    }

    frmMain& m_window;
    int m_tab = 0;
    std::vector<std::pair<QWidget*, bool>> m_widgets;
    std::vector<std::pair<QAction*, bool>> m_actions;
};

// ---------------------------------------------------------------------------
// Construction

void frmMain::buildMenus()
{
    struct Item {
        int index;
        const char* caption;
    };
    auto addMenu = [this](const QString& name, const QString& title, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(name);
        for (const Item& item : items) {
            QAction* action;
            if (QLatin1String(item.caption) == QLatin1String("-")) {
                action = menu->addSeparator();
            } else {
                action = menu->addAction(QString::fromUtf8(item.caption));
            }
            action->setObjectName(name + QStringLiteral("Items") + QString::number(item.index));
            m_menuItems[name].insert(item.index, action);
        }
        return menu;
    };

    QMenu* file = addMenu(QStringLiteral("mnuFile"), QStringLiteral("&File"),
                          {{1, "&New Campaign"}, {2, "&Delete Campaign"}, {3, "&Save Campaign"}, {4, "-"},
                           {5, "Set&up"}, {6, "-"}, {7, "E&xit"}});
    QMenu* edit = addMenu(QStringLiteral("mnuEdit"), QStringLiteral("Edit"),
                          {{1, "Undo"}, {2, "Redo"}, {3, "-"}, {4, "Cut"}, {5, "Copy"}, {6, "Paste"},
                           {7, "Delete"}, {8, "-"}, {9, "Select All"}, {10, "-"}, {11, "Find"}});
    QMenu* keyword = addMenu(QStringLiteral("mnuKeyword"), QStringLiteral("&Keyword"),
                             {{1, "Keyword &Builder"}, {2, "-"}, {3, "Load Base Keywords From File"},
                              {4, "Load Extention Keywords From File"}});
    m_mnuHelp = addMenu(QStringLiteral("mnuHelp"), QStringLiteral("&Help"),
                        {{1, "Contents"}, {2, "PDF User Guide"}, {3, "-"}, {4, "Support"}, {5, "-"}, {6, "About "}});

    // The Edit menu has no commands; its undo, redo and find items are not shown.
    for (int hidden : {1, 2, 3, 10, 11})
        m_menuItems[QStringLiteral("mnuEdit")].value(hidden)->setVisible(false);

    auto route = [this](QMenu* menu, const QString& name, void (frmMain::*handler)(int)) {
        connect(menu, &QMenu::triggered, this, [this, name, handler](QAction* action) {
            const auto& items = m_menuItems.value(name);
            for (auto it = items.cbegin(); it != items.cend(); ++it) {
                if (it.value() == action)
                    (this->*handler)(it.key());
            }
        });
    };
    route(file, QStringLiteral("mnuFile"), &frmMain::mnuFileItems_Click);
    route(edit, QStringLiteral("mnuEdit"), &frmMain::mnuEditItems_Click);
    route(keyword, QStringLiteral("mnuKeyword"), &frmMain::mnuKeywordItems_Click);
    route(m_mnuHelp, QStringLiteral("mnuHelp"), &frmMain::mnuHelpItems_Click);
}

void frmMain::buildToolbar()
{
    struct Button {
        ToolButton index;
        const char* caption;
        const char* tip;
    };
    static const Button buttons[] = {
        {ToolButton::New, "New", "Create a new campaign"},
        {ToolButton::Save, "Save", "Save campaign"},
        {ToolButton::OpenBaseKeywords, "Open Base KW", "Load base keywords from a file"},
        {ToolButton::OpenExtensionKeywords, "Open Ext. KW", "Load extention keywords from a file"},
        {ToolButton::KeywordBuilder, "Keyword Builder", "Keyword Suggestion tool"},
        {ToolButton::CopyAd, "Copy Ad", "Add a new ad from last ad"},
        {ToolButton::DeleteAd, "Delete Ad", "Delete last ad"},
        {ToolButton::BuildCampaigns, "Build Campaigns", "Build campaigns"},
        {ToolButton::Help, "Help", "Help"},
        {ToolButton::AdwordsEditor, "Adwords Editor", "Open Google AdWords Editor"},
    };
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("tlbToolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const Button& b : buttons) {
        QAction* action = bar->addAction(QString::fromUtf8(b.caption));
        const int index = int(b.index);
        action->setObjectName(QStringLiteral("cmdTools") + QString::number(index));
        action->setToolTip(QString::fromUtf8(b.tip));
        m_tools.insert(index, action);
        // Build Campaigns is connected by its owner.
        if (b.index == ToolButton::BuildCampaigns)
            continue;
        connect(action, &QAction::triggered, this, [this, index] { cmdTools_Click(index); });
    }
    // Launching the AdWords Editor is hidden in the design and shown at load.
    toolAction(ToolButton::AdwordsEditor)->setVisible(false);
}

void frmMain::buildPanes()
{
    auto* right = new QWidget(this);
    right->setObjectName(QStringLiteral("mainArea"));
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(buildWelcomePage());

    m_tabMain = new QTabWidget(right);
    m_tabMain->setObjectName(QStringLiteral("tabMain"));
    auto* keywordsPage = new QWidget(m_tabMain);
    keywordsPage->setObjectName(QStringLiteral("tabMainKeywords"));
    auto* adGroupsPage = new QWidget(m_tabMain);
    adGroupsPage->setObjectName(QStringLiteral("tabMainAdGroups"));
    auto* adsPage = new QWidget(m_tabMain);
    adsPage->setObjectName(QStringLiteral("tabMainAds"));
    m_tabAdFile = new QTabWidget(m_tabMain);
    m_tabAdFile->setObjectName(QStringLiteral("tabAdFile"));
    m_tabMain->addTab(keywordsPage, QStringLiteral("Keywords"));
    m_tabMain->addTab(adGroupsPage, QStringLiteral("Ad Groups"));
    m_tabMain->addTab(adsPage, QStringLiteral("Ads"));
    m_landingPage = new LandingPageTab(m_tabMain);
    m_tabMain->addTab(m_landingPage, QStringLiteral("Landing Page"));
    m_tabMain->addTab(m_tabAdFile, QStringLiteral("Adwords Files"));
    rightLayout->addWidget(m_tabMain);

    m_keywordInputs = new KeywordInputs(keywordsPage, adGroupsPage, this);
    m_adEditor = new AdEditor(adsPage, this);
    m_panel = new GeneratedFilesPanel(m_tabAdFile, this);

    // The enable rule follows the tab the user brings to the front.
    connect(m_tabMain, &QTabWidget::currentChanged, this, [this] { UpdateUI(); });
    connect(m_tabMain, &QTabWidget::tabBarClicked, this, [this] { UpdateUI(); });

    // The tree's pane on the left: one tab "Accounts" holding picLeft.
    m_columns = new PaneRow(buildTree(nullptr), right, this);
    setCentralWidget(m_columns);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("stbStatusBar"));
    m_statusPanel = new QLabel(status);
    m_statusPanel->setObjectName(QStringLiteral("stbStatusBarPanel1"));
    status->addWidget(m_statusPanel, 1);
    setStatusBar(status);

    showEditor(false);
}

QWidget* frmMain::buildTree(QWidget* parent)
{
    auto* picLeft = new QWidget(parent);
    picLeft->setObjectName(QStringLiteral("picLeft"));
    auto* leftLayout = new QVBoxLayout(picLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_tvwAccount = new QTreeView(picLeft);
    m_tvwAccount->setObjectName(QStringLiteral("tvwAccount"));
    m_tvwAccount->setHeaderHidden(true);
    m_tvwAccount->setUniformRowHeights(true);
    m_tvwAccount->setSelectionMode(QAbstractItemView::SingleSelection);
    leftLayout->addWidget(m_tvwAccount);
    return picLeft;
}

QWidget* frmMain::buildWelcomePage()
{
    m_contWelcome = new QGroupBox(QStringLiteral("Welcome to PPC Quillmark"), this);
    m_contWelcome->setObjectName(QStringLiteral("contWelcome"));
    auto* outer = new QVBoxLayout(m_contWelcome);

    auto* about = new QGroupBox(QStringLiteral("Welcome To PPC Quillmark"), m_contWelcome);
    about->setObjectName(QStringLiteral("contAboutQuillmark"));
    auto* lines = new QVBoxLayout(about);
    static const char* const features[] = {
        "Create 5000+ AdGroups with 2 or 3 ads per AdGroups in less than 10 minutes.",
        "Save money by keeping your estimated budget and increase the return on your investment",
        "Gain quality traffic to your website and boost click through rates on your ads",
        "Improve Quality Score and lower you bid costs simultaneously",
        "Successfully launch high quality relevant PPC campaigns",
        "Managing and reducing the escalation of pay per click costs",
    };
    const QPixmap bullet = style()->standardIcon(QStyle::SP_ArrowRight).pixmap(12, 12);
    for (int i = 0; i < 6; ++i) {
        auto* line = new QHBoxLayout;
        auto* img = new QLabel(about);
        img->setObjectName(QStringLiteral("imgStpes") + QString::number(i));
        img->setPixmap(bullet);
        auto* label = new QLabel(QString::fromUtf8(features[i]), about);
        label->setObjectName(QStringLiteral("lblProfile") + QString::number(i));
        line->addWidget(img);
        line->addWidget(label, 1);
        lines->addLayout(line);
    }
    auto* start = new QPushButton(QStringLiteral("Create New Campaign"), about);
    start->setObjectName(QStringLiteral("cmdStart"));
    connect(start, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    lines->addWidget(start, 0, Qt::AlignLeft);

    outer->addWidget(about);
    outer->addStretch();
    return m_contWelcome;
}

// ---------------------------------------------------------------------------
// Load and close

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_loaded)
        Form_Load();
}

void frmMain::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    WriteErrorLog(QStringLiteral("frmMain form load start "));
    const platform::WaitCursor hourglass;
    try {
        WriteErrorLog(QStringLiteral("frmMain: set ListView "));
        toolAction(ToolButton::AdwordsEditor)->setVisible(true);
        WriteErrorLog(QStringLiteral("frmMain: show frmSplash "));
        m_splash = new frmSplash(g_oRegister ? g_oRegister->DealerID() : QString(), AppTitle());
        m_splash->Form_Load();
        showTab(EditorTab::Keywords);
        m_tabAdFile->setCurrentIndex(0);

        m_workspace->load();
        WriteErrorLog(QStringLiteral("frmMain: Landing page tab "));
        m_landingPage->SetUp();
        WriteErrorLog(QStringLiteral("frmMain: end of landing page tab "));
    } catch (const std::exception& e) {
        const QString what = QString::fromLocal8Bit(e.what());
        if (m_splash)
            m_splash->close();
        platform::MsgBox(QStringLiteral("Error occur while loading the program. Please report this error to the the "
                                        "software vendor at '")
                             + g_sSupportEmail + QStringLiteral("'.\r\n\r\nError: ") + what,
                         platform::MsgButtons::OK, platform::MsgIcon::Critical, AppTitle());
        WriteErrorLog(QStringLiteral("FrmMain_load_Error: ") + what + QDateTime::currentDateTime().toString());
        return;
    }
    WriteErrorLog(QStringLiteral("frmMain: form load completed."));
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // The window stays open until a running build has finished.
    if (m_buildCampaigns->isBuilding()) {
        event->ignore();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

bool frmMain::Form_QueryUnload()
{
    // The edited landing page lives only in the editor, which goes with the
    // window: it is saved, or given up by the user, before the campaign.
    const QString question = QStringLiteral("Close the program anyway?");
    if (!m_landingPage->SaveEditsBeforeLeaving(question))
        return false;
    const QScopedValueRollback<bool> pageSettled(m_landingPageSettled, true);
    return m_workspace->saveBeforeLeaving(question);
}

void frmMain::Form_Unload()
{
    if (m_splash)
        m_splash->close();
    m_workspace->close(isMinimized() ? QString() : windowPositionText());
    if (g_oRegister) {
        g_oRegister->SaveSettings();
        g_oRegister.reset();
    }
}

QString frmMain::windowPositionText() const
{
    const QRect r = frameGeometry();
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    auto twips = [dpi](int px) { return QString::number(qint64(px) * 1440 / dpi); };
    return twips(r.left()) + QLatin1Char(',') + twips(r.top()) + QLatin1Char(',') + twips(r.width())
        + QLatin1Char(',') + twips(r.height());
}

// ---------------------------------------------------------------------------
// Tree

std::optional<NodeId> frmMain::treeSelection() const
{
    const QModelIndexList selected = m_tvwAccount->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return m_treeModel->nodeAt(selected.first());
}

void frmMain::onNodeClicked(const QModelIndex& index)
{
    if (const std::optional<NodeId> node = m_treeModel->nodeAt(index))
        m_workspace->tvwAccount_NodeClick(*node);
}

void frmMain::showSelection(const std::optional<NodeId>& node)
{
    m_treeUpdating = true;
    const QModelIndex index = node ? m_treeModel->indexOf(*node) : QModelIndex();
    if (index.isValid())
        m_tvwAccount->setCurrentIndex(index);
    else
        m_tvwAccount->selectionModel()->clear();
    m_treeUpdating = false;
}

void frmMain::NewCampaign()
{
    if (!m_workspace->saveBeforeLeaving(QStringLiteral("Create a new campaign anyway?")))
        return;
    frmNewCampaign dialog(this);
    dialog.PopulateProjects(&m_workspace->accounts());
    const int result = dialog.exec();
    if (result != QDialog::Accepted || dialog.Cancelled())
        return;
    m_workspace->addNewCampaign(dialog.AccountName(), dialog.Campaign());
}

// ---------------------------------------------------------------------------
// The editor, as the workspace and the build see it

CampaignData frmMain::editedCampaign() const
{
    CampaignData data;
    m_keywordInputs->store(data);
    data.ads = m_adEditor->adSlots();
    data.landingPagePath = m_landingPage->pagePath();
    return data;
}

void frmMain::emptyEditor()
{
    m_keywordInputs->clear();
    m_adEditor->clear();
}

void frmMain::fillEditor(const CampaignData& campaign)
{
    m_keywordInputs->load(campaign);
    m_adEditor->load(campaign.ads);
    m_landingPage->setPagePath(campaign.landingPagePath);
}

void frmMain::saveLandingPage()
{
    if (!m_landingPageSettled)
        m_landingPage->SaveEdits();
}

void frmMain::showGeneratedFiles(const QString& campaignFolder)
{
    m_panel->LoadAdFiles(campaignFolder);
}

void frmMain::clearGeneratedFiles()
{
    m_panel->clear();
}

void frmMain::showTab(EditorTab tab)
{
    m_tabMain->setCurrentIndex(int(tab));
}

void frmMain::showRefusedInput(CampaignField field)
{
    showTab(EditorTab::Keywords);
    m_keywordInputs->focusControl(KeywordInputs::controlName(field));
}

void frmMain::showLandingPage()
{
    showTab(EditorTab::LandingPage);
}

void frmMain::clearGeneratedFile(ImportFormat::File file)
{
    m_panel->clearTextView(int(file));
}

std::function<void()> frmMain::prepareGeneratedFiles(const QString& campaignFolder)
{
    // On the build thread: the texts are read and laid out for this window's thread.
    auto texts = std::make_shared<GeneratedFileTexts>(GeneratedFileTexts::read(campaignFolder, thread()));
    return [this, campaignFolder, texts] { m_panel->LoadAdFiles(campaignFolder, std::move(*texts)); };
}

void frmMain::blockCampaignInputs(bool blocked)
{
    if (blocked) {
        m_inputsBlock = std::make_unique<CampaignInputsBlock>(*this);
        return;
    }
    const bool tabChanged = m_inputsBlock && m_inputsBlock->tabChanged();
    m_inputsBlock.reset();
    if (tabChanged)
        UpdateUI();
}

// ---------------------------------------------------------------------------
// Commands

void frmMain::mnuFileItems_Click(int index)
{
    switch (FileItem(index)) {
    case FileItem::NewCampaign:
        NewCampaign();
        break;
    case FileItem::DeleteCampaign:
        m_workspace->DeleteCampaign();
        break;
    case FileItem::SaveCampaign:
        m_workspace->SaveCampaign();
        break;
    case FileItem::Setup:
        ShowPreferences();
        break;
    case FileItem::Exit:
        close();
        break;
    }
}

void frmMain::mnuEditItems_Click(int)
{
}

void frmMain::mnuKeywordItems_Click(int index)
{
    switch (KeywordItem(index)) {
    case KeywordItem::LoadBaseKeywords:
        LoadBaseKeywords();
        break;
    case KeywordItem::LoadExtensionKeywords:
        LoadExtKeywords();
        break;
    case KeywordItem::KeywordBuilder:
        KeywordResearch();
        break;
    }
}

QString frmMain::helpFile() const
{
    return platform::helpFile();
}

void frmMain::setHelpFile(const QString& path)
{
    platform::setHelpFile(path);
}

void frmMain::mnuHelpItems_Click(int index)
{
    switch (HelpItem(index)) {
    case HelpItem::Contents:
        if (!QFileInfo(helpFile()).isFile()) {
            platform::MsgBox(platform::missingHelpFileMessage(helpFile()), platform::MsgButtons::OK,
                             platform::MsgIcon::Information, QStringLiteral("Help Contents"));
        } else {
            openOrTell(helpFile(), 1, QStringLiteral("Help Contents"));
        }
        break;
    case HelpItem::PdfUserGuide:
        openOrTell(g_oRegister ? g_oRegister->PDFLocation() : QString(), 10, QStringLiteral("PDF User Guide"));
        break;
    case HelpItem::Support:
        openOrTell(g_oRegister ? g_oRegister->SupportURL() : QString(), 1, QStringLiteral("Support"));
        break;
    case HelpItem::About:
        if (m_aboutHook)
            m_aboutHook(this);
        break;
    }
}

void frmMain::cmdTools_Click(int index)
{
    switch (ToolButton(index)) {
    case ToolButton::New:
        NewCampaign();
        break;
    case ToolButton::Save:
        m_workspace->SaveCampaign();
        break;
    case ToolButton::OpenBaseKeywords:
        LoadBaseKeywords();
        break;
    case ToolButton::OpenExtensionKeywords:
        LoadExtKeywords();
        break;
    case ToolButton::Paste:
        Paste();
        break;
    case ToolButton::CopyAd:
        m_adEditor->CopyAd();
        break;
    case ToolButton::DeleteAd:
        m_adEditor->DeleteAd();
        break;
    case ToolButton::BuildCampaigns:
        m_buildCampaigns->BuildCampaigns();
        break;
    case ToolButton::Help:
        m_mnuHelp->popup(QCursor::pos());
        break;
    case ToolButton::AdwordsEditor:
        LaunchAdwordsEditor();
        break;
    case ToolButton::KeywordBuilder:
        KeywordResearch();
        break;
    }
}

void frmMain::cmdStart_Click()
{
    cmdTools_Click(int(ToolButton::New));
}

void frmMain::Paste()
{
    if (QPlainTextEdit* target = m_keywordInputs->pasteTarget())
        target->insertPlainText(QApplication::clipboard()->text());
}

bool frmMain::campaignOpenFor(const QString& command)
{
    if (m_workspace->openCampaign())
        return true;
    platform::MsgBox(QStringLiteral("No campaign is open. Please open a campaign in the tree, or create a new one, "
                                    "first."),
                     platform::MsgButtons::OK, platform::MsgIcon::Information, command);
    return false;
}

void frmMain::LoadBaseKeywords()
{
    if (campaignOpenFor(QStringLiteral("Load Base Keywords From File")))
        m_keywordInputs->LoadBaseKeywords();
}

void frmMain::LoadExtKeywords()
{
    if (campaignOpenFor(QStringLiteral("Load Extention Keywords From File")))
        m_keywordInputs->LoadExtKeywords();
}

void frmMain::KeywordResearch()
{
    showKeywordResearch(this, [this](const QStringList& keywords, KeywordBox box) {
        if (campaignOpenFor(QStringLiteral("Keyword Builder")))
            m_keywordInputs->AddKeywordsLine(keywords, box);
    });
}

void frmMain::setEnabled(QAction* action, bool enabled)
{
    if (action)
        action->setEnabled(enabled);
}

void frmMain::UpdateUI()
{
    if (m_inputsBlock)
        return; // the block decides until it ends
    static const ToolButton kCampaignButtons[] = {
        ToolButton::Save, ToolButton::OpenBaseKeywords, ToolButton::OpenExtensionKeywords, ToolButton::KeywordBuilder,
        ToolButton::CopyAd, ToolButton::DeleteAd, ToolButton::BuildCampaigns};
    const bool empty = m_workspace->accounts().isEmpty();
    setEnabled(fileItem(FileItem::DeleteCampaign), !empty);
    setEnabled(fileItem(FileItem::SaveCampaign), !empty);
    for (ToolButton button : kCampaignButtons)
        setEnabled(toolAction(button), !empty);
    if (empty) {
        m_keywordInputs->setIncludePanels(true, false);
        return;
    }
    bool loadKeywords = true;
    bool ads = true;
    switch (EditorTab(m_tabMain->currentIndex())) {
    case EditorTab::Keywords:
        ads = false;
        break;
    case EditorTab::AdGroups:
        loadKeywords = false;
        ads = false;
        break;
    case EditorTab::Ads:
        loadKeywords = false;
        break;
    case EditorTab::LandingPage:
    case EditorTab::AdwordsFiles:
        break;
    }
    setEnabled(toolAction(ToolButton::OpenBaseKeywords), loadKeywords);
    setEnabled(toolAction(ToolButton::OpenExtensionKeywords), loadKeywords);
    setEnabled(toolAction(ToolButton::CopyAd), ads);
    setEnabled(toolAction(ToolButton::DeleteAd), ads);
}

void frmMain::ShowPreferences()
{
    m_workspace->changeSettings([this] {
        if (m_preferencesHook)
            m_preferencesHook(this);
    });
}

void frmMain::LaunchAdwordsEditor()
{
    clsPreference preference;
    preference.GetSettings();
    QString path = AdwordsEditorProgram(preference.GoogleAdwordsEditor());
    if (!QFileInfo(path).isFile()) {
        platform::MsgBox(QStringLiteral("Google Adwords Editor is not installed on this PC. Please download and "
                                        "install it now from Google website."),
                         platform::MsgButtons::OK, platform::MsgIcon::Information, QStringLiteral("Build Campaign"));
        path = QStringLiteral("https://www.google.com/intl/en/adwordseditor/index.html");
    }
    openOrTell(path, 1, QStringLiteral("Adwords Editor"));
}

void frmMain::openOrTell(const QString& target, int showMode, const QString& title)
{
    if (platform::ShellOpen(target, showMode) != 0)
        return;
    platform::MsgBox(QStringLiteral("Cannot open '") + target
                         + QStringLiteral("': it does not exist, or the desktop has no program that opens it."),
                     platform::MsgButtons::OK, platform::MsgIcon::Exclamation, title);
}

// ---------------------------------------------------------------------------
// Parts of the window

QAction* frmMain::toolAction(int index) const
{
    return m_tools.value(index, nullptr);
}

QAction* frmMain::menuItem(const QString& menu, int index) const
{
    return m_menuItems.value(menu).value(index, nullptr);
}

QString frmMain::statusText() const
{
    return m_statusPanel->text();
}

void frmMain::setStatusText(const QString& text)
{
    m_statusPanel->setText(text);
}

QAction* frmMain::fileItem(FileItem item) const
{
    return menuItem(QStringLiteral("mnuFile"), int(item));
}

bool frmMain::isWelcomeShown() const
{
    return !m_contWelcome->isHidden() && m_tabMain->isHidden();
}

void frmMain::showEditor(bool editor)
{
    m_contWelcome->setVisible(!editor);
    m_tabMain->setVisible(editor);
}
