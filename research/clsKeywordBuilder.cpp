#include "research/clsKeywordBuilder.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"
#include "platform/Prompter.h"
#include "research/CodeFiles.h"
#include "research/KeywordResearchView.h"
#include "research/frmHTTP.h"
#include "settings/clsPreference.h"
#include "settings/clsRegister.h"

namespace {

const QString kTitle = QStringLiteral("Keyword Research");

QString dealerEmail() { return g_oRegister ? g_oRegister->DealerEmail() : QString(); }

} // namespace

clsKeywordBuilder::clsKeywordBuilder(QObject* parent)
    : QObject(parent)
    , m_frmHTTP(new frmHTTP)
{
    connect(m_frmHTTP, &frmHTTP::Completed, this, &clsKeywordBuilder::onCompleted);
    connect(m_frmHTTP, &frmHTTP::Disconnected, this, [this] { m_Disconnected = true; });
}

clsKeywordBuilder::~clsKeywordBuilder() { CloseHTTPForm(); }

void clsKeywordBuilder::Connect(const QString& postData, const QString& url)
{
    if (m_view) {
        m_view->setProgressValue(1);
        m_view->setStatusText(QStringLiteral("Please wait while retrieving data ..."));
    }
    if (!m_frmHTTP)
        return;
    m_frmHTTP->setConnections(1);
    m_frmHTTP->Load();
    if (m_EngineName.contains(QLatin1String("Google"), Qt::CaseInsensitive)) {
        m_frmHTTP->setEngine(QStringLiteral("Google"));
        m_frmHTTP->setAuthToken(m_AuthToken);
    } else if (m_EngineName.contains(QLatin1String("Yahoo"), Qt::CaseInsensitive)) {
        m_frmHTTP->setEngine(QStringLiteral("Yahoo"));
    } else {
        return;
    }
    m_frmHTTP->Connect(1, url, QStringLiteral("Post"), postData, QString(), true);
}

void clsKeywordBuilder::Disconnect()
{
    if (m_frmHTTP)
        m_frmHTTP->Disconnect();
}

void clsKeywordBuilder::CloseHTTPForm()
{
    if (!m_frmHTTP)
        return;
    m_frmHTTP->release();
    m_frmHTTP = nullptr;
}

void clsKeywordBuilder::onCompleted(qint16, qint32 code, const QString& data)
{
    if (data.isEmpty() || code >= 400 || code < 200) {
        reportFailure(data);
    } else {
        GetResultGoogle(data);
        if (m_view)
            m_view->setProgressValue(3);
    }
    if (m_view)
        m_view->DownLoadCompleted();
}

void clsKeywordBuilder::reportFailure(const QString& data)
{
    if (data.compare(QLatin1String("Cancelled"), Qt::CaseInsensitive) == 0) {
        platform::MsgBox(QStringLiteral("Operation cancelled by user."), platform::MsgButtons::OK,
                         platform::MsgIcon::Information, kTitle);
        ErrorLog::WriteErrorLog(QStringLiteral("clsKeywordBuilder_HTTP_Completed_Cancelled: ") + data);
        return;
    }
    platform::MsgBox(QStringLiteral("Error occured while retrieving the data. Please report to this error to ")
                         + dealerEmail() + QStringLiteral(" for further assistance."),
                     platform::MsgButtons::OK, platform::MsgIcon::Critical, kTitle);
    ErrorLog::WriteErrorLog(QStringLiteral("clsKeywordBuilder_HTTP_Completed_Error: ") + data);
    if (data.contains(QLatin1String("GOOGLE_ACCOUNT_COOKIE_INVALID"), Qt::CaseInsensitive)) {
        // The stored login token is no good any more: forget it.
        clsPreference preferences;
        preferences.GetTokenSetting();
        preferences.setAuthToken(QString());
        preferences.setAuthTokenDate(QString());
        preferences.SaveTokenSetting();
    }
}

void clsKeywordBuilder::GetResultGoogle(const QString& data)
{
    m_Keywords.clear();
    // Without the language file the research cannot go on; the user is told.
    if (!Conversions::Trim(CodeFiles::GetLanguageCodeFile()).isEmpty())
        m_Keywords = GoogleResultParser::GetResultGoogle(data, m_random);
    Q_EMIT GetResultGoogleCompleted(m_Keywords);
}
