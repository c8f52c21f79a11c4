#pragma once

#include <QFrame>
#include <QList>

class QComboBox;
class QToolButton;

// The landing-page editor's tool strip (fraTbl): cboFont, cboFontSize and
// the eleven buttons ttbDHTML0 to ttbDHTML10. It only mirrors the editor's
// state at the caret: a click or a chosen font changes nothing in the page.
class ToolStrip : public QFrame
{
    Q_OBJECT

public:
    static constexpr int ButtonCount = 11;

    explicit ToolStrip(QWidget* parent = nullptr);

    // Fills cboFont with the screen's fonts (the fixed list when there are
    // none) and cboFontSize with "1" to "7", and selects the first entries.
    void SetUp();
    // Adds the fixed list of 146 font names to cboFont.
    void PopulateFonts();

    // Mirrors the editor's state in the strip. Any object that is not a
    // LandingPageEditor changes nothing.
    void UpdateToolBarUI(QObject* control);

    // The editing command that button entry (0 to 10) mirrors.
    static int commandOf(int entry);

    QComboBox* cboFont() const { return m_cboFont; }
    QComboBox* cboFontSize() const { return m_cboFontSize; }
    QToolButton* button(int entry) const { return m_buttons.value(entry); }

private:
    QComboBox* m_cboFont = nullptr;
    QComboBox* m_cboFontSize = nullptr;
    QList<QToolButton*> m_buttons;
    // The pressed state last read from the editor; a click puts it back.
    QList<bool> m_pressed;
};
