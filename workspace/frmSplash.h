#pragma once

#include "platform/WaitCursor.h"

#include <QWidget>

#include <memory>

class QLabel;
class QTimer;

// The splash window shown while the main window loads: topmost, never
// activated, with the logo that the dealer code and the title choose
// (imgLogo, imgKZV or imgCoBrandLogoAdv). It shows the hourglass pointer
// from Form_Load until it closes, which Timer1 does 3 seconds after loading;
// the main window may close it earlier. A window of its own, so the main
// window can take the focus meanwhile; it deletes itself when closed.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    frmSplash(const QString& dealerId, const QString& title);
    ~frmSplash() override;

    // Picks the logo, shows the window and starts Timer1.
    void Form_Load();

protected:
    // Form_Unload: the default pointer comes back.
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_imgLogo = nullptr;
    QLabel* m_imgKZV = nullptr;
    QLabel* m_imgCoBrandLogoAdv = nullptr;
    QTimer* m_timer1 = nullptr;
    QString m_dealerId;
    QString m_title;
    std::unique_ptr<platform::WaitCursor> m_wait;
};
