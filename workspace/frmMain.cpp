#include "workspace/frmMain.h"

#include "core/Globals.h"
#include "core/RegistryAPI.h"
#include "core/modCommon.h"
#include "platform/HelpFile.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"
#include "settings/clsPreference.h"
#include "settings/clsRegister.h"
#include "workspace/AdEditor.h"
#include "workspace/CampaignStore.h"
#include "workspace/GeneratedFilesPanel.h"
#include "workspace/clsBuildCampaigns.h"
#include "workspace/KeywordInputs.h"
#include "workspace/frmNewCampaign.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

using modCommon::WriteErrorLog;

namespace {

const QString kCampaignOpen = QStringLiteral("CampaignOpen");

enum ItemRole { AccountRole = Qt::UserRole, CampaignRole, ImageRole };

NodeId nodeOf(const QTreeWidgetItem* item)
{
    return NodeId{item->data(0, AccountRole).toString(), item->data(0, CampaignRole).toString()};
}

QString lastSelectAcc()
{
    return RegistryAPI::GetRegistryValue(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey,
                                         QStringLiteral("LastSelectAcc"), RegistryAPI::REG_SZ, QString())
        .toString();
}

void setPreferenceValue(const QString& name, const QString& value)
{
    RegistryAPI::CreateRegistryKey(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey);
    RegistryAPI::SetRegistryValue(RegistryAPI::HKEY_CURRENT_USER, g_sPreferenceKey, name, RegistryAPI::REG_SZ, value);
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
    , m_main(std::make_unique<clsMain>(g_sWorkingFolder))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("PPC Quillmark"));

    QStyle* s = style();
    m_imgMain.insert(QStringLiteral("Account"), s->standardIcon(QStyle::SP_DirClosedIcon));
    m_imgMain.insert(QStringLiteral("AccountOpen"), s->standardIcon(QStyle::SP_DirOpenIcon));
    m_imgMain.insert(QStringLiteral("Campaign"), s->standardIcon(QStyle::SP_FileIcon));
    m_imgMain.insert(kCampaignOpen, s->standardIcon(QStyle::SP_FileDialogContentsView));

    buildMenus();
    buildToolbar();
    buildPanes();
    m_buildCampaigns = new clsBuildCampaigns(*this, this);
    connect(toolAction(8), &QAction::triggered, m_buildCampaigns, [this] { m_buildCampaigns->BuildCampaigns(); });
    resize(1000, 700);
}

frmMain::~frmMain() = default;

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
        for (int i : {0, 2, 3, 5, 6, 7, 8})
            keep(window.toolAction(i));
        for (int i : {1, 2, 5})
            keep(window.menuItem(QStringLiteral("mnuFile"), i));
        for (int i : {1, 3, 4})
            keep(window.menuItem(QStringLiteral("mnuKeyword"), i));
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
        int index;
        const char* caption;
        const char* tip;
    };
    static const Button buttons[] = {
        {0, "New", "Create a new campaign"},
        {1, "Save", "Save campaign"},
        {2, "Open Base KW", "Load base keywords from a file"},
        {3, "Open Ext. KW", "Load extention keywords from a file"},
        {5, "Keyword Builder", "Keyword Suggestion tool"},
        {6, "Copy Ad", "Add a new ad from last ad"},
        {7, "Delete Ad", "Delete last ad"},
        {8, "Build Campaigns", "Build campaigns"},
        {9, "Help", "Help"},
        {10, "Adwords Editor", "Open Google AdWords Editor"},
    };
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("tlbToolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const Button& b : buttons) {
        QAction* action = bar->addAction(QString::fromUtf8(b.caption));
        action->setObjectName(QStringLiteral("cmdTools") + QString::number(b.index));
        action->setToolTip(QString::fromUtf8(b.tip));
        m_tools.insert(b.index, action);
        // Keyword Builder and Build Campaigns are connected by their owners.
        if (b.index == 5 || b.index == 8)
            continue;
        const int index = b.index;
        connect(action, &QAction::triggered, this, [this, index] { cmdTools_Click(index); });
    }
    // Launching the AdWords Editor is hidden in the design and shown at load.
    m_tools.value(10)->setVisible(false);
}

void frmMain::buildPanes()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);

    // Left pane: one tab "Accounts" holding the tree.
    m_tabLeft = new QTabWidget(central);
    m_tabLeft->setObjectName(QStringLiteral("tabLeft"));
    auto* picLeft = new QWidget(m_tabLeft);
    picLeft->setObjectName(QStringLiteral("picLeft"));
    auto* leftLayout = new QVBoxLayout(picLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_tvwAccount = new QTreeWidget(picLeft);
    m_tvwAccount->setObjectName(QStringLiteral("tvwAccount"));
    m_tvwAccount->setHeaderHidden(true);
    m_tvwAccount->setColumnCount(1);
    m_tvwAccount->setSelectionMode(QAbstractItemView::SingleSelection);
    leftLayout->addWidget(m_tvwAccount);
    m_tabLeft->addTab(picLeft, QStringLiteral("Accounts"));
    m_tabLeft->setFixedWidth(200);
    row->addWidget(m_tabLeft);

    connect(m_tvwAccount, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { onItemClicked(item); });
    connect(m_tvwAccount, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        // Keyboard moves open the node as a click does; a mouse click is
        // handled once, by itemClicked.
        if (!m_treeUpdating && item && m_tvwAccount->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
            onItemClicked(item);
    });
    connect(m_tvwAccount, &QTreeWidget::itemSelectionChanged, this, [this] {
        // A click on the empty space below the nodes does not unselect.
        if (m_tvwAccount->selectedItems().isEmpty() && m_tvwAccount->currentItem())
            m_tvwAccount->currentItem()->setSelected(true);
    });
    connect(m_tvwAccount, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { showExpandedImage(item); });
    connect(m_tvwAccount, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        item->setIcon(0, nodeIcon(item->data(0, ImageRole).toString()));
    });

    auto* splitter = new QFrame(central);
    splitter->setObjectName(QStringLiteral("picSpliterVertical"));
    splitter->setFrameShape(QFrame::VLine);
    splitter->setFixedWidth(6);
    row->addWidget(splitter);

    auto* right = new QWidget(central);
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
    m_tabMain->addTab(buildLandingPage(), QStringLiteral("Landing Page"));
    m_tabMain->addTab(m_tabAdFile, QStringLiteral("Adwords Files"));
    rightLayout->addWidget(m_tabMain);
    row->addWidget(right, 1);

    m_keywordInputs = new KeywordInputs(keywordsPage, adGroupsPage, this);
    m_adEditor = new AdEditor(adsPage, this);
    m_panel = new GeneratedFilesPanel(m_tabAdFile, this);

    // The enable rule follows the tab the user brings to the front.
    connect(m_tabMain, &QTabWidget::currentChanged, this, [this] { UpdateUI(); });
    connect(m_tabMain, &QTabWidget::tabBarClicked, this, [this] { UpdateUI(); });

    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("stbStatusBar"));
    m_statusPanel = new QLabel(status);
    m_statusPanel->setObjectName(QStringLiteral("stbStatusBarPanel1"));
    status->addWidget(m_statusPanel, 1);
    setStatusBar(status);

    showEditor(false);
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
        label->setWordWrap(true);
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

QWidget* frmMain::buildLandingPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tabMainLandingPage"));
    auto* layout = new QVBoxLayout(page);
    auto* cont = new QGroupBox(QStringLiteral("Landing Page Template"), page);
    cont->setObjectName(QStringLiteral("contLandingPage"));
    auto* row = new QHBoxLayout(cont);
    auto* label = new QLabel(QStringLiteral("Page Path:"), cont);
    m_txtLandingPagePath = new QLineEdit(cont);
    m_txtLandingPagePath->setObjectName(QStringLiteral("txtLandingPagePath"));
    row->addWidget(label);
    row->addWidget(m_txtLandingPagePath, 1);
    layout->addWidget(cont);
    layout->addStretch();
    return page;
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
        m_tools.value(10)->setVisible(true);
        WriteErrorLog(QStringLiteral("frmMain: show frmSplash "));
        m_tabMain->setCurrentIndex(0);
        m_tabAdFile->setCurrentIndex(0);

        const QString accountsFolder = platform::Locations::join(g_sWorkingFolder, QStringLiteral("Accounts"));
        if (!QFileInfo(accountsFolder).isDir())
            QDir().mkpath(accountsFolder);

        WriteErrorLog(QStringLiteral("frmMain: set tree view "));
        m_main = std::make_unique<clsMain>(g_sWorkingFolder);
        const bool exists = m_main->LoadAccounts();
        refreshTree();
        if (exists) {
            showEditor(true);
            selectFirstAccount();
            if (m_oSelectedNode && m_oSelectedNode->isCampaign())
                OpenCampaign();
        } else {
            showEditor(false);
        }
        WriteErrorLog(QStringLiteral("frmMain: Landing page tab "));
        WriteErrorLog(QStringLiteral("frmMain: end of landing page tab "));
    } catch (const std::exception& e) {
        const QString what = QString::fromLocal8Bit(e.what());
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
    Form_QueryUnload();
    Form_Unload();
    event->accept();
}

void frmMain::Form_QueryUnload()
{
    SaveCampaign();
}

void frmMain::Form_Unload()
{
    if (!isMinimized())
        setPreferenceValue(QStringLiteral("MainFormPos"), windowPositionText());
    if (const auto node = treeSelection())
        setPreferenceValue(QStringLiteral("LastSelectAcc"), node->key());
    if (g_oRegister) {
        g_oRegister->SaveSettings();
        g_oRegister.reset();
    }
    m_oSelectedNode.reset();
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

QString frmMain::nodeText(const NodeId& node) const
{
    return node.isAccount() ? node.account : node.campaign;
}

QIcon frmMain::nodeIcon(const QString& imageKey) const
{
    return m_imgMain.value(imageKey);
}

QTreeWidgetItem* frmMain::itemFor(const NodeId& node) const
{
    for (int i = 0; i < m_tvwAccount->topLevelItemCount(); ++i) {
        QTreeWidgetItem* account = m_tvwAccount->topLevelItem(i);
        if (nodeOf(account).matches(node))
            return account;
        for (int j = 0; j < account->childCount(); ++j) {
            if (nodeOf(account->child(j)).matches(node))
                return account->child(j);
        }
    }
    return nullptr;
}

void frmMain::refreshTree()
{
    const std::optional<NodeId> selection = treeSelection();
    m_treeUpdating = true;
    m_tvwAccount->clear();
    QTreeWidgetItem* parent = nullptr;
    for (const NodeId& id : m_main->displayOrder()) {
        const int at = m_main->indexOf(id);
        const TreeNode& node = m_main->nodes().at(at);
        QTreeWidgetItem* item;
        if (id.isAccount()) {
            item = new QTreeWidgetItem(m_tvwAccount);
            parent = item;
        } else {
            item = new QTreeWidgetItem(parent);
        }
        item->setText(0, nodeText(id));
        item->setData(0, AccountRole, id.account);
        item->setData(0, CampaignRole, id.campaign);
        const QString image = displayImage(node);
        item->setData(0, ImageRole, image);
        item->setIcon(0, nodeIcon(image));
    }
    // Accounts are expanded and then show their expanded image.
    m_tvwAccount->expandAll();
    for (int i = 0; i < m_tvwAccount->topLevelItemCount(); ++i)
        showExpandedImage(m_tvwAccount->topLevelItem(i));
    if (selection) {
        if (QTreeWidgetItem* item = itemFor(*selection))
            m_tvwAccount->setCurrentItem(item);
    }
    m_treeUpdating = false;
}

void frmMain::refreshImages()
{
    for (int i = 0; i < m_tvwAccount->topLevelItemCount(); ++i) {
        QTreeWidgetItem* account = m_tvwAccount->topLevelItem(i);
        QList<QTreeWidgetItem*> items{account};
        for (int j = 0; j < account->childCount(); ++j)
            items.append(account->child(j));
        for (QTreeWidgetItem* item : items) {
            const int at = m_main->indexOf(nodeOf(item));
            if (at < 0)
                continue;
            const QString image = displayImage(m_main->nodes().at(at));
            item->setData(0, ImageRole, image);
            item->setIcon(0, nodeIcon(image));
        }
        showExpandedImage(account);
    }
}

void frmMain::showExpandedImage(QTreeWidgetItem* item)
{
    const int at = m_main->indexOf(nodeOf(item));
    if (at < 0 || !item->isExpanded() || item->childCount() == 0)
        return;
    const TreeNode& node = m_main->nodes().at(at);
    if (node.id.isAccount() && !node.selectedImage.isEmpty())
        item->setIcon(0, nodeIcon(node.selectedImage));
}

QString frmMain::displayImage(const TreeNode& node)
{
    // An account is drawn as an account whatever image key a selection gave
    // it; a campaign made by New Campaign has only its selected image.
    if (node.id.isAccount())
        return QStringLiteral("Account");
    return node.image.isEmpty() ? node.selectedImage : node.image;
}

void frmMain::setTreeSelection(const NodeId& node)
{
    m_treeUpdating = true;
    if (QTreeWidgetItem* item = itemFor(node))
        m_tvwAccount->setCurrentItem(item);
    m_treeUpdating = false;
}

std::optional<NodeId> frmMain::treeSelection() const
{
    const QList<QTreeWidgetItem*> selected = m_tvwAccount->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return nodeOf(selected.first());
}

void frmMain::onItemClicked(QTreeWidgetItem* item)
{
    if (item)
        tvwAccount_NodeClick(nodeOf(item));
}

bool frmMain::IsAccountExists() const
{
    return m_main->IsAccountExists();
}

void frmMain::tvwAccount_NodeClick(const NodeId& node)
{
    const QString prefix = QStringLiteral("tvwAccount_NodeClick ....");
    WriteErrorLog(prefix + nodeText(node) + QLatin1Char('/') + node.key());
    if (m_oSelectedNode) {
        WriteErrorLog(prefix + nodeText(*m_oSelectedNode) + QLatin1Char('/') + m_oSelectedNode->key());
        if (m_oSelectedNode->matches(node)) {
            WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... m_oSelectedNode.key = Node.key"));
            return;
        }
        WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... SaveCampaign"));
        SaveCampaign();
    }
    m_oSelectedNode = node;
    if (m_main->hasChildren(node)) {
        WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... Node.Children > 0"));
        showEditor(false);
        return;
    }
    if (node.isAccount()) {
        // An account is never open in the editor, but it is the node that
        // Delete Campaign asks about next.
        m_main->setSelectNode(node);
        refreshImages();
        showEditor(false);
        return;
    }
    showEditor(true);
    m_main->setSelectNode(node);
    refreshImages();
    setTreeSelection(node);
    WriteErrorLog(QStringLiteral("tvwAccount_NodeClick .... set new m_oSelectedNode: ") + nodeText(node)
                  + QLatin1Char('/') + node.key());
    OpenCampaign();
}

void frmMain::selectFirstAccount()
{
    QString target = lastSelectAcc();
    std::optional<NodeId> hand;
    bool found = false;
    int at = 0;
    for (; at < m_main->count(); ++at) {
        const NodeId& id = m_main->nodes().at(at).id;
        hand = id;
        if (target.isEmpty() && id.isCampaign())
            target = id.key();
        if (id.key().compare(target, Qt::CaseInsensitive) == 0) {
            found = true;
            break;
        }
    }
    if (found) {
        setTreeSelection(*hand);
        if (at != 0)
            m_main->setImage(*hand, kCampaignOpen);
    }
    if (m_main->IsAccountExists()) {
        tvwAccount_NodeClick(*hand);
    } else if (m_main->count() >= 2) {
        hand = m_main->nodes().at(1).id;
        m_main->setImage(*hand, kCampaignOpen);
        setTreeSelection(*hand);
    }
    if (hand)
        WriteErrorLog(QStringLiteral("frmMain_selectFirstAccount ....") + nodeText(*hand) + QLatin1Char('/')
                      + hand->key());
    // The node click has set (or, when the campaign could not be read,
    // cleared) the open node already.
    if (!m_main->IsAccountExists())
        m_oSelectedNode = hand;
    refreshImages();
    // A node with campaigns, an account, or a tree of fewer than two nodes
    // shows the welcome page.
    const std::optional<NodeId>& open = m_oSelectedNode;
    const bool welcome = !open || m_main->hasChildren(*open) || open->isAccount() || m_main->count() < 2;
    showEditor(!welcome);
}

void frmMain::DeleteCampaign()
{
    const std::optional<NodeId> removed = m_main->DeleteAccount();
    if (!removed)
        return;
    if (m_oSelectedNode && m_oSelectedNode->matches(*removed)) {
        // The deleted campaign is no longer open: nothing writes it back.
        m_oSelectedNode.reset();
        showEditor(false);
    }
    refreshTree();
    if (const auto next = m_main->SelectNode())
        setTreeSelection(*next);
}

void frmMain::NewCampaign()
{
    SaveCampaign();
    frmNewCampaign dialog(this);
    dialog.PopulateProjects(m_main.get());
    const int result = dialog.exec();
    if (result != QDialog::Accepted || dialog.Cancelled())
        return;
    addNewCampaign(dialog.AccountName(), dialog.Campaign());
}

bool frmMain::addNewCampaign(const QString& account, const QString& campaign)
{
    if (campaign.isEmpty())
        return false;
    if (!m_main->findAccount(account))
        m_main->addAccount(account);
    const std::optional<NodeId> parent = m_main->findAccount(account);
    if (!parent || !m_main->addCampaign(parent->account, campaign, QString(), kCampaignOpen)) {
        WriteErrorLog(QStringLiteral("frmMain_NewCampaign_Error: the campaign '") + campaign
                      + QStringLiteral("' exists already in account '") + account + QStringLiteral("'"));
        platform::MsgBox(QStringLiteral("Campaign '") + campaign + QStringLiteral("' already exists in account '")
                             + account + QStringLiteral("'."),
                         platform::MsgButtons::OK, platform::MsgIcon::Critical, QStringLiteral("Create New Campaign"));
        refreshTree();
        return false;
    }
    const NodeId id = NodeId::campaignNode(parent->account, campaign);
    refreshTree();
    setTreeSelection(id);
    m_oSelectedNode = id;
    ClearCampaign();
    showEditor(true);
    m_main->SaveAccount();
    return true;
}

// ---------------------------------------------------------------------------
// Campaign storage

QString frmMain::campaignFolder() const
{
    if (!m_oSelectedNode || !m_oSelectedNode->isCampaign())
        return QString();
    return CampaignStore::campaignFolder(g_sWorkingFolder, m_oSelectedNode->account, m_oSelectedNode->campaign);
}

CampaignData frmMain::editedCampaign() const
{
    CampaignData data;
    m_keywordInputs->store(data);
    data.ads = m_adEditor->adSlots();
    data.landingPagePath = m_txtLandingPagePath->text();
    return data;
}

std::optional<NodeId> frmMain::openCampaign() const
{
    if (m_oSelectedNode && m_oSelectedNode->isCampaign())
        return m_oSelectedNode;
    return std::nullopt;
}

void frmMain::showTab(EditorTab tab)
{
    m_tabMain->setCurrentIndex(int(tab));
}

void frmMain::focusControl(const QString& objectName)
{
    m_keywordInputs->focusControl(objectName);
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

void frmMain::SaveCampaign()
{
    if (!m_oSelectedNode || !m_oSelectedNode->isCampaign())
        return;
    WriteErrorLog(QStringLiteral("frmMain_SaveCampaign ....") + nodeText(*m_oSelectedNode) + QLatin1Char('/')
                  + m_oSelectedNode->key());
    QString error;
    if (!CampaignStore::save(campaignFolder(), editedCampaign(), &error))
        WriteErrorLog(QStringLiteral("SaveCampaign_Error: ") + error + QStringLiteral("-log point 3"));
}

bool frmMain::OpenCampaign()
{
    setStatusText(QStringLiteral("Please wait while loading campaign data ..."));
    auto fail = [this](const QString& why, const QString& label) {
        setStatusText(QStringLiteral("Load campaign data failed"));
        WriteErrorLog(QStringLiteral("OpenCampaign_Error: ") + why + QLatin1Char('-') + label);
        return false;
    };
    if (!m_oSelectedNode) {
        WriteErrorLog(QStringLiteral("frmMain_OpenCampaign .... m_oSelectedNode is nothing"));
        return fail(QStringLiteral("no campaign is selected"), QStringLiteral("Log point 2"));
    }
    WriteErrorLog(QStringLiteral("frmMain_OpenCampaign ....") + nodeText(*m_oSelectedNode) + QLatin1Char('/')
                  + m_oSelectedNode->key());
    if (!m_oSelectedNode->isCampaign())
        return fail(QStringLiteral("the node '") + m_oSelectedNode->account + QStringLiteral("' is an account"),
                    QStringLiteral("Log point 3"));

    // The editor is emptied first, so a failure never leaves two campaigns mixed.
    m_keywordInputs->clear();
    m_adEditor->clear();
    const QString folder = campaignFolder();
    CampaignData data;
    QString error;
    if (!CampaignStore::load(folder, data, &error)) {
        m_oSelectedNode.reset();
        showEditor(false);
        return fail(error, QStringLiteral("Log point 4"));
    }
    m_keywordInputs->load(data);
    m_adEditor->load(data.ads);
    m_txtLandingPagePath->setText(data.landingPagePath);

    setStatusText(QStringLiteral("Please wait while loading adwords files ..."));
    m_panel->LoadAdFiles(folder);
    setStatusText(QString());
    return true;
}

void frmMain::ClearCampaign()
{
    m_keywordInputs->clear();
    m_adEditor->clear();
    m_panel->clear();
}

// ---------------------------------------------------------------------------
// Commands

void frmMain::mnuFileItems_Click(int index)
{
    switch (index) {
    case 1:
        NewCampaign();
        break;
    case 2:
        DeleteCampaign();
        break;
    case 3:
        SaveCampaign();
        break;
    case 5:
        ShowPreferences();
        break;
    case 7:
        close();
        break;
    default:
        break;
    }
}

void frmMain::mnuEditItems_Click(int)
{
}

void frmMain::mnuKeywordItems_Click(int index)
{
    if (index == 3)
        m_keywordInputs->LoadBaseKeywords();
    else if (index == 4)
        m_keywordInputs->LoadExtKeywords();
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
    switch (index) {
    case 1:
        if (!QFileInfo(helpFile()).isFile()) {
            platform::MsgBox(platform::missingHelpFileMessage(helpFile()), platform::MsgButtons::OK,
                             platform::MsgIcon::Information, QStringLiteral("Help Contents"));
        } else {
            modCommon::ShellOpen(helpFile(), 1);
        }
        break;
    case 2:
        modCommon::ShellOpen(g_oRegister ? g_oRegister->PDFLocation() : QString(), 10);
        break;
    case 4:
        modCommon::ShellOpen(g_oRegister ? g_oRegister->SupportURL() : QString(), 1);
        break;
    case 6:
        if (m_aboutHook)
            m_aboutHook(this);
        break;
    default:
        break;
    }
}

void frmMain::cmdTools_Click(int index)
{
    switch (index) {
    case 0:
        NewCampaign();
        break;
    case 1:
        SaveCampaign();
        break;
    case 2:
        m_keywordInputs->LoadBaseKeywords();
        break;
    case 3:
        m_keywordInputs->LoadExtKeywords();
        break;
    case 4:
        Paste();
        break;
    case 6:
        m_adEditor->CopyAd();
        break;
    case 7:
        m_adEditor->DeleteAd();
        break;
    case 8:
        m_buildCampaigns->BuildCampaigns();
        break;
    case 9:
        m_mnuHelp->popup(QCursor::pos());
        break;
    case 10:
        LaunchAdwordsEditor();
        break;
    default:
        break;
    }
}

void frmMain::cmdStart_Click()
{
    cmdTools_Click(0);
}

void frmMain::Paste()
{
    if (QPlainTextEdit* target = m_keywordInputs->pasteTarget())
        target->insertPlainText(QApplication::clipboard()->text());
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
    QAction* fileDelete = menuItem(QStringLiteral("mnuFile"), 2);
    QAction* fileSave = menuItem(QStringLiteral("mnuFile"), 3);
    const bool empty = m_main->isEmpty();
    setEnabled(fileDelete, !empty);
    setEnabled(fileSave, !empty);
    for (int i : {1, 2, 3, 5, 6, 7, 8})
        setEnabled(toolAction(i), !empty);
    if (empty) {
        if (auto* base = findChild<QWidget*>(QStringLiteral("picIncludeBase")))
            base->setVisible(true);
        if (auto* ext = findChild<QWidget*>(QStringLiteral("picIncludeExt")))
            ext->setVisible(false);
        return;
    }
    bool loadKeywords = true;
    bool ads = true;
    switch (m_tabMain->currentIndex()) {
    case 0:
        ads = false;
        break;
    case 1:
        loadKeywords = false;
        ads = false;
        break;
    case 2:
        loadKeywords = false;
        break;
    default:
        break;
    }
    setEnabled(toolAction(2), loadKeywords);
    setEnabled(toolAction(3), loadKeywords);
    setEnabled(toolAction(6), ads);
    setEnabled(toolAction(7), ads);
}

void frmMain::reloadTree()
{
    m_main = std::make_unique<clsMain>(g_sWorkingFolder);
    const bool exists = m_main->LoadAccounts();
    refreshTree();
    if (exists)
        selectFirstAccount();
}

void frmMain::ShowPreferences()
{
    // The open campaign is saved first; the reload below replaces the editor.
    SaveCampaign();
    m_oSelectedNode.reset();

    if (m_preferencesHook)
        m_preferencesHook(this);

    clsPreference preference;
    preference.GetSettings();
    QString folder = preference.WorkingFolder();
    if (folder.compare(g_sWorkingFolder, Qt::CaseInsensitive) != 0) {
        if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        if (!QFileInfo(folder).isDir())
            QDir().mkpath(folder);
        WriteErrorLog(QStringLiteral("Change WorkingFolder: \r\nOld Folder: ") + g_sWorkingFolder
                      + QStringLiteral(", NewFolder: ") + folder);
        g_sWorkingFolder = folder;
        reloadTree();
    }

    m_main = std::make_unique<clsMain>(g_sWorkingFolder);
    const bool exists = m_main->LoadAccounts();
    refreshTree();
    if (exists) {
        selectFirstAccount();
        if (m_oSelectedNode && m_oSelectedNode->isCampaign())
            OpenCampaign();
    } else {
        // No campaign is open: the editor would show the former one.
        showEditor(false);
    }
}

void frmMain::LaunchAdwordsEditor()
{
    clsPreference preference;
    preference.GetSettings();
    QString path = preference.GoogleAdwordsEditor();
    if (!path.isEmpty() && !QFileInfo(path).isFile()) {
        path = QStringLiteral("C:\\Program Files\\Google\\Google AdWords Editor\\adwords_editor.exe");
        if (!QFileInfo(path).isFile())
            path = QStringLiteral("C:\\Program Files (x86)\\Google\\Google AdWords Editor\\adwords_editor.exe");
    }
    if (!QFileInfo(path).isFile()) {
        platform::MsgBox(QStringLiteral("Google Adwords Editor is not installed on this PC. Please download and "
                                        "install it now from Google website."),
                         platform::MsgButtons::OK, platform::MsgIcon::Information, QStringLiteral("Build Campaign"));
        path = QStringLiteral("https://www.google.com/intl/en/adwordseditor/index.html");
    }
    modCommon::ShellOpen(path, 1);
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

bool frmMain::isWelcomeShown() const
{
    return !m_contWelcome->isHidden() && m_tabMain->isHidden();
}

void frmMain::showEditor(bool editor)
{
    m_contWelcome->setVisible(!editor);
    m_tabMain->setVisible(editor);
}
