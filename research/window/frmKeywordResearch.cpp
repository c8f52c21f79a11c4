#include "research/window/frmKeywordResearch.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "platform/Prompter.h"
#include "research/CodeFiles.h"
#include "research/ResearchEndpoints.h"
#include "research/TargetingIdeaRequest.h"
#include "research/clsKeywordBuilder.h"
#include "settings/clsPreference.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QString kBuilderTitle = QStringLiteral("Keyword Builder");
const QString kResearchTitle = QStringLiteral("Keyword Research");

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A caption on one line.
QLabel* caption(const char* name, const QString& text, QWidget* parent)
{
    return named(new QLabel(text, parent), name);
}

// A text that wraps to the width it is given.
QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    QLabel* l = caption(name, text, parent);
    l->setWordWrap(true);
    return l;
}

void keepLinesAt(QLabel* wrapped, int narrowest)
{
    wrapped->setMinimumHeight(wrapped->heightForWidth(narrowest));
}

// The least width of the seed box and the two lists, in average characters.
constexpr int kInputColumnChars = 20;
// A tick list is made wide enough for its longest name, up to this many
// average characters (longer names are cut).
constexpr int kLongestNameChars = 64;
// The height of the inputs, in entries of the tick lists: the list of
// ideas takes the rest.
constexpr int kInputRows = 8;
// The rows of ideas the list asks room for, and the least it shows.
constexpr int kIdeaRows = 16;
constexpr int kLeastIdeaRows = 5;

// The list of ideas, asking for room for kIdeaRows rows of ideas.
class IdeaList final : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

    QSize sizeHint() const override { return QSize(QTreeWidget::sizeHint().width(), heightFor(kIdeaRows)); }
    // The height that shows the header and that many rows of ideas.
    int heightFor(int rows) const
    {
        const int row = qMax(fontMetrics().height(), style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 4;
        return header()->sizeHint().height() + rows * row + 2 * frameWidth();
    }
};

// The width at which a tick list shows its longest name whole, beside the
// name's tick box and the list's scroll bar. The names are measured as
// text first, so that a long list costs one text measure per name.
int wholeNamesWidth(const QListWidget* list)
{
    const QFontMetrics metrics = list->fontMetrics();
    int widest = -1;
    int widestRow = -1;
    for (int row = 0; row < list->count(); ++row) {
        const int width = metrics.horizontalAdvance(list->item(row)->text());
        if (width > widest) {
            widest = width;
            widestRow = row;
        }
    }
    if (widestRow < 0)
        return 0;
    const int entry = qMin(list->sizeHintForIndex(list->model()->index(widestRow, 0)).width(),
                           metrics.averageCharWidth() * kLongestNameChars);
    return entry + 2 * list->frameWidth()
        + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list->verticalScrollBar());
}

// The height of an entry of a tick list.
int entryHeight(const QListWidget* list)
{
    if (list->count() > 0)
        return list->sizeHintForRow(0);
    return qMax(list->fontMetrics().height(), list->style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 2;
}

// A volume as "###,###,###,##0" shows it; a text that is no number stays.
QString thousands(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return text;
    QString digits = QString::number(std::abs(std::nearbyint(value)), 'f', 0);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

// A volume as "000000000000" shows it (the sort key of its column).
QString zeroPadded(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return text;
    return QString::number(std::nearbyint(value), 'f', 0).rightJustified(12, QLatin1Char('0'));
}

// The names of a list and their ticks, for the request.
QList<TargetingIdeaRequest::ListEntry> entries(const QListWidget* list)
{
    QList<TargetingIdeaRequest::ListEntry> out;
    for (int row = 0; row < list->count(); ++row)
        out.append({list->item(row)->text(), list->item(row)->checkState() == Qt::Checked});
    return out;
}

// Fills a tick list; the entry equal to tick (any case) is ticked and returned.
QListWidgetItem* fill(QListWidget* list, const std::optional<QStringList>& names, const QString& tick)
{
    QListWidgetItem* ticked = nullptr;
    if (!names)
        return ticked;
    for (const QString& name : *names) {
        // Made whole before it joins the list: an item made inside the list
        // is looked up there at every change, which makes filling a long
        // list quadratic.
        auto* item = new QListWidgetItem(name);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool match = name.compare(tick, Qt::CaseInsensitive) == 0;
        item->setCheckState(match ? Qt::Checked : Qt::Unchecked);
        if (match)
            ticked = item;
        list->addItem(item);
    }
    return ticked;
}

// The keywords of the ticked rows of the idea list, in list order.
QStringList tickedKeywords(const QTreeWidget* list)
{
    QStringList keywords;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->checkState(frmKeywordResearch::Keyword) == Qt::Checked)
            keywords.append(item->text(frmKeywordResearch::Keyword));
    }
    return keywords;
}

// The first ticked entry comes into view, so the user sees what is chosen.
void scrollToFirstTicked(QListWidget* list)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->checkState() == Qt::Checked) {
            list->scrollToItem(list->item(row), QAbstractItemView::PositionAtCenter);
            return;
        }
    }
}

} // namespace

void showKeywordResearch(QWidget* parent, const KeywordAdder& addKeywords)
{
    clsPreference preferences;
    preferences.GetSettings();
    if (preferences.UserName().isEmpty() && preferences.Password().isEmpty()) {
        MsgBox(QStringLiteral("You did not set up your Google Adwords login details yet. To use 'Keyword Builder' "
                              "function, you need to provide your Google Adwords details under the 'File/Setup' "
                              "window."),
               MsgButtons::OK, MsgIcon::Information, kBuilderTitle);
        return;
    }
    frmKeywordResearch window(addKeywords, parent);
    window.exec();
}

frmKeywordResearch::frmKeywordResearch(KeywordAdder addKeywords, QWidget* parent)
    : QDialog(parent)
    , m_addKeywords(std::move(addKeywords))
{
    setObjectName(QStringLiteral("frmKeywordResearch"));
    setWindowTitle(kResearchTitle);
    buildControls();
    m_lvwKeywords->installEventFilter(this);

    // The folder is kept for the research's files; nothing is written there yet.
    if (!g_sWorkingFolder.isEmpty())
        QDir().mkpath(g_sWorkingFolder + QStringLiteral("/KeywordResearch"));
    Prepare();
    fitInputs();
    for (int n = 10; n <= 100; n += 10)
        m_cboMaxKw->addItem(QString::number(n));
    m_cboMaxKw->setCurrentIndex(4);
    m_pbrProgress->setMaximum(3);
    CreateListViewHeader();
    m_CmdStop->setEnabled(false);

    connect(&m_accessToken, &OAuthAccessToken::fetched, this, &frmKeywordResearch::tokenFetched);
    m_tmrDisconnect.setInterval(1000);
    connect(&m_tmrDisconnect, &QTimer::timeout, this, &frmKeywordResearch::tmrDisconnect_Timer);
}

frmKeywordResearch::~frmKeywordResearch() { releaseBuilder(); }

void frmKeywordResearch::buildControls()
{
    // The status bar runs along the window's bottom edge, right under the
    // frame; the rest keeps the dialog's margins.
    auto* outer = new QVBoxLayout(this);
    auto* body = new QVBoxLayout;
    QMargins margins = outer->contentsMargins();
    margins.setBottom(0);
    body->setContentsMargins(margins);
    outer->setContentsMargins(QMargins());
    outer->setSpacing(0);
    outer->addLayout(body, 1);
    auto* container = named(new QGroupBox(QStringLiteral("Keyword Research Tool"), this), "fraContainer");
    body->addWidget(container);
    auto* column = new QVBoxLayout(container);

    m_intro = label("Label1",
                    QStringLiteral("Keyword Research allows you to get new keyword ideas to build a keyword "
                                   "list base on the master keyword you are specified. Enter a few "
                                   "descriptive words or phrases below:"),
                    container);
    column->addWidget(m_intro);

    auto* frame = named(new QFrame(container), "Frame1");
    frame->setFrameShape(QFrame::StyledPanel);
    m_inputs = frame;
    // Three equally wide input columns, each under its caption, and the
    // request's settings and buttons beside them, from the top.
    auto* inputs = new QGridLayout(frame);
    m_seedCaption = label("lblKeyword", QStringLiteral("Enter Seed Keywords (One Keyword per line):"), frame);
    inputs->addWidget(m_seedCaption, 0, 0, Qt::AlignBottom);
    m_txtKeyword = named(new QPlainTextEdit(frame), "txtKeyword");
    // Tab goes on to the lists and Get, as in the main window's keyword boxes.
    m_txtKeyword->setTabChangesFocus(true);
    inputs->addWidget(m_txtKeyword, 1, 0);
    inputs->addWidget(caption("lblLang", QStringLiteral("Select Language"), frame), 0, 1, Qt::AlignBottom);
    m_lstLanguage = named(new QListWidget(frame), "lstLanguage");
    inputs->addWidget(m_lstLanguage, 1, 1);
    auto* countryCaption = new QHBoxLayout;
    countryCaption->setSpacing(0);
    countryCaption->addWidget(caption("Label2", QStringLiteral("Select Country"), frame));
    countryCaption->addWidget(caption("Label3", QStringLiteral(" (One country only)"), frame));
    countryCaption->addStretch(1);
    inputs->addLayout(countryCaption, 0, 2, Qt::AlignBottom);
    m_lstCountry = named(new QListWidget(frame), "lstCountry");
    inputs->addWidget(m_lstCountry, 1, 2);
    for (QWidget* box : {static_cast<QWidget*>(m_txtKeyword), static_cast<QWidget*>(m_lstLanguage),
                         static_cast<QWidget*>(m_lstCountry)}) {
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * kInputColumnChars);
        box->setSizePolicy(box->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    }
    for (int col = 0; col < 3; ++col)
        inputs->setColumnStretch(col, 1);
    for (QListWidget* list : {m_lstLanguage, m_lstCountry})
        list->setUniformItemSizes(true);

    auto* settings = new QVBoxLayout;
    settings->addWidget(caption("lblMaxKW", QStringLiteral("Maximum Keywords to Return:"), frame));
    m_cboMaxKw = named(new QComboBox(frame), "cboMaxKw");
    settings->addWidget(m_cboMaxKw);
    settings->addWidget(named(new QCheckBox(QStringLiteral("Use Synonyms"), frame), "chkSynonyms"));
    settings->addStretch(1);
    auto* requestButtons = new QHBoxLayout;
    m_cmdGet = named(new QPushButton(QStringLiteral("&Get"), frame), "cmdGet");
    m_CmdStop = named(new QPushButton(QStringLiteral("&Stop"), frame), "CmdStop");
    requestButtons->addWidget(m_cmdGet);
    requestButtons->addWidget(m_CmdStop);
    settings->addLayout(requestButtons);
    inputs->addLayout(settings, 1, 3);
    column->addWidget(frame);

    auto* ideas = named(new IdeaList(container), "lvwKeywords");
    ideas->setMinimumHeight(ideas->heightFor(kLeastIdeaRows));
    m_lvwKeywords = ideas;
    m_lvwKeywords->setRootIsDecorated(false);
    m_lvwKeywords->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvwKeywords->header()->setSectionsClickable(true);
    m_lvwKeywords->header()->setSortIndicatorShown(false);
    column->addWidget(m_lvwKeywords, 1);

    auto* listButtons = new QHBoxLayout;
    m_chkSelectAll = named(new QCheckBox(QStringLiteral("Select All"), container), "chkSelectAll");
    m_cmdDelete = named(new QPushButton(QStringLiteral("&Delete"), container), "cmdDelete");
    auto* toBase = named(new QPushButton(QStringLiteral("Add To &Base"), container), "cmdAddToBase");
    auto* toExtension = named(new QPushButton(QStringLiteral("Add &Extention"), container), "cmdAddToExtention");
    m_cmdClose = named(new QPushButton(QStringLiteral("&Close"), container), "cmdClose");
    listButtons->addWidget(m_chkSelectAll);
    listButtons->addWidget(m_cmdDelete);
    listButtons->addStretch();
    listButtons->addWidget(toBase);
    listButtons->addWidget(toExtension);
    listButtons->addWidget(m_cmdClose);
    column->addLayout(listButtons);

    auto* status = named(new QStatusBar(this), "sbrStatus");
    status->setSizeGripEnabled(false);
    m_sbrStatus = named(new QLabel(status), "sbrStatusPanel1");
    status->addWidget(m_sbrStatus, 1);
    m_pbrProgress = named(new QProgressBar(status), "pbrProgress");
    m_pbrProgress->setVisible(false);
    status->addPermanentWidget(m_pbrProgress);
    outer->addWidget(status);

    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(m_cmdGet, &QPushButton::clicked, this, &frmKeywordResearch::cmdGet_Click);
    connect(m_CmdStop, &QPushButton::clicked, this, &frmKeywordResearch::CmdStop_Click);
    connect(m_chkSelectAll, &QCheckBox::clicked, this, &frmKeywordResearch::chkSelectAll_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &frmKeywordResearch::cmdDelete_Click);
    connect(toBase, &QPushButton::clicked, this,
            [this] { m_addKeywords(tickedKeywords(m_lvwKeywords), KeywordBox::Base); });
    connect(toExtension, &QPushButton::clicked, this,
            [this] { m_addKeywords(tickedKeywords(m_lvwKeywords), KeywordBox::Extension); });
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lvwKeywords->header(), &QHeaderView::sectionClicked, this, &frmKeywordResearch::lvwKeywords_ColumnClick);
}

void frmKeywordResearch::fitInputs()
{
    const int height = kInputRows * entryHeight(m_lstCountry) + 2 * m_lstCountry->frameWidth();
    for (QWidget* box : {static_cast<QWidget*>(m_txtKeyword), static_cast<QWidget*>(m_lstLanguage),
                         static_cast<QWidget*>(m_lstCountry)})
        box->setFixedHeight(height);
    for (QListWidget* list : {m_lstLanguage, m_lstCountry})
        list->setMinimumWidth(qMax(list->minimumWidth(), wholeNamesWidth(list)));
    // A wrapped text takes more lines the narrower it is: each keeps the
    // height it needs at the least width its column can get.
    keepLinesAt(m_seedCaption, m_txtKeyword->minimumWidth());
    keepLinesAt(m_intro, m_inputs->minimumSizeHint().width());
}

void frmKeywordResearch::Prepare()
{
    fill(m_lstCountry, CodeFiles::PopulateListCountryGoogle(), QStringLiteral("United States"));
    QListWidgetItem* english = fill(m_lstLanguage, CodeFiles::PopulateListLanguage(), QStringLiteral("English"));
    if (!english && m_lstLanguage->count() > 0)
        english = m_lstLanguage->item(0);
    m_lstLanguage->setCurrentItem(english);
    UpdateDeleteButton();
}

void frmKeywordResearch::CreateListViewHeader()
{
    m_lvwKeywords->clear();
    m_lvwKeywords->setColumnCount(7);
    m_lvwKeywords->setHeaderLabels({QStringLiteral("Keywords"), QStringLiteral("Competition"),
                                    QStringLiteral("Monthly Searches"), QStringLiteral("Global Volume"),
                                    QStringLiteral("KEI"), QStringLiteral("HiddenValue"),
                                    QStringLiteral("HiddenGlobalValue")});
    for (const Column hidden : {GlobalVolume, HiddenValue, HiddenGlobalValue})
        m_lvwKeywords->setColumnHidden(hidden, true);
    // The widths follow when the window shows (sizeColumns).
}

// The shown columns share the list's width, less room for its scroll bar
// (whether it shows or not, so that the widths stay as rows come and go):
// 40 % for the keyword, 20 % for each of the others.
void frmKeywordResearch::sizeColumns()
{
    const int w = m_lvwKeywords->contentsRect().width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_lvwKeywords->setColumnWidth(Keyword, int(0.4 * w));
    for (const Column shown : {Competition, MonthlySearches, KEI})
        m_lvwKeywords->setColumnWidth(shown, int(0.2 * w));
}

void frmKeywordResearch::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Only now do the tick lists know how many entries they show.
    if (!m_tickedInView) {
        m_tickedInView = true;
        for (QListWidget* list : {m_lstLanguage, m_lstCountry})
            scrollToFirstTicked(list);
    }
}

bool frmKeywordResearch::eventFilter(QObject* watched, QEvent* event)
{
    // The columns follow the list's width.
    if (watched == m_lvwKeywords && event->type() == QEvent::Resize)
        sizeColumns();
    return QDialog::eventFilter(watched, event);
}

QString frmKeywordResearch::statusText() const { return m_sbrStatus->text(); }

void frmKeywordResearch::setStatusText(const QString& text) { m_sbrStatus->setText(text); }

void frmKeywordResearch::setProgressValue(int value) { m_pbrProgress->setValue(value); }

void frmKeywordResearch::cmdGet_Click()
{
    int ticked = 0;
    for (int row = 0; row < m_lstCountry->count(); ++row) {
        if (m_lstCountry->item(row)->checkState() == Qt::Checked && ++ticked > 1) {
            MsgBox(QStringLiteral("You can only select one country at a time."), MsgButtons::OK, MsgIcon::Information,
                   kBuilderTitle);
            return;
        }
    }
    DoGet();
}

void frmKeywordResearch::DoGet()
{
    if (Conversions::Trim(m_txtKeyword->toPlainText()).isEmpty()) {
        MsgBox(QStringLiteral("Please enter a Keyword."), MsgButtons::OK, MsgIcon::Exclamation, kResearchTitle);
        m_txtKeyword->setFocus();
        return;
    }
    // One click, one request: clicks that come while the token is fetched
    // or during the pending events below find Get disabled.
    m_cmdGet->setEnabled(false);
    if (m_accessToken.token().isEmpty()) {
        // The window stays alive meanwhile: Stop or closing cancels the fetch.
        m_accessToken.startFetch();
        waiting();
        return;
    }
    sendRequest();
}

void frmKeywordResearch::tokenFetched()
{
    if (m_accessToken.token().isEmpty()) {
        idle();
        MsgBox(QStringLiteral("Error occured: Bad Authentication"), MsgButtons::OK, MsgIcon::Exclamation,
               kBuilderTitle);
        return;
    }
    sendRequest();
}

void frmKeywordResearch::sendRequest()
{
    SetBusy();
    QCoreApplication::processEvents();
    if (!isVisible())
        return;  // closed meanwhile: no request for a closed window
    m_lvwKeywords->clear();

    releaseBuilder();
    m_oBuilder = new clsKeywordBuilder(this);
    m_oBuilder->setEngineName(QStringLiteral("Google"));
    m_oBuilder->setFormKeywordBuilder(this);
    connect(m_oBuilder, &clsKeywordBuilder::GetResultGoogleCompleted, this, &frmKeywordResearch::PopulateKeywordsAdv);

    const TargetingIdeaRequest::PostString request = TargetingIdeaRequest::GetPostStringGoogle(
        {m_txtKeyword->toPlainText(), entries(m_lstLanguage), entries(m_lstCountry), m_cboMaxKw->currentText()},
        QStringLiteral("IDEAS"));
    if (request.global)
        m_lvwKeywords->headerItem()->setText(MonthlySearches, QStringLiteral("Monthly Searches (Global)"));
    const QString text = Conversions::Trim(request.text);
    if (text.isEmpty()) {
        // Nothing to send: the window is idle again.
        UpdateDeleteButton();
        idle();
        return;
    }
    m_oBuilder->setAuthToken(m_accessToken.token());
    m_oBuilder->Connect(text, researchEndpoints().targetingIdeaServiceUrl());
    // Get again disabled: an earlier request that ended meanwhile made the window idle.
    waiting();
}

void frmKeywordResearch::SetBusy() { m_cmdDelete->setEnabled(false); }

void frmKeywordResearch::ResetUI(const QString& message)
{
    m_cmdDelete->setEnabled(true);
    m_cmdGet->setText(QStringLiteral("&Get..."));
    m_cmdClose->setEnabled(true);
    m_pbrProgress->setValue(0);
    if (statusText().compare(QLatin1String("Download data from server..."), Qt::CaseInsensitive) == 0)
        setStatusText(message.isEmpty() ? QStringLiteral(" Download completed.") : message);
    else
        setStatusText(QString());
}

void frmKeywordResearch::UpdateDeleteButton() { m_cmdDelete->setEnabled(m_lvwKeywords->topLevelItemCount() > 0); }

void frmKeywordResearch::waiting()
{
    m_busyPointer.emplace();
    m_cmdGet->setEnabled(false);
    m_CmdStop->setEnabled(true);
    m_pbrProgress->setVisible(true);
}

void frmKeywordResearch::idle()
{
    m_CmdStop->setEnabled(false);
    m_pbrProgress->setVisible(false);
    m_cmdGet->setEnabled(true);
    m_busyPointer.reset();
}

void frmKeywordResearch::DownLoadCompleted()
{
    ResetUI(QString());
    UpdateDeleteButton();
    idle();
    if (!m_oBuilder || m_oBuilder->Keywords().isEmpty())
        return;
    m_Keywords = m_oBuilder->Keywords();
    m_lvwKeywords->headerItem()->setText(
        Keyword, QStringLiteral("Keywords (") + QString::number(m_lvwKeywords->topLevelItemCount()) + QLatin1Char(')'));
}

void frmKeywordResearch::PopulateKeywordsAdv(const KeywordIdeas& keywords)
{
    m_lvwKeywords->clear();
    QSet<QString> listed;
    for (const clsKWBuilder& idea : keywords) {
        // A keyword the reply repeats is listed once.
        if (listed.contains(idea.Keyword))
            continue;
        listed.insert(idea.Keyword);
        auto* row = new QTreeWidgetItem(m_lvwKeywords);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(Keyword, Qt::Unchecked);
        row->setText(Keyword, idea.Keyword);
        row->setText(Competition, idea.Competition);
        if (!idea.Search.isEmpty()) {
            row->setText(MonthlySearches, thousands(idea.Search));
            row->setText(HiddenValue, zeroPadded(idea.Search));
        }
        if (!idea.GlobalSearch.isEmpty()) {
            row->setText(GlobalVolume, thousands(idea.GlobalSearch));
            row->setText(HiddenGlobalValue, zeroPadded(idea.GlobalSearch));
        }
        row->setText(KEI, idea.KEI);
    }
    if (m_sorted)
        m_lvwKeywords->sortItems(m_sortKey, m_sortOrder);
}

void frmKeywordResearch::lvwKeywords_ColumnClick(int column)
{
    // The volume columns sort by their zero-padded twins.
    const int key = column == MonthlySearches ? HiddenValue : column == GlobalVolume ? HiddenGlobalValue : column;
    if (key != m_sortKey) {
        m_sortKey = key;
        m_sortOrder = Qt::AscendingOrder;
    } else {
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    m_sorted = true;
    m_lvwKeywords->sortItems(m_sortKey, m_sortOrder);
}

void frmKeywordResearch::chkSelectAll_Click()
{
    const Qt::CheckState state = m_chkSelectAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int row = 0; row < m_lvwKeywords->topLevelItemCount(); ++row)
        m_lvwKeywords->topLevelItem(row)->setCheckState(Keyword, state);
}

void frmKeywordResearch::cmdDelete_Click()
{
    DoDelete();
    UpdateDeleteButton();
}

void frmKeywordResearch::DoDelete()
{
    if (MsgBox(QStringLiteral("Are you sure you want to remove selected Keywords?"), MsgButtons::YesNo,
               MsgIcon::Question, kResearchTitle)
        != platform::MsgResult::Yes)
        return;
    int removedAt = -1;
    for (int row = 0; row < m_lvwKeywords->topLevelItemCount();) {
        if (m_lvwKeywords->topLevelItem(row)->isSelected()) {
            delete m_lvwKeywords->takeTopLevelItem(row);
            removedAt = row;
        } else {
            ++row;
        }
    }
    const int count = m_lvwKeywords->topLevelItemCount();
    if (count == 0 || removedAt < 0)
        return;
    // The row that took the last removed one's place, else the first.
    QTreeWidgetItem* next = m_lvwKeywords->topLevelItem(count > removedAt + 1 ? removedAt : 0);
    m_lvwKeywords->setCurrentItem(next);
    next->setSelected(true);
}

void frmKeywordResearch::CmdStop_Click()
{
    if (m_accessToken.isFetching()) {
        m_accessToken.cancel();
        idle();
        return;
    }
    if (m_oBuilder)
        m_oBuilder->Disconnect();
    m_tmrDisconnect.start();
    m_cmdGet->setEnabled(true);
    m_CmdStop->setEnabled(false);
}

void frmKeywordResearch::tmrDisconnect_Timer()
{
    if (!m_oBuilder || !m_oBuilder->Disconnected())
        return;
    ResetUI(QStringLiteral("Stop."));
    UpdateDeleteButton();
    QCoreApplication::processEvents();
    m_tmrDisconnect.stop();
}

void frmKeywordResearch::releaseBuilder()
{
    if (!m_oBuilder)
        return;
    m_oBuilder->CloseHTTPForm();
    m_oBuilder->setFormKeywordBuilder(nullptr);
    m_oBuilder->disconnect(this);
    m_oBuilder->deleteLater();
    m_oBuilder = nullptr;
}

void frmKeywordResearch::done(int result)
{
    // A request still running is cancelled, as is a token fetch; nothing of
    // them reaches a closed window.
    m_accessToken.cancel();
    releaseBuilder();
    m_tmrDisconnect.stop();
    idle();
    QDialog::done(result);
}
