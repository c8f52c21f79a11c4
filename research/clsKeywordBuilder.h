#pragma once

#include "research/GoogleResultParser.h"
#include "research/clsKWBuilder.h"

#include <QObject>
#include <QString>

class KeywordResearchView;
class frmHTTP;

// The driver of one keyword research request: posts the request text
// through its own transport window, reports progress to the research
// window, tells the user about an error or a cancel, reads a successful
// reply into keyword ideas (GetResultGoogleCompleted) and calls the
// window's DownLoadCompleted after every end of the request.
//
// Use: set EngineName ("Google"), FormKeywordBuilder and AuthToken, then
// Connect. Disconnect cancels; CloseHTTPForm (or destruction) lets the
// transport go, after which nothing of the request reaches anyone.
class clsKeywordBuilder : public QObject
{
    Q_OBJECT

public:
    explicit clsKeywordBuilder(QObject* parent = nullptr);
    ~clsKeywordBuilder() override;

    void setFormKeywordBuilder(KeywordResearchView* view) { m_view = view; }
    // "Google" posts the request with the access token; "Yahoo" posts it
    // without; any other name sends nothing.
    void setEngineName(const QString& name) { m_EngineName = name; }
    void setAuthToken(const QString& token) { m_AuthToken = token; }
    // The ideas of the last successful reply (empty before).
    const KeywordIdeas& Keywords() const { return m_Keywords; }
    // True once a cancelled request has stopped.
    bool Disconnected() const { return m_Disconnected; }
    // Where the KEI's random factor comes from (the program's generator by default).
    void setRandomSource(RandomFraction random) { m_random = std::move(random); }

    // Posts postData to url on the transport's one slot, with its time-out.
    void Connect(const QString& postData, const QString& url);
    void Disconnect();
    void CloseHTTPForm();

signals:
    void GetResultGoogleCompleted(const KeywordIdeas& keywords);

private:
    void onCompleted(qint16 index, qint32 code, const QString& data);
    void reportFailure(const QString& data);
    void GetResultGoogle(const QString& data);

    KeywordResearchView* m_view = nullptr;
    frmHTTP* m_frmHTTP;
    QString m_EngineName;
    QString m_AuthToken;
    KeywordIdeas m_Keywords;
    bool m_Disconnected = false;
    RandomFraction m_random = programRandom();
};
