#include "platform/desktop/DesktopServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <QUrl>

#include <algorithm>

namespace platform::desktop {

namespace {

// Converts "desc|pattern;pattern|desc|pattern" into Qt's name filters. Qt
// reads a filter's patterns from the parentheses that end its text, so a
// description that shows its patterns there gets them replaced, not repeated.
// "*.*" stands for every file, as in a Windows dialog; Qt's wildcard would
// want a point in the name.
QStringList nameFilters(const QString& filter)
{
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*[*?][^()]*\\)\\s*$"));
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        QString description = parts.at(i);
        description.remove(shownPatterns);
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

// The text of a message box too tall for its screen, in a scroll area as
// wide as the text was laid out and at most maxHeight high. Its hints are
// fixed: the box lays itself out again whenever it likes (a font change, a
// layout request) and must keep finding the same size.
class ScrolledMessageText final : public QScrollArea
{
public:
    ScrolledMessageText(QLabel* text, int textWidth, int maxHeight, QWidget* parent)
        : QScrollArea(parent)
    {
        // The lines keep a blank's width from the scroll bar.
        const int gap = text->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        m_size = QSize(textWidth + gap + verticalScrollBar()->sizeHint().width(), maxHeight);
        setObjectName(QStringLiteral("qm_msgbox_scrolledtext"));
        setViewportMargins(0, 0, gap, 0);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setWidgetResizable(true);
        viewport()->setAutoFillBackground(false);
        setWidget(text);
    }

    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

private:
    QSize m_size;
};

// A message box that fits the available geometry of its screen: a text
// that would make it taller scrolls, so that its buttons stay on the screen.
// A box that fits is left exactly as the message box lays it out.
class FittedMessageBox final : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        fitToScreen();
    }

private:
    // Still before the box is first mapped: it appears at its final size.
    void fitToScreen()
    {
        auto* text = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        auto* grid = qobject_cast<QGridLayout*>(layout());
        const QScreen* shownOn = screen();
        if (!text || !grid || !shownOn || findChild<ScrolledMessageText*>())
            return;
        layout()->activate();
        // Before the window manager has framed the box its frame is not known:
        // that of the window it belongs to, at least a title bar's height, is
        // kept free for it.
        int frame = std::max(frameGeometry().height() - height(),
                             style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
        if (const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
            frame = std::max(frame, owner->frameGeometry().height() - owner->height());
        const int excess = height() + frame - shownOn->availableGeometry().height();
        const int at = grid->indexOf(text);
        if (excess <= 0 || at < 0)
            return;
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        const Qt::Alignment alignment = grid->itemAt(at)->alignment();
        const int minimum = 3 * text->fontMetrics().lineSpacing();
        const int maxHeight = std::max(text->height() - excess, minimum);
        QWidget* const focused = focusWidget();
        grid->removeWidget(text);
        auto* scrolled = new ScrolledMessageText(text, text->width(), maxHeight, this);
        grid->addWidget(scrolled, row, column, rowSpan, columnSpan, alignment);
        // Counted by the layout only once shown, and it is shown with the box.
        scrolled->show();
        // The box sizes itself on a layout request.
        QEvent relayout(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(this, &relayout);
        adjustPosition(parentWidget());
        if (focused)
            focused->setFocus();
    }
};

} // namespace

QWidget* dialogOwner(QWidget* mainWindow)
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return mainWindow && mainWindow->isVisible() ? mainWindow : nullptr;
}

MsgResult MessageBoxPrompter::message(const MessageRequest& request)
{
    FittedMessageBox box(owner());
    // Messages carry names and texts from files and servers: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    box.setWindowTitle(request.title);
    switch (request.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
    }
    switch (request.buttons) {
    case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return MsgResult::OK;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Retry: return MsgResult::Retry;
    default: return MsgResult::Cancel;
    }
}

QString MessageBoxPrompter::fileDialog(FileDialogRequest& request)
{
    QFileDialog dialog(owner(), request.title, request.initialFolder);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex - 1;
        if (index >= 0 && index < filters.size())
            dialog.selectNameFilter(filters.at(index));
    }
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.suggestedName.isEmpty())
        dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    request.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxPrompter::browseForFolder(const QString& title, const QString& initialFolder)
{
    return QFileDialog::getExistingDirectory(owner(), title, initialFolder);
}

bool DesktopShellOpener::open(const QString& target)
{
    const QString t = target.trimmed();
    if (t.isEmpty())
        return false;
    // An existing file or folder opens as such; anything else is an
    // address ("http://...", "mailto:...", "www.example.com").
    const QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath())
                                          : QUrl::fromUserInput(t);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

void OverrideCursor::show()
{
    if (m_depth++ == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_set = true;
    }
}

void OverrideCursor::restore()
{
    if (m_depth > 0 && --m_depth == 0 && m_set) {
        QGuiApplication::restoreOverrideCursor();
        m_set = false;
    }
}

DesktopServices::DesktopServices(bool withMessageBoxes)
{
    if (withMessageBoxes)
        setPrompter(&m_prompter);
    setShellOpener(&m_opener);
    setBusyPointer(&m_cursor);
}

DesktopServices::~DesktopServices()
{
    setPrompter(nullptr);
    setShellOpener(nullptr);
    setBusyPointer(nullptr);
}

} // namespace platform::desktop
