#include "workspace/landing/LandingPageTab.h"

#include "core/ErrorLog.h"
#include "core/FileDialogs.h"
#include "platform/Prompter.h"
#include "platform/RegularFile.h"
#include "platform/WaitCursor.h"
#include "platform/widgets/LineEdit.h"
#include "workspace/landing/SilentWebPage.h"
#include "workspace/landing/ToolStrip.h"
#include "workspace/landing/WebPageEditor.h"

#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QQuickWidget>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>

using ErrorLog::WriteErrorLog;

namespace {

const QString kTitle = QStringLiteral("Landing Page");

const QString kSaveLogPrefix = QStringLiteral("frmMain_SaveLandingPage_Error: ");

void showKept(const QString& failure)
{
    platform::MsgBox(failure + QStringLiteral("\r\n\r\nYour changes are kept in the editor."), platform::MsgButtons::OK,
                     platform::MsgIcon::Critical, kTitle);
}

// Why path cannot be opened, as a sentence; "" when it can. What is no
// regular file is not opened: a named pipe would keep the load waiting.
QString unreadable(const QString& path)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("The file does not exist.");
    QFile file(path);
    QString why;
    if (platform::openRegularFile(file, &why))
        return QString();
    if (!why.isEmpty())
        why[0] = why.at(0).toUpper();
    return why.endsWith(QLatin1Char('.')) ? why : why + QLatin1Char('.');
}

QWidget* tabPage(const QString& name, QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return page;
}

} // namespace

LandingPageTab::LandingPageTab(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tabMainLandingPage"));
    auto* outer = new QVBoxLayout(this);

    auto* cont = new QGroupBox(QStringLiteral("Landing Page Template"), this);
    cont->setObjectName(QStringLiteral("contLandingPage"));
    auto* contLayout = new QVBoxLayout(cont);
    auto* pathRow = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Page Path:"), cont);
    m_txtLandingPagePath = platform::lineEdit(QStringLiteral("txtLandingPagePath"));
    label->setBuddy(m_txtLandingPagePath);
    auto* open = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(), cont);
    open->setObjectName(QStringLiteral("cmdOpenLandingPage"));
    open->setToolTip(QStringLiteral("Open File ..."));
    connect(open, &QPushButton::clicked, this, &LandingPageTab::cmdOpenLandingPage_Click);
    pathRow->addWidget(label);
    pathRow->addWidget(m_txtLandingPagePath, 1);
    pathRow->addWidget(open);
    contLayout->addLayout(pathRow);

    m_sTab = new QTabWidget(cont);
    m_sTab->setObjectName(QStringLiteral("sTab"));
    m_previewPage = tabPage(QStringLiteral("sTabPreview"), m_sTab);
    m_editPage = tabPage(QStringLiteral("sTabEdit"), m_sTab);
    m_toolStrip = new ToolStrip(m_editPage);
    m_editPage->layout()->addWidget(m_toolStrip);
    m_sTab->addTab(m_previewPage, QStringLiteral("Preview"));
    m_sTab->setTabToolTip(0, QStringLiteral("Technical Report Preview"));
    m_sTab->addTab(m_editPage, QStringLiteral("Edit"));
    m_sTab->setTabToolTip(1, QStringLiteral("Edit Content in Technical Report"));
    connect(m_sTab, &QTabWidget::currentChanged, this, &LandingPageTab::sTab_TabChange);
    contLayout->addWidget(m_sTab, 1);

    outer->addWidget(cont, 1);

    // The browser views draw through a Quick widget, which needs its window
    // composed from textures. A window that has its native window already
    // when the first such widget joins it has that native window destroyed
    // and made again (it flickers, moves, and loses the message boxes it
    // owns). A hidden Quick widget of the same kind, here from the start,
    // has the window created that way at its first show; it costs no
    // browser engine and draws nothing.
    auto* composition = new QQuickWidget(this);
    composition->setObjectName(QStringLiteral("quickComposition"));
    composition->hide();
}

LandingPageTab::~LandingPageTab()
{
    // Views and pages must be gone before the profile they use.
    delete m_editor;
    delete m_preview;
    delete m_previewWebPage;
    delete m_profile;
}

QString LandingPageTab::pagePath() const
{
    return m_txtLandingPagePath->text();
}

void LandingPageTab::setPagePath(const QString& path)
{
    platform::setLineText(m_txtLandingPagePath, path);
}

void LandingPageTab::SetUp()
{
    m_sTab->setCurrentIndex(0);
    m_toolStrip->SetUp();
}

void LandingPageTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ensureViews();
}

void LandingPageTab::ensureViews()
{
    if (m_editor)
        return;
    // Off the record: nothing of the pages is kept on disk.
    m_profile = new QWebEngineProfile(this);

    m_previewWebPage = new SilentWebPage(m_profile, this);
    m_preview = new QWebEngineView(m_previewWebPage, m_previewPage);
    m_preview->setObjectName(QStringLiteral("wbrReport"));
    static_cast<QVBoxLayout*>(m_previewPage->layout())->addWidget(m_preview, 1);

    m_editor = new WebPageEditor(m_profile, m_editPage);
    static_cast<QVBoxLayout*>(m_editPage->layout())->addWidget(m_editor, 1);
    connect(m_editor, &LandingPageEditor::DisplayChanged, this,
            [this] { m_toolStrip->UpdateToolBarUI(m_editor); });
    connect(m_editor, &LandingPageEditor::DocumentLoaded, this, &LandingPageTab::onDocumentLoaded);
    connect(m_editor, &LandingPageEditor::DocumentLost, this, [](const QString& path, bool unsaved) {
        platform::MsgBox(QStringLiteral("The editor of the landing page '") + path + QStringLiteral("' stopped.")
                             + (unsaved ? QStringLiteral(" The changes not yet saved are lost.") : QString())
                             + QStringLiteral(" Open the page again to go on editing."),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation, kTitle);
    });
}

void LandingPageTab::cmdOpenLandingPage_Click()
{
    const QString path = FileDialogs::ShowFileDialog(
        0, QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|All Files (*.*)|*.*"),
        FileDialogs::PickerStartFolder(m_txtLandingPagePath->text()), QString(), QStringLiteral("html"), nullptr,
        QStringLiteral("Open File ..."));
    if (!path.isEmpty())
        OpenPage(path);
}

bool LandingPageTab::OpenPage(const QString& path)
{
    if (!SaveEdits())
        return false;
    const QString why = unreadable(path);
    if (!why.isEmpty()) {
        platform::MsgBox(QStringLiteral("The landing page '") + path + QStringLiteral("' cannot be opened.\r\n\r\n")
                             + why,
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation, kTitle);
        return false;
    }
    ensureViews();
    m_openedPath = path;
    platform::setLineText(m_txtLandingPagePath, path);
    m_preview->load(QUrl::fromLocalFile(path));
    m_editor->LoadDocument(path);
    return true;
}

void LandingPageTab::onDocumentLoaded(bool ok, const QString& failure)
{
    if (ok)
        return;
    platform::MsgBox(QStringLiteral("The landing page '") + m_openedPath
                         + QStringLiteral("' could not be loaded into the editor.")
                         + (failure.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + failure),
                     platform::MsgButtons::OK, platform::MsgIcon::Exclamation, kTitle);
}

bool LandingPageTab::SaveEdits()
{
    if (!m_editor || !m_editor->IsDirty())
        return true;
    const QString failure = writeEdits(kSaveLogPrefix);
    if (failure.isEmpty())
        return true;
    showKept(failure);
    return false;
}

bool LandingPageTab::SaveEditsBeforeLeaving(const QString& goOnQuestion)
{
    if (!m_editor || !m_editor->IsDirty())
        return true;
    const QString failure = writeEdits(kSaveLogPrefix);
    return failure.isEmpty()
        || platform::MsgBox(failure + QStringLiteral("\r\n\r\n") + goOnQuestion
                                + QStringLiteral(" Your changes to the landing page will be lost."),
                            platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, kTitle)
        == platform::MsgResult::Yes;
}

void LandingPageTab::sTab_TabChange()
{
    if (!m_editor || m_sTab->currentIndex() != 0 || !m_editor->IsDirty())
        return;
    const QString failure = writeEdits(QStringLiteral("frmMain_sTab_TabChange_Error: "));
    if (failure.isEmpty())
        m_preview->load(QUrl::fromLocalFile(m_editor->DocumentPath()));
    else
        showKept(failure);
}

QString LandingPageTab::writeEdits(const QString& logPrefix)
{
    const QString path = m_editor->DocumentPath();
    QString error;
    bool saved;
    {
        platform::WaitCursor wait;
        saved = m_editor->SaveDocument(path, &error);
    }
    if (saved)
        return QString();
    WriteErrorLog(logPrefix + error);
    return QStringLiteral("The landing page could not be saved to '") + path + QStringLiteral("'.\r\n\r\n") + error;
}
