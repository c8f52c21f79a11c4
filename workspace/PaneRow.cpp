#include "workspace/PaneRow.h"

#include "workspace/DockingPane.h"
#include "workspace/MainLayout.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QSpacerItem>

PaneRow::PaneRow(QWidget* paneContent, QWidget* mainArea, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("centralWidget"));
    m_row = new QHBoxLayout(this);
    m_row->setSpacing(0);

    m_tabLeft = new DockingPane(QStringLiteral("tabLeft"), QStringLiteral("Accounts"), paneContent, this);
    auto* strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("picSpliterVertical"));
    strip->setFrameShape(QFrame::VLine);
    strip->setFrameShadow(QFrame::Sunken);
    strip->setFixedWidth(4);
    m_splitter = strip;
    m_beforeSplitter = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    m_afterSplitter = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);

    m_row->addWidget(m_tabLeft);
    m_row->addItem(m_beforeSplitter);
    m_row->addWidget(m_splitter);
    m_row->addItem(m_afterSplitter);
    m_row->addWidget(mainArea, 1);

    // Pinning and unpinning lay the columns out again; they stand from the
    // start too, before the pane is first touched.
    const auto relayout = [this] {
        resizeControl();
        QCoreApplication::processEvents();
    };
    connect(m_tabLeft, &DockingPane::Pinned, this, relayout);
    connect(m_tabLeft, &DockingPane::UnPinned, this, relayout);
    resizeControl();
}

void PaneRow::resizeControl()
{
    const int dpi = logicalDpiX();
    const auto px = [dpi](int twips) { return MainLayout::toPixels(twips, dpi); };
    const MainLayout::Columns c = MainLayout::columns(
        m_tabLeft->isPinned(), MainLayout::toTwips(m_tabLeft->foldedWidth(), dpi),
        MainLayout::toTwips(m_splitter->width(), dpi));
    m_tabLeft->setWidths(px(c.paneWidth), px(c.contentWidth));
    m_beforeSplitter->changeSize(px(c.splitterLeft) - px(c.paneWidth), 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    m_afterSplitter->changeSize(px(c.mainLeft) - px(c.splitterLeft) - m_splitter->width(), 0, QSizePolicy::Fixed,
                                QSizePolicy::Minimum);
    m_row->setContentsMargins(0, 0, px(MainLayout::RightMargin), 0);
    m_row->invalidate();
}
