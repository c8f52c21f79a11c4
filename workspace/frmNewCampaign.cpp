#include "workspace/frmNewCampaign.h"

#include "campaign/clsMain.h"
#include "core/Conversions.h"
#include "platform/Prompter.h"
#include "platform/widgets/LineEdit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace NewCampaignNames {

namespace {

const QString kForbidden = QStringLiteral("\\/:*?\"<>|");

QString forbiddenList()
{
    QStringList chars;
    for (const QChar c : kForbidden)
        chars.append(QString(c));
    return chars.join(QLatin1Char(' '));
}

QString fault(const QString& what, const QString& name)
{
    if (!IsValidName(name))
        return what + QStringLiteral(" name cannot contain any of the following characters:\r\n") + forbiddenList();
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return what + QStringLiteral(" name cannot contain line breaks or other control characters.");
    }
    if (name.isEmpty())
        return what + QStringLiteral(" name cannot be empty.");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return what + QStringLiteral(" name cannot be '.' or '..'.");
    if (name.startsWith(QLatin1Char('[')))
        return what + QStringLiteral(" name cannot begin with '['.");
    if (name.toUtf8().size() > 255) // the longest folder name
        return what + QStringLiteral(" name is too long.");
    return QString();
}

} // namespace

bool IsValidName(const QString& name)
{
    for (const QChar c : name) {
        if (kForbidden.contains(c))
            return false;
    }
    return true;
}

Verdict check(const QString& account, const QString& campaign)
{
    QString message = fault(QStringLiteral("Account"), Conversions::Trim(account));
    if (!message.isEmpty())
        return Verdict{Field::Account, message};
    message = fault(QStringLiteral("Campaign"), Conversions::Trim(campaign));
    if (!message.isEmpty())
        return Verdict{Field::Campaign, message};
    return Verdict{};
}

} // namespace NewCampaignNames

frmNewCampaign::frmNewCampaign(QWidget* parent)
    : platform::Dialog(parent)
{
    setObjectName(QStringLiteral("frmNewCampaign"));
    setWindowTitle(QStringLiteral("New Campaign"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("Please enter account and campaign name below:"), this);
    auto* lblProject = new QLabel(QStringLiteral("Account:"), frame);
    lblProject->setObjectName(QStringLiteral("lblProject"));
    m_cboAccount = new QComboBox(frame);
    m_cboAccount->setObjectName(QStringLiteral("cboAccount"));
    m_cboAccount->setEditable(true);
    m_cboAccount->setInsertPolicy(QComboBox::NoInsert);
    platform::setLineText(m_cboAccount, QStringLiteral("Default"));
    auto* lblwebSite = new QLabel(QStringLiteral("Campaign:"), frame);
    lblwebSite->setObjectName(QStringLiteral("lblwebSite"));
    m_txtCampaign = new QLineEdit(frame);
    m_txtCampaign->setObjectName(QStringLiteral("txtCampaign"));
    m_txtCampaign->installEventFilter(this);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(lblProject, 0, 0);
    grid->addWidget(m_cboAccount, 0, 1);
    grid->addWidget(lblwebSite, 1, 0);
    grid->addWidget(m_txtCampaign, 1, 1);

    auto* cmdFinish = new QPushButton(QStringLiteral("Ok"), this);
    cmdFinish->setObjectName(QStringLiteral("cmdFinish"));
    cmdFinish->setAutoDefault(false);
    auto* cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdFinish, &QPushButton::clicked, this, &frmNewCampaign::cmdFinish_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmNewCampaign::cmdCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdFinish);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    // Wider boxes help long names; more height would only pull the fields apart.
    setFixedHeight(sizeHint().height());
}

void frmNewCampaign::PopulateProjects(const clsMain* tree)
{
    m_tree = tree;
    m_cboAccount->clear();
    if (tree && !tree->isEmpty()) {
        for (const TreeNode& node : tree->nodes()) {
            if (node.id.isAccount())
                m_cboAccount->addItem(node.id.account);
        }
    } else {
        m_cboAccount->addItem(QStringLiteral("Default"));
    }
    m_cboAccount->setCurrentIndex(0);
}

void frmNewCampaign::cmdFinish_Click()
{
    m_accountName = Conversions::Trim(m_cboAccount->currentText());
    m_campaign = Conversions::Trim(m_txtCampaign->text());
    NewCampaignNames::Verdict verdict = NewCampaignNames::check(m_accountName, m_campaign);
    if (verdict.field == NewCampaignNames::Field::None && m_tree) {
        const auto account = m_tree->findAccount(m_accountName);
        if (account && m_tree->contains(NodeId::campaignNode(account->account, m_campaign)))
            verdict = {NewCampaignNames::Field::Campaign,
                       QStringLiteral("Campaign '") + m_campaign + QStringLiteral("' already exists in account '")
                           + account->account + QStringLiteral("'.")};
    }
    if (verdict.field != NewCampaignNames::Field::None) {
        platform::MsgBox(verdict.message, platform::MsgButtons::OK, platform::MsgIcon::Critical,
                         QStringLiteral("Create New Campaign"));
        if (verdict.field == NewCampaignNames::Field::Account)
            m_cboAccount->setFocus();
        else
            m_txtCampaign->setFocus();
        return;
    }
    m_cancelled = false;
    accept();
}

void frmNewCampaign::cmdCancel_Click()
{
    reject();
}

void frmNewCampaign::reject()
{
    m_cancelled = true; // Cancel, Escape and the window's close box alike
    QDialog::reject();
}

void frmNewCampaign::keyPressEvent(QKeyEvent* event)
{
    // Enter outside the campaign box does not close the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

bool frmNewCampaign::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtCampaign && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cmdFinish_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
