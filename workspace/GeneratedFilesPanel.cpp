#include "workspace/GeneratedFilesPanel.h"

#include "core/ErrorLog.h"
#include "core/TextFiles.h"
#include "generator/AdFileRows.h"
#include "generator/ImportFormat.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/RegularFile.h"
#include "platform/WaitCursor.h"
#include "workspace/AdFileModel.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

const char* const kTabCaptions[3] = {"Keyword File", "Ad File", "AdGroup File"};
const char* const kTextNames[3] = {"txtKeywordCSV", "txtAdCSV", "txtAdGroupCSV"};
const char* const kListNames[3] = {"lsvKeywordFile", "lsvAdFile", "lsvAdgroupFile"};
const char* const kSwitchNames[3] = {"picKeywordCSV", "picAdCSV", "picAdGroupCSV"};

QString bytesText(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

} // namespace

GeneratedFilesPanel::GeneratedFilesPanel(QTabWidget* tabAdFile, QObject* parent)
    : QObject(parent)
{
    for (int i = 0; i < 3; ++i) {
        buildTab(tabAdFile, i);
        fitColumns(i);
    }
    if (tabAdFile)
        tabAdFile->setCurrentIndex(0);
}

GeneratedFilesPanel::~GeneratedFilesPanel()
{
    // The models may belong to widgets that outlive the panel; stop their
    // background work now.
    for (FileTab& t : m_tabs) {
        if (t.model) {
            t.model->disconnect(this);
            t.model->clear();
        }
    }
}

void GeneratedFilesPanel::buildTab(QTabWidget* tabAdFile, int i)
{
    FileTab& t = m_tabs[i];
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);

    t.frame = new QGroupBox(AdFiles::designCaption(ImportFormat::File(i)), page);
    t.frame->setObjectName(QStringLiteral("contAdwordsFiles%1").arg(i));
    pageLayout->addWidget(t.frame);
    auto* frameLayout = new QVBoxLayout(t.frame);

    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    QStyle* style = t.frame->style();
    for (int v = 0; v < 2; ++v) {
        t.view[v] = new QToolButton(t.frame);
        t.view[v]->setObjectName(QString::fromLatin1(kSwitchNames[i]) + QString::number(v));
        t.view[v]->setAutoRaise(true);
        t.view[v]->setIcon(style->standardIcon(v == 0 ? QStyle::SP_FileDialogContentsView
                                                      : QStyle::SP_FileDialogDetailedView));
        t.view[v]->setToolTip(v == 0 ? QStringLiteral("Display file in plain text format")
                                     : QStringLiteral("Display file in list format"));
        connect(t.view[v], &QToolButton::clicked, this, [this, i, v] { switchView(i, v); });
        bar->addWidget(t.view[v]);
    }
    t.copy = new QToolButton(t.frame);
    t.copy->setObjectName(QStringLiteral("picCopyFile%1").arg(i));
    t.copy->setAutoRaise(true);
    t.copy->setIcon(QIcon::fromTheme(QStringLiteral("edit-copy"), style->standardIcon(QStyle::SP_DialogSaveButton)));
    t.copy->setToolTip(QStringLiteral("Copy file to clipboard"));
    connect(t.copy, &QToolButton::clicked, this, [this, i] { picCopyFile_Click(i); });
    bar->addWidget(t.copy);
    frameLayout->addLayout(bar);

    t.text = new QPlainTextEdit(t.frame);
    t.text->setObjectName(QString::fromLatin1(kTextNames[i]));
    t.text->setReadOnly(true);
    t.text->setUndoRedoEnabled(false);
    t.text->setLineWrapMode(QPlainTextEdit::NoWrap);
    t.text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    t.text->installEventFilter(this);
    frameLayout->addWidget(t.text, 1);

    t.note = new QLabel(t.frame);
    t.note->setObjectName(QStringLiteral("lblPartialText%1").arg(i));
    t.note->setWordWrap(true);
    t.note->hide();
    frameLayout->addWidget(t.note);

    t.model = new AdFileModel(ImportFormat::columnCaptions(ImportFormat::File(i)), this);
    t.list = new QTableView(t.frame);
    t.list->setObjectName(QString::fromLatin1(kListNames[i]));
    t.list->setModel(t.model);
    t.list->setSelectionBehavior(QAbstractItemView::SelectRows);
    t.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t.list->setShowGrid(false);
    t.list->setWordWrap(false);
    t.list->setSortingEnabled(false);
    t.list->verticalHeader()->hide();
    t.list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t.list->verticalHeader()->setDefaultSectionSize(t.list->fontMetrics().height() + 4);
    t.list->horizontalHeader()->setSectionsClickable(true);
    // Shown without a sorted column, so that every caption is measured with
    // the room of the arrow that a click puts beside it.
    t.list->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    t.list->horizontalHeader()->setSortIndicatorShown(true);
    t.list->horizontalHeader()->setHighlightSections(false);
    t.list->horizontalHeader()->setStretchLastSection(true);
    connect(t.list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this, i](int column) { columnClick(i, column); });
    frameLayout->addWidget(t.list, 1);
    t.list->hide();

    connect(t.model, &AdFileModel::countChanged, this, [this, i](int count) {
        m_tabs[i].frame->setTitle(AdFiles::countCaption(ImportFormat::File(i), count));
        // A big file lists its first rows while the rest is indexed.
        if (count > 0 && !m_tabs[i].columnsFitted)
            fitColumns(i);
    });
    connect(t.model, &AdFileModel::readFailed, this, [](const QString& description) {
        ErrorLog::WriteErrorLog(QStringLiteral("AddListViewItems_Error: ") + description);
    });
    connect(t.model, &AdFileModel::indexingFinished, this, &GeneratedFilesPanel::checkIdle);
    connect(t.model, &AdFileModel::sortFinished, this, &GeneratedFilesPanel::checkIdle);

    if (tabAdFile)
        tabAdFile->addTab(page, QString::fromLatin1(kTabCaptions[i]));
}

void GeneratedFilesPanel::fitColumns(int i)
{
    FileTab& t = m_tabs[i];
    QHeaderView* header = t.list->horizontalHeader();
    const int columns = t.model->columnCount();
    const int rows = t.model->rowCount();
    std::vector<int> widths(size_t(columns), 0);

    for (int c = 0; c < columns; ++c)
        widths[size_t(c)] = header->sectionSizeHint(c);

    // Only the first rows: they lie together at the start of the mapped file,
    // which the list reads anyway. Rows spread over a file of gigabytes would
    // each fault in pages of their own, holding up the window and its memory.
    const int sampled = std::min(rows, kSampledRows);

    const QFontMetrics metrics = t.list->fontMetrics();
    // The item delegate keeps the focus frame's margin and one pixel on each
    // side of a value; two more spare it the last pixel of rounding.
    const int margin = 2 * (t.list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t.list) + 1) + 2;
    const int widest = kMaxFittedChars * metrics.averageCharWidth();
    for (int r = 0; r < sampled; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QString value = t.model->index(r, c).data().toString();
            if (value.isEmpty())
                continue;
            const int fitted = c + 1 < columns ? std::min(metrics.horizontalAdvance(value) + margin, widest)
                                               : metrics.horizontalAdvance(value) + margin;
            widths[size_t(c)] = std::max(widths[size_t(c)], fitted);
        }
    }
    for (int c = 0; c < columns; ++c)
        header->resizeSection(c, widths[size_t(c)]);
    t.columnsFitted = rows > 0;
}

bool GeneratedFilesPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    int index = -1;
    for (int i = 0; i < 3; ++i)
        if (watched == m_tabs[i].text)
            index = i;
    if (index < 0)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::ControlModifier || (key->key() != Qt::Key_A && key->key() != Qt::Key_C))
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept(); // keep the window's own shortcuts away from these keys
        return true;
    }
    if (key->key() == Qt::Key_A)
        m_tabs[index].text->selectAll();
    else
        picCopyFile_Click(index);
    return true;
}

bool GeneratedFilesPanel::LoadAdFiles(const QString& campaignFolder)
{
    if (campaignFolder.trimmed().isEmpty())
        return LoadAdFiles(campaignFolder, GeneratedFileTexts());
    return LoadAdFiles(campaignFolder, GeneratedFileTexts::read(campaignFolder, thread()));
}

bool GeneratedFilesPanel::LoadAdFiles(const QString& campaignFolder, GeneratedFileTexts texts)
{
    QString step = QStringLiteral("Log point 1");
    const auto fail = [&step](const QString& description) {
        ErrorLog::WriteErrorLog(QStringLiteral("LoadAdFiles_Error: ") + description + QStringLiteral("-") + step);
        return false;
    };
    if (campaignFolder.trimmed().isEmpty())
        return fail(QStringLiteral("No campaign is open"));

    step = QStringLiteral("Log point 2");
    step = QStringLiteral("Log point 3");
    for (int i = 0; i < 3; ++i) {
        clearTextView(i);
        m_tabs[i].model->clear();
    }

    step = QStringLiteral("Log point 4");
    for (int i = 0; i < 3; ++i)
        m_tabs[i].path = platform::Locations::join(campaignFolder, ImportFormat::fileName(ImportFormat::File(i)));

    step = QStringLiteral("Log point 5");
    if (!showText(0, texts.file(0)))
        return fail(texts.file(0).error);
    loadList(0);

    step = QStringLiteral("Log point 6");
    if (!showText(1, texts.file(1)))
        return fail(texts.file(1).error);
    loadList(1);

    step = QStringLiteral("Log point 7");
    if (!showText(2, texts.file(2)))
        return fail(texts.file(2).error);
    step = QStringLiteral("Log point 8");
    loadList(2);
    return true;
}

bool GeneratedFilesPanel::showText(int i, GeneratedFileTexts::Text& text)
{
    if (!text.error.isEmpty())
        return false;
    if (!text.document)
        return true; // a missing file reads as empty
    FileTab& t = m_tabs[i];
    t.fileSize = text.fileSize;
    t.truncated = text.fileSize > text.shownBytes;
    QTextDocument* document = text.document.release();
    document->setParent(t.text);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(t.text->font());
    const QPointer<QTextDocument> previous = t.text->document();
    t.text->setDocument(document);
    if (previous && previous->parent() == t.text)
        delete previous;
    if (t.truncated) {
        t.note->setText(QStringLiteral("Only the first %1 of %2 bytes of this file are shown here; %3 bytes are "
                                       "not shown. Copy the file to the clipboard to get all of it.")
                            .arg(bytesText(text.shownBytes), bytesText(t.fileSize),
                                 bytesText(t.fileSize - text.shownBytes)));
        t.note->setVisible(!t.text->isHidden());
    }
    return true;
}

void GeneratedFilesPanel::loadList(int i)
{
    FileTab& t = m_tabs[i];
    t.columnsFitted = false;
    if (!t.model->load(t.path))
        ErrorLog::WriteErrorLog(QStringLiteral("AddListViewItems_Error: ") + t.model->errorString());
    t.frame->setTitle(AdFiles::countCaption(ImportFormat::File(i), t.model->rowCount()));
    if (!t.columnsFitted)
        fitColumns(i);
}

void GeneratedFilesPanel::clear()
{
    for (int i = 0; i < 3; ++i) {
        clearTextView(i);
        m_tabs[i].model->clear();
        m_tabs[i].frame->setTitle(AdFiles::designCaption(ImportFormat::File(i)));
    }
}

void GeneratedFilesPanel::clearTextView(int index)
{
    if (index < 0 || index > 2)
        return;
    FileTab& t = m_tabs[index];
    t.text->clear();
    t.truncated = false;
    t.fileSize = 0;
    t.note->clear();
    t.note->hide();
}

void GeneratedFilesPanel::lsvKeywordFile_ColumnClick(int column) { columnClick(0, column); }
void GeneratedFilesPanel::lsvAdFile_ColumnClick(int column) { columnClick(1, column); }
void GeneratedFilesPanel::lsvAdgroupFile_ColumnClick(int column) { columnClick(2, column); }

void GeneratedFilesPanel::columnClick(int index, int column)
{
    FileTab& t = m_tabs[index];
    if (column < 0 || column >= t.model->columnCount())
        return;
    t.sortDescending = !t.sortDescending;
    const Qt::SortOrder order = t.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    QHeaderView* header = t.list->horizontalHeader();
    header->setSortIndicator(column, order);
    t.model->setSort(column, order);
}

void GeneratedFilesPanel::picKeywordCSV_Click(int index) { switchView(0, index); }
void GeneratedFilesPanel::picAdCSV_Click(int index) { switchView(1, index); }
void GeneratedFilesPanel::picAdGroupCSV_Click(int index) { switchView(2, index); }

void GeneratedFilesPanel::switchView(int i, int view)
{
    FileTab& t = m_tabs[i];
    if (view == 0) {
        t.list->hide();
        t.text->show();
        t.note->setVisible(t.truncated);
    } else if (view == 1) {
        t.text->hide();
        t.note->hide();
        t.list->show();
    }
}

void GeneratedFilesPanel::picCopyFile_Click(int index)
{
    if (index < 0 || index > 2)
        return;
    FileTab& t = m_tabs[index];
    const platform::WaitCursor hourglass;
    QTextCursor cursor = t.text->textCursor();
    const int end = t.text->document()->characterCount() - 1;
    const bool whole = !cursor.hasSelection() || (cursor.selectionStart() == 0 && cursor.selectionEnd() >= end);
    if (!cursor.hasSelection())
        t.text->selectAll();

    QString text;
    if (whole && t.truncated) {
        // The text view holds only part of the file: the whole is read again,
        // and only from a regular file (the file may have been replaced by a
        // named pipe since it was shown, whose read would wait for good).
        QFile file(t.path);
        QString why;
        if (platform::openRegularFile(file, &why)) {
            text = AdFiles::textViewText(AdFiles::decodeText(file.readAll()));
            if (file.error() != QFileDevice::NoError)
                why = file.errorString();
        }
        if (!why.isEmpty()) {
            // Told, or a paste would give what the clipboard held before.
            const QString error = TextFiles::readError(t.path, why);
            ErrorLog::WriteErrorLog(QStringLiteral("picCopyFile_Error: ") + error);
            platform::MsgBox(QStringLiteral("The file could not be copied to the clipboard.\r\n\r\n") + error,
                             platform::MsgButtons::OK, platform::MsgIcon::Critical, QStringLiteral("Copy File"));
            return;
        }
    } else {
        text = t.text->textCursor().selectedText();
        text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
        text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    }
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool GeneratedFilesPanel::isBusy() const
{
    for (const FileTab& t : m_tabs)
        if (t.model->isBusy())
            return true;
    return false;
}

AdFileModel* GeneratedFilesPanel::listModel(int index) const
{
    return (index >= 0 && index < 3) ? m_tabs[index].model : nullptr;
}

void GeneratedFilesPanel::checkIdle()
{
    if (!isBusy())
        Q_EMIT idle();
}
