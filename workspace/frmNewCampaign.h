#pragma once

#include "platform/widgets/Dialog.h"

#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class clsMain;

// The name rules of a new account and campaign.
namespace NewCampaignNames {

enum class Field { None, Account, Campaign };

struct Verdict {
    Field field = Field::None; // the field to correct; None when both names are good
    QString message;           // shown critical, titled "Create New Campaign"
};

// False when the name holds any of \ / : * ? " < > |.
bool IsValidName(const QString& name);

// Checks the trimmed names: neither may hold \ / : * ? " < > | or a control
// character (a line break would split its line in Accounts.dat), be empty,
// be "." or "..", begin with "[", or be longer than a folder name may be
// (255 bytes as UTF-8). The account is checked first.
Verdict check(const QString& account, const QString& campaign);

} // namespace NewCampaignNames

// The "New Campaign" dialog: pick or type an account, type a campaign.
class frmNewCampaign : public platform::Dialog
{
    Q_OBJECT

public:
    explicit frmNewCampaign(QWidget* parent = nullptr);

    // Fills the account list from the tree's accounts in node order, or
    // "Default" when the tree is empty, and selects the first entry. The tree
    // is also used to refuse a campaign that exists already.
    void PopulateProjects(const clsMain* tree);

    QString Campaign() const { return m_campaign; }
    QString AccountName() const { return m_accountName; }
    bool Cancelled() const { return m_cancelled; }

    // Ok: takes the trimmed names, refuses bad ones and a campaign that the
    // account has already with a message (focus on the field, the dialog
    // stays), else closes the dialog.
    void cmdFinish_Click();
    void cmdCancel_Click();

public:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const clsMain* m_tree = nullptr;
    QComboBox* m_cboAccount = nullptr;
    QLineEdit* m_txtCampaign = nullptr;
    QString m_campaign;
    QString m_accountName;
    bool m_cancelled = false;
};
