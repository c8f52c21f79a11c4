#include "workspace/frmSplash.h"

#include "core/Version.h"
#include "workspace/Branding.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel* logoLabel(const QString& name, Branding::Logo logo, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(Branding::picture(logo));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

frmSplash::frmSplash(const QString& dealerId, const QString& title)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_dealerId(dealerId)
    , m_title(title)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 8);
    // The three logos share one place; the logo rule shows one of them.
    m_imgLogo = logoLabel(QStringLiteral("imgLogo"), Branding::Logo::Standard, this);
    m_imgKZV = logoLabel(QStringLiteral("imgKZV"), Branding::Logo::DealerKzv, this);
    m_imgCoBrandLogoAdv = logoLabel(QStringLiteral("imgCoBrandLogoAdv"), Branding::Logo::CoBrand, this);
    m_imgKZV->hide();
    m_imgCoBrandLogoAdv->hide();
    for (QLabel* logo : {m_imgLogo, m_imgKZV, m_imgCoBrandLogoAdv})
        layout->addWidget(logo);
    auto* version = new QLabel(QStringLiteral("Version ") + Version::caption(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    setStyleSheet(QStringLiteral("frmSplash { border: 1px solid #555; background: white; }"));
    setAttribute(Qt::WA_StyledBackground);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(3000);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &QWidget::close);
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load()
{
    m_wait = std::make_unique<platform::WaitCursor>();
    const Branding::Logo logo = Branding::logoFor(m_dealerId, m_title);
    m_imgLogo->setVisible(logo == Branding::Logo::Standard);
    m_imgKZV->setVisible(logo == Branding::Logo::DealerKzv);
    m_imgCoBrandLogoAdv->setVisible(logo == Branding::Logo::CoBrand);

    QCoreApplication::processEvents();
    adjustSize();
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());
    show();
    raise();
    m_timer1->start();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    m_timer1->stop();
    m_wait.reset();
    event->accept();
}
