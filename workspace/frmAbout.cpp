#include "workspace/frmAbout.h"

#include "core/Globals.h"
#include "core/Version.h"
#include "settings/clsRegister.h"
#include "workspace/Branding.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

frmAbout::frmAbout(const clsRegister* dealer, const QString& title, QWidget* parent)
    : platform::Dialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowTitle(QStringLiteral("About ") + title);

    const QString name = dealer ? dealer->Dealername() : QString();
    const QString email = dealer ? dealer->DealerEmail() : QString();
    const QString web = dealer ? dealer->DealerURL() : QString();

    auto* grid = new QGridLayout(this);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgCoBrandLogo"));
    logo->setPixmap(Branding::picture(Branding::logoFor(dealer ? dealer->DealerID() : QString(), title))
                        .scaledToWidth(240, Qt::SmoothTransformation));
    logo->setAlignment(Qt::AlignTop);
    grid->addWidget(logo, 0, 0, 4, 1);

    grid->addWidget(label(QStringLiteral("lblCopyright"), QString(), this), 0, 1);
    grid->addWidget(label(QStringLiteral("lblVersion"), QStringLiteral("Version: ") + Version::caption(), this), 1, 1);
    grid->addWidget(label(QStringLiteral("lblDealer"),
                          name + QStringLiteral("\nEmail: ") + email + QStringLiteral("\nWeb: ") + web, this),
                    2, 1);
    grid->addWidget(label(QStringLiteral("lblWarning"), QString(), this), 3, 1);

    auto* frame2 = new QFrame(this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setFrameShape(QFrame::HLine);
    frame2->setFrameShadow(QFrame::Sunken);
    grid->addWidget(frame2, 4, 0, 1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(
        label(QStringLiteral("Label2"), QStringLiteral("For Windows 95/98/2000/XP/NT/Vista/Windows 7"), this), 1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(ok);
    grid->addLayout(bottom, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    // A box of fixed content: it takes the size the content needs, and keeps it.
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::showModal(QWidget* owner)
{
    frmAbout box(g_oRegister.get(), AppTitle(), owner);
    box.exec();
}
