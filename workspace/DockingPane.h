#pragma once

#include <QTimer>
#include <QWidget>

class QFrame;
class QTabBar;
class QTabWidget;
class QToolButton;

// A side pane with one tab that the user pins and unpins with the button on
// its tab row. Pinned, it stands docked beside the main area. Unpinned, it
// folds to its tab; the content slides out over the main area while the
// pointer rests on the tab or the content (or after a click on the tab) and
// slides back when the pointer leaves it and the focus is elsewhere.
class DockingPane : public QWidget
{
    Q_OBJECT

public:
    // name: the objectName of the tab widget that holds the content in its
    // one tab; the pane itself is "<name>Dock", its pin button "<name>Pin",
    // the folded tab "<name>Folded" and the sliding panel "<name>Flyout".
    // content: the pane owns it.
    DockingPane(const QString& name, const QString& caption, QWidget* content, QWidget* parent = nullptr);

    bool isPinned() const { return m_pinned; }
    // Emits Pinned or UnPinned when the state changes. The widget of the
    // content that has the keyboard focus keeps it; unpinned, the content
    // then stays slid out until the focus goes elsewhere.
    void setPinned(bool pinned);

    // The width of the folded tab, in pixels.
    int foldedWidth() const;
    // Pinned: the pane's width; the content's width in either state (pixels).
    void setWidths(int paneWidth, int contentWidth);

    // True while the content can be seen: pinned, or slid out.
    bool isContentShown() const;
    void slideOut();
    void slideIn();

signals:
    void Pinned();
    void UnPinned();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Moves the content into the pane, or into the flyout and folds the
    // pane to its tab, and emits the matching signal.
    void dock();
    void fold();
    void placeFlyout();
    void onFocusChanged(QWidget* now);

    bool m_pinned = true;
    int m_paneWidth = 0;
    QWidget* m_content = nullptr;
    QTabWidget* m_tabs = nullptr;   // the tab with the content and the pin button
    QToolButton* m_pin = nullptr;
    QTabBar* m_foldedTab = nullptr;
    QFrame* m_flyout = nullptr;     // holds m_tabs while unpinned
    QTimer m_slideInTimer;
};
