#include "workspace/KeywordInputs.h"

#include "core/ErrorLog.h"
#include "core/clsFileController.h"
#include "generator/TemplateText.h"
#include "platform/widgets/LineEdit.h"
#include "workspace/MainLayout.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kKeywordFileFilter =
    QStringLiteral("Text files (*.txt)|*.txt|Data files (*.dat)|*.dat|All Files (*.*)|*.*");
const QString kUnavailable = QStringLiteral("This option is currently unavailable");

// Stored text (CRLF between lines) to the box's own line breaks.
QString toBoxText(QString text)
{
    text.replace(kCrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The box's text with CRLF between lines; non-breaking spaces stay as they are.
QString fromBox(const QPlainTextEdit* box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), kCrLf);
    text.replace(QChar(QChar::LineSeparator), kCrLf);
    return text;
}

QWidget* scrollHost(QWidget* page)
{
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    scroll->setWidget(content);
    if (QLayout* existing = page->layout()) {
        existing->addWidget(scroll);
    } else {
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(scroll);
    }
    return content;
}

QGroupBox* frame(const QString& caption, const QString& name)
{
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    return box;
}

// The tokens that a build replaces, four to a column.
QGroupBox* tokenFrame(const QString& name)
{
    QGroupBox* box = frame(QStringLiteral("Token Key"), name);
    auto* grid = new QGridLayout(box);
    const std::span<const generator::TemplateToken> tokens = generator::TemplateTokens();
    const int count = int(tokens.size());
    for (int i = 0; i < count; ++i) {
        const generator::TemplateToken& token = tokens[size_t(i)];
        const QString line = token.text.toString() + QStringLiteral(" = ") + token.meaning.toString();
        grid->addWidget(new QLabel(line), i % 4, i / 4);
    }
    grid->setColumnStretch((count + 3) / 4, 1);
    return box;
}

} // namespace

KeywordInputs::KeywordInputs(QWidget* keywordsPage, QWidget* adGroupsPage, QObject* parent)
    : QObject(parent)
    , m_keywordsPage(keywordsPage)
    , m_adGroupsPage(adGroupsPage)
{
    ++m_updating;
    buildKeywordsPage(keywordsPage);
    buildAdGroupsPage(adGroupsPage);

    // Values at window load.
    m_mixing->button(0)->setChecked(true);
    for (int f = 0; f < FieldCount; ++f)
        selectOption(Field(f), f == IncludeExtField ? 1 : 0);
    platform::setLineText(m_urlTemplate, QStringLiteral("http://"));
    setIncludePanels(true, false);
    --m_updating;
}

KeywordInputs::~KeywordInputs() = default;

QButtonGroup* KeywordInputs::makeOptions(QWidget* owner, const QString& name, const QStringList& captions,
                                         bool vertical, QWidget** box)
{
    auto* group = new QButtonGroup(owner);
    group->setObjectName(name);
    group->setExclusive(true);
    auto* holder = new QWidget;
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(holder))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(holder));
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions.at(i));
        option->setObjectName(name + QString::number(i));
        group->addButton(option, i);
        layout->addWidget(option);
    }
    if (!vertical)
        layout->addStretch(1);
    *box = holder;
    return group;
}

void KeywordInputs::watchStoredGroup(QButtonGroup* group, Field field)
{
    m_groups[field] = group;
    connect(group, &QButtonGroup::idToggled, this, [this, field](int id, bool checked) {
        if (!checked)
            return;
        m_fields[field] = id;
        if (field == GroupingField)
            applyGroupingToPanels(id);
        userChanged();
    });
}

void KeywordInputs::buildKeywordsPage(QWidget* page)
{
    QWidget* host = scrollHost(page);
    auto* pageLayout = new QVBoxLayout(host);

    auto* contKeywords = new QWidget;
    contKeywords->setObjectName(QStringLiteral("contKeywords"));
    auto* keywordsLayout = new QVBoxLayout(contKeywords);
    keywordsLayout->setContentsMargins(0, 0, 0, 0);

    auto* boxes = new QGridLayout;
    auto* lblBase = new QLabel(QStringLiteral("Base Keywords:"));
    lblBase->setObjectName(QStringLiteral("lblBaseKeywords"));
    auto* lblExt = new QLabel(QStringLiteral("Extention Keywords:"));
    lblExt->setObjectName(QStringLiteral("lblExtentionKeywords"));
    m_base = new QPlainTextEdit;
    m_base->setObjectName(QStringLiteral("txtBaseKeywords"));
    m_ext = new QPlainTextEdit;
    m_ext->setObjectName(QStringLiteral("txtExtendKeywords"));
    for (QPlainTextEdit* box : {m_base, m_ext}) {
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setTabChangesFocus(true);
        box->setMinimumHeight(180);
        box->installEventFilter(this);
        connect(box, &QPlainTextEdit::textChanged, this, &KeywordInputs::userChanged);
    }
    m_base->viewport()->installEventFilter(this);
    connect(m_ext, &QPlainTextEdit::textChanged, this, [this] { m_pasteTarget = m_ext; });
    lblBase->setBuddy(m_base);
    lblExt->setBuddy(m_ext);
    boxes->addWidget(lblBase, 0, 0);
    boxes->addWidget(lblExt, 0, 1);
    boxes->addWidget(m_base, 1, 0);
    boxes->addWidget(m_ext, 1, 1);
    // The two boxes are equally wide and 200 twips apart.
    boxes->setHorizontalSpacing(MainLayout::toPixels(200, host->logicalDpiX()));
    boxes->setColumnStretch(0, 1);
    boxes->setColumnStretch(1, 1);
    keywordsLayout->addLayout(boxes, 1);

    auto* row = new QHBoxLayout;
    QGroupBox* bidFrame = frame(QStringLiteral("Bid Cost Setting"), QStringLiteral("contKeyworsBidCost"));
    auto* bidGrid = new QGridLayout(bidFrame);
    m_broad = new QCheckBox(QStringLiteral("Broad Match:"));
    m_broad->setObjectName(QStringLiteral("chkBroadMatch"));
    m_phrase = new QCheckBox(QStringLiteral("Phrase Match:"));
    m_phrase->setObjectName(QStringLiteral("chkPhraseMatch"));
    m_exact = new QCheckBox(QStringLiteral("Exact Match:"));
    m_exact->setObjectName(QStringLiteral("chkExactMatch"));
    m_broadBid = platform::lineEdit(QStringLiteral("txtBroadBid"));
    m_phraseBid = platform::lineEdit(QStringLiteral("txtPhraseBid"));
    m_exactBid = platform::lineEdit(QStringLiteral("txtExactBid"));
    const std::array<QCheckBox*, 3> checks {m_broad, m_phrase, m_exact};
    const std::array<QLineEdit*, 3> bids {m_broadBid, m_phraseBid, m_exactBid};
    for (int i = 0; i < 3; ++i) {
        bidGrid->addWidget(checks[i], i, 0);
        bidGrid->addWidget(bids[i], i, 1);
        connect(checks[i], &QCheckBox::toggled, this, &KeywordInputs::userChanged);
        connect(bids[i], &QLineEdit::textChanged, this, &KeywordInputs::userChanged);
    }
    bidGrid->setRowStretch(3, 1);
    row->addWidget(bidFrame, 2);

    QGroupBox* mixingFrame = frame(QStringLiteral("Mixing Options"), QStringLiteral("contMixing"));
    auto* mixingLayout = new QVBoxLayout(mixingFrame);
    QWidget* mixingButtons = nullptr;
    m_mixing = makeOptions(page, QStringLiteral("optMixing"),
                           {QStringLiteral("Extension Before Base"), QStringLiteral("Extension After Base"),
                            QStringLiteral("Extension Before and After Base"), QStringLiteral("Pair 1:1 Ratio"),
                            QStringLiteral("Base Keywords Only")},
                           true, &mixingButtons);
    mixingLayout->addWidget(mixingButtons);
    mixingLayout->addStretch(1);
    row->addWidget(mixingFrame, 3);
    keywordsLayout->addLayout(row);
    pageLayout->addWidget(contKeywords, 1);

    QGroupBox* urlFrame = frame(QStringLiteral("Landing URL Template Setting"), QStringLiteral("contKeyworsURL"));
    auto* urlGrid = new QGridLayout(urlFrame);
    auto* lblTemplate = new QLabel(QStringLiteral("URL Template:"));
    m_urlTemplate = platform::lineEdit(QStringLiteral("txtURLTemplate"));
    lblTemplate->setBuddy(m_urlTemplate);
    connect(m_urlTemplate, &QLineEdit::textChanged, this, &KeywordInputs::userChanged);
    auto* sample = platform::lineEdit(QStringLiteral("txtSampleURL"));
    sample->setReadOnly(true);
    platform::setLineText(sample, QStringLiteral("http://www.example.com/Page.asp?camp={campaign}&adg={adgroup}&kw={base}"));
    urlGrid->addWidget(lblTemplate, 0, 0);
    urlGrid->addWidget(m_urlTemplate, 0, 1);
    urlGrid->addWidget(sample, 1, 1);
    QWidget* replaceButtons = nullptr;
    QButtonGroup* replaceSpace = makeOptions(page, QStringLiteral("optReplaceSpace"),
                                             {QStringLiteral("Hyphen"), QStringLiteral("Underscore"),
                                              QStringLiteral("Plus"), QStringLiteral("Blank")},
                                             false, &replaceButtons);
    watchStoredGroup(replaceSpace, ReplaceSpaceField);
    urlGrid->addWidget(new QLabel(QStringLiteral("Replace spaces with:")), 2, 0);
    urlGrid->addWidget(replaceButtons, 2, 1);
    m_capitalization = new QCheckBox(QStringLiteral("Capitalization"));
    m_capitalization->setObjectName(QStringLiteral("chkCapitalization"));
    urlGrid->addWidget(m_capitalization, 3, 1);
    urlGrid->setColumnStretch(1, 1);
    pageLayout->addWidget(urlFrame);

    pageLayout->addWidget(tokenFrame(QStringLiteral("contKeyworsToken0")));
}

void KeywordInputs::buildAdGroupsPage(QWidget* page)
{
    QWidget* host = scrollHost(page);
    auto* pageLayout = new QVBoxLayout(host);

    // Ad group options with the custom group name.
    QGroupBox* groupingFrame = frame(QStringLiteral("Ad Group Options"), QStringLiteral("contAdGroups0"));
    auto* groupingLayout = new QVBoxLayout(groupingFrame);
    QWidget* groupingButtons = nullptr;
    QButtonGroup* grouping = makeOptions(page, QStringLiteral("optGrouping"),
                                         {QStringLiteral("Group by Base Keywords"),
                                          QStringLiteral("Group by Extension Keywords"),
                                          QStringLiteral("Group by Mix Keywords"),
                                          QStringLiteral("Single Custom Group")},
                                         true, &groupingButtons);
    watchStoredGroup(grouping, GroupingField);
    groupingLayout->addWidget(groupingButtons);
    m_customGroup = platform::lineEdit(QStringLiteral("txtCustomGroup"));
    groupingLayout->addWidget(m_customGroup);
    pageLayout->addWidget(groupingFrame);

    // Include panels, each in front of its "unavailable" label.
    QGroupBox* includeFrame =
        frame(QStringLiteral("Include Base Keywords in Groups"), QStringLiteral("contAdGroups1"));
    auto* includeLayout = new QVBoxLayout(includeFrame);
    auto* picAdgroup = new QWidget;
    picAdgroup->setObjectName(QStringLiteral("picAdgroup"));
    auto* panelsLayout = new QVBoxLayout(picAdgroup);
    panelsLayout->setContentsMargins(0, 0, 0, 0);
    auto makeInclude = [&](const QString& panelName, const QString& caption, const QString& groupName,
                           Field field, QWidget** panel) {
        auto* stack = new QStackedWidget;
        *panel = new QWidget;
        (*panel)->setObjectName(panelName);
        auto* row = new QHBoxLayout(*panel);
        row->setContentsMargins(0, 0, 0, 0);
        QWidget* buttons = nullptr;
        QButtonGroup* group =
            makeOptions(page, groupName, {QStringLiteral("Yes"), QStringLiteral("No")}, false, &buttons);
        watchStoredGroup(group, field);
        auto* label = new QLabel(caption);
        label->setMinimumWidth(200);
        row->addWidget(label);
        row->addWidget(buttons, 1);
        auto* unavailable = new QLabel(kUnavailable);
        unavailable->setObjectName(panelName + QStringLiteral("Unavailable"));
        unavailable->setEnabled(false);
        stack->addWidget(*panel);
        stack->addWidget(unavailable);
        panelsLayout->addWidget(stack);
        return stack;
    };
    m_includeBaseStack = makeInclude(QStringLiteral("picIncludeBase"), QStringLiteral("Include Base Keywords:"),
                                     QStringLiteral("optIncludeBaseKwyword"), IncludeBaseField, &m_includeBase);
    m_includeExtStack = makeInclude(QStringLiteral("picIncludeExt"), QStringLiteral("Include Extention Keywords:"),
                                    QStringLiteral("optIncludeExtentKwyword"), IncludeExtField, &m_includeExt);
    includeLayout->addWidget(picAdgroup);
    pageLayout->addWidget(includeFrame);

    // Group name formatting.
    QGroupBox* formatFrame =
        frame(QStringLiteral("Group Name Formating (Optional)"), QStringLiteral("contAdGroups2"));
    auto* formatGrid = new QGridLayout(formatFrame);
    auto addRow = [&](int rowIndex, const QString& caption, const QString& groupName, const QStringList& captions,
                      Field field) {
        QWidget* buttons = nullptr;
        QButtonGroup* group = makeOptions(page, groupName, captions, false, &buttons);
        watchStoredGroup(group, field);
        formatGrid->addWidget(new QLabel(caption), rowIndex, 0);
        formatGrid->addWidget(buttons, rowIndex, 1);
    };
    addRow(0, QStringLiteral("Capitalization:"), QStringLiteral("optCaputalization"),
           {QStringLiteral("Upper Case"), QStringLiteral("Lower Case"), QStringLiteral("None")}, CapitalisationField);
    addRow(1, QStringLiteral("Replace Spaces With:"), QStringLiteral("optReplaceGroupSpace"),
           {QStringLiteral("Hyphen"), QStringLiteral("Underscore"), QStringLiteral("Plus"), QStringLiteral("Space")},
           ReplaceGroupSpaceField);
    addRow(2, QStringLiteral("Add Extra Text To Group:"), QStringLiteral("optExtraGroupText"),
           {QStringLiteral("None"), QStringLiteral("Prefix"), QStringLiteral("Suffix")}, ExtraGroupTextField);
    m_extraGroupText = platform::lineEdit(QStringLiteral("txtExtraGroupText"));
    formatGrid->addWidget(m_extraGroupText, 3, 1);
    formatGrid->setColumnStretch(1, 1);
    pageLayout->addWidget(formatFrame);

    // Ad group bids.
    auto* bidsBox = new QGroupBox;
    bidsBox->setObjectName(QStringLiteral("contAdGroups3"));
    auto* bidsGrid = new QGridLayout(bidsBox);
    m_maxCPC = platform::lineEdit(QStringLiteral("txtMaxCPC"));
    m_maxContentCPC = platform::lineEdit(QStringLiteral("txtMaxContentCPC"));
    m_placementMaxCPC = platform::lineEdit(QStringLiteral("txtPlacementMaxCPC"));
    const std::array<std::pair<QString, QLineEdit*>, 3> bidRows {{
        {QStringLiteral("Max CPC:"), m_maxCPC},
        {QStringLiteral("Max Content CPC:"), m_maxContentCPC},
        {QStringLiteral("Placement Max CPC:"), m_placementMaxCPC},
    }};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(bidRows[i].first);
        label->setBuddy(bidRows[i].second);
        bidsGrid->addWidget(label, i, 0);
        bidsGrid->addWidget(bidRows[i].second, i, 1);
    }
    bidsGrid->setColumnStretch(2, 1);
    pageLayout->addWidget(bidsBox);

    for (QLineEdit* edit : {m_customGroup, m_extraGroupText, m_maxCPC, m_maxContentCPC, m_placementMaxCPC})
        connect(edit, &QLineEdit::textChanged, this, &KeywordInputs::userChanged);

    pageLayout->addWidget(tokenFrame(QStringLiteral("contKeyworsToken1")));
    pageLayout->addStretch(1);
}

void KeywordInputs::userChanged()
{
    if (m_updating == 0)
        Q_EMIT edited();
}

void KeywordInputs::selectOption(Field field, int index)
{
    QAbstractButton* button = m_groups[field]->button(index);
    if (!button) {
        // An index without an option (a damaged Campaign.dat) falls back to
        // the group's value at window load, so field and buttons agree.
        index = field == IncludeExtField ? 1 : 0;
        button = m_groups[field]->button(index);
    }
    button->setChecked(true);
    m_fields[field] = index;
}

void KeywordInputs::setBoxText(QPlainTextEdit* box, const QString& crlfText)
{
    box->setPlainText(toBoxText(crlfText));
}

void KeywordInputs::load(const CampaignData& data)
{
    ++m_updating;
    setBoxText(m_base, data.baseKeywords);
    setBoxText(m_ext, data.extensionKeywords);
    m_exact->setChecked(data.exactMatch);
    m_phrase->setChecked(data.phraseMatch);
    m_broad->setChecked(data.broadMatch);
    platform::setLineText(m_exactBid, data.exactBid);
    platform::setLineText(m_phraseBid, data.phraseBid);
    platform::setLineText(m_broadBid, data.broadBid);
    platform::setLineText(m_urlTemplate, data.urlTemplate);
    selectOption(ReplaceSpaceField, int(data.replaceSpace));

    platform::setLineText(m_customGroup, data.customGroup);
    platform::setLineText(m_extraGroupText, data.extraGroupTextValue);
    platform::setLineText(m_maxCPC, data.maxCPC);
    platform::setLineText(m_maxContentCPC, data.maxContentCPC);
    platform::setLineText(m_placementMaxCPC, data.placementMaxCPC);
    selectOption(GroupingField, int(data.grouping));
    selectOption(IncludeBaseField, int(data.includeBaseKeyword));
    selectOption(IncludeExtField, int(data.includeExtKeyword));
    selectOption(CapitalisationField, int(data.capitalisation));
    selectOption(ReplaceGroupSpaceField, int(data.replaceGroupSpace));
    selectOption(ExtraGroupTextField, int(data.extraGroupText));
    applyGroupingToPanels(m_fields[GroupingField]);
    --m_updating;
}

void KeywordInputs::store(CampaignData& data) const
{
    data.baseKeywords = fromBox(m_base);
    data.extensionKeywords = fromBox(m_ext);
    data.broadMatch = m_broad->isChecked();
    data.phraseMatch = m_phrase->isChecked();
    data.exactMatch = m_exact->isChecked();
    data.broadBid = m_broadBid->text();
    data.phraseBid = m_phraseBid->text();
    data.exactBid = m_exactBid->text();
    data.urlTemplate = m_urlTemplate->text();
    data.replaceSpace = ReplaceSpace(m_fields[ReplaceSpaceField]);
    data.grouping = Grouping(m_fields[GroupingField]);
    data.includeBaseKeyword = Include(m_fields[IncludeBaseField]);
    data.includeExtKeyword = Include(m_fields[IncludeExtField]);
    data.capitalisation = Capitalisation(m_fields[CapitalisationField]);
    data.replaceGroupSpace = GroupSpace(m_fields[ReplaceGroupSpaceField]);
    data.extraGroupText = ExtraGroupText(m_fields[ExtraGroupTextField]);
    data.customGroup = m_customGroup->text();
    data.extraGroupTextValue = m_extraGroupText->text();
    data.maxCPC = m_maxCPC->text();
    data.maxContentCPC = m_maxContentCPC->text();
    data.placementMaxCPC = m_placementMaxCPC->text();
    data.mixing = Mixing(m_mixing->checkedId());
    data.capitalization = m_capitalization->isChecked();
}

void KeywordInputs::clear()
{
    ++m_updating;
    m_base->clear();
    m_ext->clear();
    m_broad->setChecked(false);
    m_phrase->setChecked(false);
    m_exact->setChecked(false);
    m_broadBid->clear();
    m_phraseBid->clear();
    m_exactBid->clear();
    platform::setLineText(m_urlTemplate, QStringLiteral("http://"));
    // Selecting option 0 raises the group's own handling (the grouping
    // option sets the include panels when its choice changes).
    for (int f = 0; f < FieldCount; ++f) {
        m_groups[f]->button(0)->setChecked(true);
        m_fields[f] = 0;
    }
    m_customGroup->clear();
    m_extraGroupText->clear();
    m_maxCPC->clear();
    m_maxContentCPC->clear();
    m_placementMaxCPC->clear();
    --m_updating;
}

void KeywordInputs::loadKeywordFile(QPlainTextEdit* box, const QString& errorPrefix)
{
    clsFileController files;
    const QString path = files.GetFileName(0, kKeywordFileFilter, QString());
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    // A file that cannot be read, or is no regular file, leaves the box as it
    // is; the user is told why.
    QString error;
    const QString text = files.openChosenFile(path, &error);
    if (!error.isEmpty()) {
        ErrorLog::WriteErrorLog(errorPrefix + error);
        return;
    }
    setBoxText(box, text);
}

void KeywordInputs::LoadBaseKeywords()
{
    loadKeywordFile(m_base, QStringLiteral("LoadBaseKeywords_Error: "));
}

void KeywordInputs::LoadExtKeywords()
{
    loadKeywordFile(m_ext, QStringLiteral("LoadExtKeywords_Error: "));
}

void KeywordInputs::AddKeywordsLine(const QStringList& keywords, KeywordBox box)
{
    QPlainTextEdit* target = box == KeywordBox::Base ? m_base : m_ext;
    for (const QString& keyword : keywords) {
        QTextCursor cursor(target->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(toBoxText(keyword + kCrLf));
    }
}

QPlainTextEdit* KeywordInputs::pasteTarget() const
{
    return m_pasteTarget;
}

QWidget* KeywordInputs::control(const QString& name) const
{
    for (QWidget* page : {m_keywordsPage, m_adGroupsPage}) {
        if (auto* widget = page->findChild<QWidget*>(name))
            return widget;
    }
    return nullptr;
}

QString KeywordInputs::controlName(CampaignField field)
{
    switch (field) {
    case CampaignField::UrlTemplate:
        return QStringLiteral("txtURLTemplate");
    case CampaignField::BaseKeywords:
        return QStringLiteral("txtBaseKeywords");
    case CampaignField::MatchTypes:
        return QStringLiteral("chkBroadMatch");
    case CampaignField::BroadBid:
        return QStringLiteral("txtBroadBid");
    case CampaignField::PhraseBid:
        return QStringLiteral("txtPhraseBid");
    case CampaignField::ExactBid:
        return QStringLiteral("txtExactBid");
    }
    return QString();
}

bool KeywordInputs::focusControl(const QString& name)
{
    QWidget* widget = control(name);
    if (!widget) {
        // An option group takes the focus on its chosen option.
        const int index = optionIndex(name);
        if (index >= 0)
            widget = control(name + QString::number(index));
    }
    if (!widget)
        return false;
    widget->setFocus(Qt::OtherFocusReason);
    return true;
}

int KeywordInputs::optionIndex(const QString& group) const
{
    for (QWidget* page : {m_keywordsPage, m_adGroupsPage}) {
        if (auto* buttons = page->findChild<QButtonGroup*>(group, Qt::FindDirectChildrenOnly))
            return buttons->checkedId();
    }
    return -1;
}

QString KeywordInputs::baseKeywords() const
{
    return fromBox(m_base);
}

QString KeywordInputs::extensionKeywords() const
{
    return fromBox(m_ext);
}

void KeywordInputs::setIncludePanels(bool baseShown, bool extShown)
{
    m_includeBaseStack->setCurrentIndex(baseShown ? 0 : 1);
    m_includeExtStack->setCurrentIndex(extShown ? 0 : 1);
}

bool KeywordInputs::includeBaseShown() const
{
    return m_includeBaseStack->currentIndex() == 0;
}

bool KeywordInputs::includeExtShown() const
{
    return m_includeExtStack->currentIndex() == 0;
}

void KeywordInputs::applyGroupingToPanels(int groupingIndex)
{
    switch (groupingIndex) {
    case 0: setIncludePanels(true, false); break;
    case 1: setIncludePanels(false, true); break;
    case 2: setIncludePanels(true, true); break;
    default: break;
    }
}

bool KeywordInputs::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == m_base || watched == m_ext)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (key->key() == Qt::Key_A && mods == Qt::ControlModifier) {
            static_cast<QPlainTextEdit*>(watched)->selectAll();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == m_base->viewport()) {
        m_pasteTarget = m_base;
    }
    return QObject::eventFilter(watched, event);
}
