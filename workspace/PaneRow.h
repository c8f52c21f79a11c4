#pragma once

#include <QWidget>

class DockingPane;
class QHBoxLayout;
class QSpacerItem;

// The main window's columns: the pinnable left pane (tabLeft, the tab widget
// with one tab "Accounts", in its DockingPane), the splitter strip picSpliterVertical and the main area.
// resizeControl gives them their widths in twips at the screen's resolution
// (MainLayout) whenever the pane is pinned or unpinned; the main area takes
// the rest of the width, and Qt's layout keeps it so on every resize.
class PaneRow : public QWidget
{
    Q_OBJECT

public:
    // paneContent: picLeft; mainArea: what stands right of the splitter.
    PaneRow(QWidget* paneContent, QWidget* mainArea, QWidget* parent = nullptr);

    DockingPane* tabLeft() const { return m_tabLeft; }
    QWidget* splitter() const { return m_splitter; }

private:
    void resizeControl();

    DockingPane* m_tabLeft = nullptr;
    QWidget* m_splitter = nullptr;
    QHBoxLayout* m_row = nullptr;
    QSpacerItem* m_beforeSplitter = nullptr;
    QSpacerItem* m_afterSplitter = nullptr;
};
