#pragma once

#include "workspace/landing/LandingPageEditor.h"

#include <QHash>
#include <QUrl>

class EditorBridge;
class EditorWebPage;
class QJsonObject;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

// The landing-page editor on the browser engine: the file is shown with
// document.designMode on. Scripts of the page do not run while it is edited,
// so what is saved is the author's markup, not what a script made of it; the
// page cannot navigate away from its file. A script of our own, in a world
// of its own, reports every change of the caret state and every edit through
// a web channel; saving reads the document back with its doctype.
class WebPageEditor : public LandingPageEditor
{
    Q_OBJECT

public:
    // profile: must outlive the editor.
    WebPageEditor(QWebEngineProfile* profile, QWidget* parent = nullptr);
    ~WebPageEditor() override;

    int QueryStatus(int command) const override;
    QString FontName() const override { return m_fontName; }
    int FontSize() const override { return m_fontSize; }
    bool IsDirty() const override { return m_ready && m_generation > m_savedGeneration; }
    QString DocumentPath() const override { return m_path; }

    void LoadDocument(const QString& path) override;
    bool SaveDocument(const QString& path, QString* error) override;

    QWebEngineView* view() const { return m_view; }

private:
    friend class EditorBridge;
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void finishLoad(bool editable, const QString& failure);
    void report(const QJsonObject& state);
    void clearState();

    EditorWebPage* m_page = nullptr;
    QWebEngineView* m_view = nullptr;

    QString m_path;
    QUrl m_url;
    bool m_loading = false;        // LoadDocument's load has not ended yet
    quint64 m_loadNumber = 0;      // counts the loads, so an answer for an older one is dropped
    bool m_ready = false;          // the file is loaded and editable
    bool m_byteOrderMark = false;  // the file began with one
    QByteArray m_source;           // the file as read, until its load has ended
    // Every edit raises the document's generation; the one last written to
    // the file tells whether anything is unsaved, even when typing goes on
    // while a save is under way.
    qint64 m_generation = 0;
    qint64 m_savedGeneration = 0;
    QHash<QString, int> m_status;  // by browser command name
    QString m_fontName;
    int m_fontSize = 0;
};
