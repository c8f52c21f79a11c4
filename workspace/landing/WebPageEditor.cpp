#include "workspace/landing/WebPageEditor.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "workspace/landing/PageEncoding.h"
#include "workspace/landing/SilentWebPage.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>
#include <utility>

namespace {

struct BrowserCommand {
    int number;
    const char* name;
};

// The editing commands by their number and the browser's name for them.
const BrowserCommand kCommands[] = {
    {EditCommand::Bold, "bold"},
    {EditCommand::Italic, "italic"},
    {EditCommand::Underline, "underline"},
    {EditCommand::OrderedList, "insertOrderedList"},
    {EditCommand::UnorderedList, "insertUnorderedList"},
    {EditCommand::Indent, "indent"},
    {EditCommand::Outdent, "outdent"},
    {EditCommand::JustifyLeft, "justifyLeft"},
    {EditCommand::JustifyCenter, "justifyCenter"},
    {EditCommand::JustifyRight, "justifyRight"},
    {EditCommand::ForeColor, "foreColor"},
    {EditCommand::FontName, "fontName"},
    {EditCommand::FontSize, "fontSize"},
};

// A save that takes longer than this is given up (the file stays as it was).
constexpr int kSaveTimeoutMs = 30000;

// The browser's name for the character set of a page whose own it cannot
// decode: the page reads as one replacement character.
const QString kUndecodable = QStringLiteral("replacement");

// Runs in the editor's own script world when the page's document is ready:
// switches design mode on, counts edits and reports the state at the caret.
// %1 is the list of command names.
const char kEditorScript[] = R"JS(
(function () {
    'use strict';
    var commands = %1;
    var generation = 0;
    var host = null;
    var queued = false;
    // A page the browser could not decode is not for editing (see kUndecodable).
    if (document.characterSet === 'replacement')
        return;
    document.designMode = 'on';

    function status(name) {
        try {
            if (!document.queryCommandEnabled(name)) return 0;
            if (document.queryCommandIndeterm(name)) return 11;
            return document.queryCommandState(name) ? 7 : 3;
        } catch (e) {
            return 0;
        }
    }
    function value(name) {
        try {
            return String(document.queryCommandValue(name) || '');
        } catch (e) {
            return '';
        }
    }
    function report() {
        queued = false;
        var state = {};
        commands.forEach(function (name) { state[name] = status(name); });
        host.report({generation: generation, status: state,
                     fontName: value('fontName'), fontSize: value('fontSize')});
    }
    // The events of one step give one report. Timers do not run while the
    // page's scripts are off, promise reactions do.
    function changed() {
        if (host && !queued) {
            queued = true;
            Promise.resolve().then(report);
        }
    }
    window.quillmarkGeneration = function () { return generation; };
    window.quillmarkReport = changed;
    var edits = new MutationObserver(function () { ++generation; changed(); });
    edits.observe(document, {subtree: true, childList: true, attributes: true, characterData: true});

    // What follows the root element's end tag in the file: blanks, line
    // breaks and comments (a processing instruction reads as one). Line ends
    // as the parser reads them; null when anything else follows, or nothing.
    // A comment ends at its first "-->": matched so, each part of the text
    // can be read only one way, and a file that does not fit is found out
    // in one pass.
    function epilogueOf(source) {
        var found = /<\/html[^>]*>((?:[\t\n\f ]|<!--(?:(?!-->)[\s\S])*-->|<\?[^>]*>)*)$/i
            .exec(source.replace(/\r\n?/g, '\n'));
        return found && found[1] ? found[1] : null;
    }
    // Its comments as the parser reads them, and all its blanks and line
    // breaks in a row.
    function partsOf(epilogue) {
        var parts = {comments: [], blanks: ''};
        epilogue.match(/[\t\n\f ]+|<!--(?:(?!-->)[\s\S])*-->|<\?[^>]*>/g).forEach(function (token) {
            if (token.charAt(0) !== '<')
                parts.blanks += token;
            else
                parts.comments.push(token.charAt(1) === '?' ? token.slice(1, -1) : token.slice(4, -3));
        });
        return parts;
    }
    // The parser keeps after the root element only the comments before the
    // first blank; every blank, and every comment after one, goes to the end
    // of the body. Those nodes are found from the end of the document; when
    // they are all there, they leave the document, and the epilogue is
    // written back after the root element as it stood in the file (see
    // kSerializeScript). Otherwise the document stays as the parser made it.
    window.quillmarkKeepEpilogue = function (fileBase64) {
        var source;
        try {
            var bytes = Uint8Array.from(atob(fileBase64), function (c) { return c.charCodeAt(0); });
            source = new TextDecoder(document.characterSet).decode(bytes);
        } catch (e) {
            return;
        }
        var epilogue = epilogueOf(source);
        if (!epilogue)
            return;
        var parts = partsOf(epilogue);
        var root = document.documentElement;
        var after = [];
        for (var node = root.nextSibling; node; node = node.nextSibling)
            after.push(node);
        if (after.length > parts.comments.length)
            return;
        for (var i = 0; i < after.length; ++i) {
            if (after[i].nodeType !== Node.COMMENT_NODE || after[i].data !== parts.comments[i])
                return;
        }
        var comments = parts.comments.slice(after.length);
        var blanks = parts.blanks.length;  // those not yet found
        var removed = [];
        var cut = null;  // [text node, length kept]
        var last = root;
        while (last.lastChild)
            last = last.lastChild;
        var walker = document.createTreeWalker(root, NodeFilter.SHOW_ALL);
        walker.currentNode = last;
        for (node = last; node && (comments.length || blanks); node = walker.previousNode()) {
            if (node.nodeType === Node.COMMENT_NODE) {
                if (node.data !== comments[comments.length - 1])
                    return;
                comments.pop();
                removed.push(node);
            } else if (node.nodeType === Node.TEXT_NODE) {
                var kept = node.data.length;
                while (kept && blanks && node.data.charAt(kept - 1) === parts.blanks.charAt(blanks - 1)) {
                    --kept;
                    --blanks;
                }
                if (!kept)
                    removed.push(node);
                else if (comments.length || blanks)
                    return;
                else
                    cut = [node, kept];
            } else {
                return;
            }
        }
        if (comments.length || blanks)
            return;
        // Edits made so far still count; taking the nodes out is none.
        if (edits.takeRecords().length) {
            ++generation;
            changed();
        }
        after.concat(removed).forEach(function (node) { node.remove(); });
        if (cut)
            cut[0].deleteData(cut[1], cut[0].data.length - cut[1]);
        edits.takeRecords();
        window.quillmarkEpilogue = epilogue;
    };
    ['selectionchange', 'keyup', 'mouseup', 'input', 'focus'].forEach(function (name) {
        document.addEventListener(name, changed, true);
    });
    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.editor;
        changed();
    });
})();
)JS";

// Runs in the editor's own script world before the page is read: puts a
// content security policy that lets none of the page's scripts run into its
// head, in time for the first of them (before it runs a script, the parser
// lets observers see what it has built). Scripting itself stays on, so the
// page is read as a browser reads it: a <noscript> in the head holds text,
// not elements that would move the rest of the head into the body.
const char kPolicyScript[] = R"JS(
(function () {
    'use strict';
    new MutationObserver(function (records, observer) {
        if (!document.head)
            return;
        observer.disconnect();
        var policy = document.createElement('meta');
        policy.httpEquiv = 'Content-Security-Policy';
        policy.content = "script-src 'none'; object-src 'none'";
        policy.setAttribute('data-quillmark-policy', '');
        document.head.appendChild(policy);
    }).observe(document, {childList: true, subtree: true});
})();
)JS";

// The document as a file: every node of its top level - the doctype, the
// comments before and after the root element, the element tree - one a line,
// then what followed the root element in the file when the editor took it
// out of the body (quillmarkKeepEpilogue).
// The HTML parser reads a processing instruction such as an XML declaration
// as a comment holding "?...?": it is written back as it stood.
const char kSerializeScript[] = R"JS(
(function () {
    var parts = [];
    document.childNodes.forEach(function (node) {
        if (node.nodeType === Node.ELEMENT_NODE) {
            var root = node.cloneNode(true);
            root.querySelectorAll('[data-quillmark-policy]').forEach(function (policy) { policy.remove(); });
            parts.push(root.outerHTML);
        }
        else if (node.nodeType === Node.COMMENT_NODE && node.data.charAt(0) === '?')
            parts.push('<' + node.data + '>');
        else
            parts.push(new XMLSerializer().serializeToString(node));
    });
    return {
        html: parts.join('\n') + (window.quillmarkEpilogue || ''),
        generation: window.quillmarkGeneration ? window.quillmarkGeneration() : 0,
        charset: document.characterSet
    };
})()
)JS";

QString editorScriptSource()
{
    QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    channelScript.open(QIODevice::ReadOnly);
    QJsonArray names;
    for (const BrowserCommand& command : kCommands)
        names.append(QString::fromLatin1(command.name));
    return QString::fromUtf8(channelScript.readAll())
        + QString::fromUtf8(kEditorScript)
              .arg(QString::fromUtf8(QJsonDocument(names).toJson(QJsonDocument::Compact)));
}

// "\"Times New Roman\", serif" -> "Times New Roman"
QString firstFamily(const QString& fontValue)
{
    QString family = fontValue.section(QLatin1Char(','), 0, 0).trimmed();
    if (family.size() >= 2 && (family.front() == QLatin1Char('"') || family.front() == QLatin1Char('\''))
        && family.back() == family.front())
        family = family.mid(1, family.size() - 2);
    return family;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return platform::openRegularFile(file) ? file.readAll() : QByteArray();
}

} // namespace

// Receives the editor script's reports.
class EditorBridge : public QObject
{
    Q_OBJECT

public:
    explicit EditorBridge(WebPageEditor* editor)
        : QObject(editor)
        , m_editor(editor)
    {
    }

    Q_INVOKABLE void report(const QJsonObject& state) { m_editor->report(state); }

private:
    WebPageEditor* m_editor;
};

// Follows only the navigations the editor starts itself, so neither a
// refresh instruction of the page nor a reload replaces the edited document.
class EditorWebPage : public SilentWebPage
{
    Q_OBJECT

public:
    using SilentWebPage::SilentWebPage;

    void expect(const QUrl& url) { m_expected = url; }

protected:
    // The page's own messages, among them the policy's refusals of its
    // scripts, are nobody's concern here.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true;
        const bool ours = !m_expected.isEmpty() && url == m_expected;
        m_expected.clear();
        return ours;
    }

private:
    QUrl m_expected;
};

WebPageEditor::WebPageEditor(QWebEngineProfile* profile, QWidget* parent)
    : LandingPageEditor(parent)
{
    setObjectName(QStringLiteral("DHTMLRep"));
    m_page = new EditorWebPage(profile, this);
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);

    auto* channel = new QWebChannel(m_page);
    channel->registerObject(QStringLiteral("editor"), new EditorBridge(this));
    m_page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);

    const auto addScript = [this](const char* name, QWebEngineScript::InjectionPoint when, const QString& source) {
        QWebEngineScript script;
        script.setName(QString::fromLatin1(name));
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setInjectionPoint(when);
        script.setRunsOnSubFrames(false);
        script.setSourceCode(source);
        m_page->scripts().insert(script);
    };
    addScript("quillmark-policy", QWebEngineScript::DocumentCreation, QString::fromUtf8(kPolicyScript));
    addScript("quillmark-editor", QWebEngineScript::DocumentReady, editorScriptSource());

    m_view = new QWebEngineView(m_page, this);
    m_view->setObjectName(QStringLiteral("DHTMLRepView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebPageEditor::onLoadingChanged);
    // The document went with its process: nothing is left to edit or save.
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                const QString path = m_path;
                const bool unsaved = IsDirty();
                m_ready = false;
                m_loading = false;
                ++m_loadNumber;
                m_source.clear();
                m_path.clear();
                clearState();
                emit DisplayChanged();
                if (status != QWebEnginePage::NormalTerminationStatus && !path.isEmpty())
                    emit DocumentLost(path, unsaved);
            });
}

WebPageEditor::~WebPageEditor()
{
    // The page goes before its profile, which the owner deletes after us,
    // and reports nothing on its way.
    m_page->disconnect(this);
    delete m_view;
    delete m_page;
}

int WebPageEditor::QueryStatus(int command) const
{
    for (const BrowserCommand& known : kCommands) {
        if (known.number == command)
            return m_status.value(QString::fromLatin1(known.name), EditStatus::NotSupported);
    }
    return EditStatus::NotSupported;
}

void WebPageEditor::clearState()
{
    m_generation = 0;
    m_savedGeneration = 0;
    m_status.clear();
    m_fontName.clear();
    m_fontSize = 0;
}

void WebPageEditor::LoadDocument(const QString& path)
{
    m_path = path;
    m_url = QUrl::fromLocalFile(path);
    m_ready = false;
    m_loading = true;
    ++m_loadNumber;
    m_source = fileBytes(path);
    m_byteOrderMark = PageEncoding::startsWithByteOrderMark(m_source);
    clearState();
    m_page->expect(m_url);
    m_page->load(m_url);
}

void WebPageEditor::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    // Only the end of the load LoadDocument started counts. A load that a
    // newer one replaced reports for its own address; a navigation the page
    // asks for and is refused reports as stopped, for the same address when
    // the page refreshes itself.
    if (!m_loading || info.status() == QWebEngineLoadingInfo::LoadStartedStatus || info.url() != m_url)
        return;
    m_loading = false;
    clearState();
    const QByteArray source = std::exchange(m_source, QByteArray());
    if (info.status() != QWebEngineLoadingInfo::LoadSucceededStatus) {
        finishLoad(false, QString());
        return;
    }
    // Editable only when the browser could decode the page; until the
    // answer comes the editor takes no report and saves nothing. What
    // followed the root element in the file is put back in its place first;
    // should that fail, the page stays as the parser made it.
    const QString opened = QStringLiteral("(function () {"
                                          " if (document.characterSet !== '%1' && window.quillmarkKeepEpilogue) {"
                                          "  try { window.quillmarkKeepEpilogue('%2'); } catch (e) {}"
                                          " }"
                                          " return document.characterSet;"
                                          "})()")
                               .arg(kUndecodable, QString::fromLatin1(source.toBase64()));
    const QPointer<WebPageEditor> self(this);
    const quint64 load = m_loadNumber;
    m_page->runJavaScript(opened, QWebEngineScript::ApplicationWorld,
                          [self, load](const QVariant& charset) {
                              if (!self || self->m_loadNumber != load)
                                  return;
                              const QString name = charset.toString();
                              if (name.isEmpty())
                                  self->finishLoad(false, QString());
                              else if (name == kUndecodable)
                                  self->finishLoad(false, QStringLiteral("The browser cannot read the character set "
                                                                         "the page is written in, so the page cannot "
                                                                         "be edited; its file is left as it is."));
                              else
                                  self->finishLoad(true, QString());
                          });
}

void WebPageEditor::finishLoad(bool editable, const QString& failure)
{
    m_ready = editable;
    if (!m_ready)
        m_path.clear();
    // A report the page sent before it had finished loading was not taken.
    if (m_ready)
        m_page->runJavaScript(QStringLiteral("window.quillmarkReport && window.quillmarkReport();"),
                              QWebEngineScript::ApplicationWorld);
    emit DisplayChanged();
    emit DocumentLoaded(m_ready, failure);
}

void WebPageEditor::report(const QJsonObject& state)
{
    if (!m_ready)
        return;
    m_generation = qMax(m_generation, qint64(state.value(QLatin1String("generation")).toDouble()));
    const QJsonObject status = state.value(QLatin1String("status")).toObject();
    m_status.clear();
    for (auto it = status.begin(); it != status.end(); ++it)
        m_status.insert(it.key(), it.value().toInt());
    m_fontName = firstFamily(state.value(QLatin1String("fontName")).toString());
    m_fontSize = state.value(QLatin1String("fontSize")).toString().toInt();
    emit DisplayChanged();
}

bool WebPageEditor::SaveDocument(const QString& path, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!m_ready)
        return fail(QStringLiteral("The editor holds no page."));

    // The page answers through the event loop; user input waits meanwhile, so
    // nothing can change the window while the save is under way.
    struct Answer {
        QVariant result;
        bool arrived = false;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QTimer::singleShot(kSaveTimeoutMs, &loop, &QEventLoop::quit);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
    m_page->runJavaScript(QString::fromUtf8(kSerializeScript), QWebEngineScript::ApplicationWorld,
                          [answer, waiting](const QVariant& result) {
                              answer->result = result;
                              answer->arrived = true;
                              if (waiting)
                                  waiting->quit();
                          });
    if (!answer->arrived)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    const QVariantMap document = answer->result.toMap();
    if (!document.contains(QStringLiteral("html")))
        return fail(QStringLiteral("The editor did not return the page."));
    const QByteArray bytes = PageEncoding::encode(document.value(QStringLiteral("html")).toString(),
                                                  document.value(QStringLiteral("charset")).toString(),
                                                  m_byteOrderMark);
    const platform::SaveResult saved = platform::saveAtomically(path, bytes);
    if (!saved.ok)
        return fail(saved.errorText);
    const qint64 generation = qint64(document.value(QStringLiteral("generation")).toDouble());
    m_savedGeneration = generation;
    m_generation = qMax(m_generation, generation);
    return true;
}

#include "WebPageEditor.moc"
