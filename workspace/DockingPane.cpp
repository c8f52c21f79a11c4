#include "workspace/DockingPane.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A pushpin: upright while pinned, lying down while not.
QIcon pinIcon(bool pinned, const QColor& ink)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (!pinned) {
        p.translate(7, 7);
        p.rotate(90);
        p.translate(-7, -7);
    }
    p.setPen(QPen(ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.5, 1.5, 5, 5));
    p.drawLine(QPointF(2.5, 7.5), QPointF(11.5, 7.5));
    p.drawLine(QPointF(7, 7.5), QPointF(7, 13));
    return QIcon(pixmap);
}

bool contains(const QWidget* outer, const QWidget* inner)
{
    return inner && (inner == outer || outer->isAncestorOf(inner));
}

} // namespace

DockingPane::DockingPane(const QString& name, const QString& caption, QWidget* content, QWidget* parent)
    : QWidget(parent)
    , m_content(content)
{
    setObjectName(name + QStringLiteral("Dock"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(name);
    m_tabs->setDocumentMode(true);
    m_tabs->addTab(content, caption);
    m_pin = new QToolButton(m_tabs);
    m_pin->setObjectName(name + QStringLiteral("Pin"));
    m_pin->setAutoRaise(true);
    m_pin->setIcon(pinIcon(true, palette().color(QPalette::ButtonText)));
    m_pin->setToolTip(QStringLiteral("Auto Hide"));
    connect(m_pin, &QToolButton::clicked, this, [this] { setPinned(!m_pinned); });
    m_tabs->setCornerWidget(m_pin, Qt::TopRightCorner);
    layout->addWidget(m_tabs);

    m_foldedTab = new QTabBar(this);
    m_foldedTab->setObjectName(name + QStringLiteral("Folded"));
    m_foldedTab->setShape(QTabBar::RoundedWest);
    m_foldedTab->addTab(caption);
    m_foldedTab->setDrawBase(false);
    m_foldedTab->installEventFilter(this);
    m_foldedTab->hide();
    layout->addWidget(m_foldedTab, 0, Qt::AlignTop);

    m_slideInTimer.setSingleShot(true);
    m_slideInTimer.setInterval(600);
    connect(&m_slideInTimer, &QTimer::timeout, this, [this] {
        if (!contains(m_flyout, QApplication::focusWidget()))
            slideIn();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { onFocusChanged(now); });
}

int DockingPane::foldedWidth() const
{
    return m_foldedTab->sizeHint().width();
}

void DockingPane::setWidths(int paneWidth, int contentWidth)
{
    m_paneWidth = paneWidth;
    m_content->setFixedWidth(contentWidth);
    setFixedWidth(m_pinned ? paneWidth : foldedWidth());
    if (m_flyout && m_flyout->isVisible())
        placeFlyout();
}

bool DockingPane::isContentShown() const
{
    return m_pinned || (m_flyout && m_flyout->isVisible());
}

void DockingPane::setPinned(bool pinned)
{
    if (pinned == m_pinned)
        return;
    m_pinned = pinned;
    m_slideInTimer.stop();
    m_pin->setIcon(pinIcon(pinned, palette().color(QPalette::ButtonText)));
    m_pin->setToolTip(pinned ? QStringLiteral("Auto Hide") : QStringLiteral("Dock"));
    // The content changes its parent, which hides it for a moment, and Qt
    // would hand its focus on to the next widget of the window. The widget
    // keeps the focus instead; unpinned, the content stays slid out for it.
    const QPointer<QWidget> focused = contains(m_tabs, QApplication::focusWidget()) ? QApplication::focusWidget()
                                                                                    : nullptr;
    if (focused)
        focused->clearFocus();
    if (pinned)
        dock();
    else
        fold();
    if (focused) {
        if (!pinned)
            slideOut();
        focused->setFocus(Qt::OtherFocusReason);
    }
}

void DockingPane::dock()
{
    layout()->removeWidget(m_foldedTab);
    m_foldedTab->hide();
    static_cast<QHBoxLayout*>(layout())->insertWidget(0, m_tabs);
    m_tabs->show();
    if (m_flyout)
        m_flyout->hide();
    setFixedWidth(m_paneWidth > 0 ? m_paneWidth : width());
    emit Pinned();
}

void DockingPane::fold()
{
    if (!m_flyout) {
        // Over the main area: a child of the window's central part.
        m_flyout = new QFrame(parentWidget());
        m_flyout->setObjectName(m_tabs->objectName() + QStringLiteral("Flyout"));
        m_flyout->setFrameShape(QFrame::StyledPanel);
        m_flyout->setAutoFillBackground(true);
        auto* flyoutLayout = new QVBoxLayout(m_flyout);
        flyoutLayout->setContentsMargins(1, 1, 1, 1);
        m_flyout->installEventFilter(this);
    }
    layout()->removeWidget(m_tabs);
    m_flyout->layout()->addWidget(m_tabs);
    m_foldedTab->show();
    setFixedWidth(foldedWidth());
    m_flyout->hide();
    emit UnPinned();
}

void DockingPane::slideOut()
{
    if (m_pinned || !m_flyout)
        return;
    m_slideInTimer.stop();
    placeFlyout();
    m_flyout->show();
    m_flyout->raise();
}

void DockingPane::slideIn()
{
    m_slideInTimer.stop();
    if (m_flyout)
        m_flyout->hide();
}

void DockingPane::placeFlyout()
{
    // As wide as the content, which has its width fixed, and the frame.
    const QMargins margins = m_flyout->layout()->contentsMargins();
    const int width = m_content->maximumWidth() + margins.left() + margins.right() + 2 * m_flyout->frameWidth();
    const QRect pane = geometry();
    m_flyout->setGeometry(pane.right() + 1, pane.top(), width, pane.height());
}

void DockingPane::onFocusChanged(QWidget* now)
{
    // A click into the main area puts the content away.
    if (!m_pinned && m_flyout && m_flyout->isVisible() && now && !contains(m_flyout, now)
        && !contains(m_foldedTab, now))
        slideIn();
}

void DockingPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The slid-out content stands right beside the pane.
    if (m_flyout && m_flyout->isVisible())
        placeFlyout();
}

bool DockingPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_foldedTab) {
        if (event->type() == QEvent::Enter)
            slideOut();
        else if (event->type() == QEvent::Leave && m_flyout && m_flyout->isVisible())
            m_slideInTimer.start();
        else if (event->type() == QEvent::MouseButtonPress)
            m_flyout && m_flyout->isVisible() ? slideIn() : slideOut();
    } else if (watched == m_flyout) {
        if (event->type() == QEvent::Enter)
            m_slideInTimer.stop();
        else if (event->type() == QEvent::Leave)
            m_slideInTimer.start();
    }
    return QWidget::eventFilter(watched, event);
}
