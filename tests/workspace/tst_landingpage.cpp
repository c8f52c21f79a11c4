#include "LandingPageTyping.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include "core/ErrorLog.h"
#include "platform/desktop/DesktopServices.h"
#include "workspace/landing/LandingPageTab.h"
#include "workspace/landing/PageEncoding.h"
#include "workspace/landing/ToolStrip.h"
#include "workspace/landing/WebEngineSetup.h"
#include "workspace/landing/WebPageEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

#include <csignal>

namespace {

using landingtest::kWait;
using landingtest::runInEditor;

// A page with everything a rich-text round trip would lose. Its script and
// the error handler of its missing image mark an element when they run,
// which the editor must not save.
QByteArray richPage(const QByteArray& charsetDeclaration, const QByteArray& body)
{
    return "<!DOCTYPE html>\n<html><head>" + charsetDeclaration
        + "<title>Offer</title>\n"
          "<style>.hero { color: #c00; }</style>\n"
          "<script>document.addEventListener('DOMContentLoaded', function () {"
          " var p = document.createElement('p'); p.id = 'made-by-script'; document.body.appendChild(p); });"
          "</script>\n"
          "</head><body>\n<h1 class=\"hero\" data-role=\"headline\">"
        + body
        + "</h1>\n<p id=\"last\">Order today</p>\n"
          "<form action=\"/subscribe\" method=\"post\"><input name=\"email\" type=\"email\"></form>\n"
          "<img src=\"missing.png\" onerror=\"this.id = 'made-by-script'\">\n"
          "</body></html>\n";
}

// The landing-page tab on screen with its own folders.
struct Fixture {
    TestEnvironment env;
    ScriptedPrompter prompter;
    platform::desktop::OverrideCursor pointer;
    LandingPageTab tab;

    Fixture()
    {
        platform::setBusyPointer(&pointer);
        tab.SetUp();
        tab.resize(900, 600);
        tab.show();
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = env.path(QStringLiteral("pages/") + name);
        TestEnvironment::writeAll(path, bytes);
        return path;
    }

    ~Fixture() { platform::setBusyPointer(nullptr); }

    LandingPageEditor* editor() { return tab.editor(); }

    // Opens path and waits until the editor and the preview show it.
    bool open(const QString& path)
    {
        QSignalSpy loaded(editor(), &LandingPageEditor::DocumentLoaded);
        QSignalSpy shown(tab.preview(), &QWebEngineView::loadFinished);
        if (!tab.OpenPage(path))
            return false;
        if (!loaded.wait(kWait) || !loaded.first().first().toBool())
            return false;
        return !shown.isEmpty() || shown.wait(kWait);
    }

    // On the "Edit" tab: the caret at the end of the element with the id,
    // and the text typed there.
    void typeAtEndOf(const QString& id, const QString& text)
    {
        tab.sTab()->setCurrentIndex(1);
        landingtest::typeAtEndOf(editor(), id, text);
    }

    // Brings "Preview" to the front and waits for the preview to show the page.
    bool showPreview()
    {
        QSignalSpy shown(tab.preview(), &QWebEngineView::loadFinished);
        tab.sTab()->setCurrentIndex(0);
        return shown.wait(kWait);
    }

    QString previewText()
    {
        return landingtest::runScript(tab.preview()->page(), QStringLiteral("document.body.innerText"),
                                      QWebEngineScript::MainWorld)
            .toString();
    }

    QByteArray log() const
    {
        ErrorLog::CloseErrorLog();
        return TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log"));
    }
};

} // namespace

class tst_LandingPage : public QObject
{
    Q_OBJECT

public:
    static void initMain() { WebEngineSetup::prepare(); }

private:
    // The browser engine's own decoder, as it reads a saved page back.
    QVariantMap engineDecode(const QByteArray& bytes, const QString& charset);

    QWebEngineProfile* m_decoderProfile = nullptr;
    QWebEnginePage* m_decoderPage = nullptr;

private slots:
    void initTestCase();
    void cleanupTestCase();

    void encodesInThePageCharset_data();
    void encodesInThePageCharset();
    void savedPageReadsBackInItsCharset_data();
    void savedPageReadsBackInItsCharset();

    void editThenPreviewRewritesTheFileKeepingItsMarkup_data();
    void editThenPreviewRewritesTheFileKeepingItsMarkup();
    void markupAfterTheRootElementStaysAfterIt_data();
    void markupAfterTheRootElementStaysAfterIt();
    void previewWithoutEditLeavesTheFileUntouched();
    void boldAtTheCaretReachesTheToolStrip();
    void savesToTheLoadedFileNotThePathBox();
    void openingAnotherFileSavesTheEditFirst();
    void failedSaveKeepsTheEditAndSaysSo();
    void undecodablePageIsShownButNeitherEditedNorWritten_data();
    void undecodablePageIsShownButNeitherEditedNorWritten();
    void unreadableFileIsReportedAndChangesNothing_data();
    void unreadableFileIsReportedAndChangesNothing();
    void refreshInstructionDoesNotReplaceTheEditedPage_data();
    void refreshInstructionDoesNotReplaceTheEditedPage();
    void cancelledDialogChangesNothing();
    void editorProcessEndLeavesTheFileAndCanBeReopened();
};

void tst_LandingPage::encodesInThePageCharset_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("charset");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("utf-8") << QStringLiteral("caf\u00e9") << "UTF-8" << false << QByteArray("caf\xc3\xa9");
    QTest::newRow("utf-8 keeps its mark") << QStringLiteral("a") << "UTF-8" << true << QByteArray("\xef\xbb\xbf" "a");
    QTest::newRow("windows-1252") << QStringLiteral("caf\u00e9 \u20ac5") << "windows-1252" << false
                                  << QByteArray("caf\xe9 \x80" "5");
    QTest::newRow("outside windows-1252") << QStringLiteral("a\u2192b") << "windows-1252" << false
                                          << QByteArray("a&#8594;b");
    QTest::newRow("outside, above the BMP") << QStringLiteral("x\U0001F600y") << "windows-1252" << false
                                            << QByteArray("x&#128512;y");
    QTest::newRow("shift_jis") << QStringLiteral("\u65e5\u672c") << "Shift_JIS" << false
                               << QByteArray("\x93\xfa\x96\x7b");
    QTest::newRow("no mark for an 8-bit set") << QStringLiteral("a") << "windows-1252" << true << QByteArray("a");
    QTest::newRow("unknown set") << QStringLiteral("\u00e9") << "x-no-such-set" << false << QByteArray("\xc3\xa9");
    QTest::newRow("no set") << QStringLiteral("\u00e9") << "" << false << QByteArray("\xc3\xa9");
}

void tst_LandingPage::encodesInThePageCharset()
{
    QFETCH(QString, html);
    QFETCH(QString, charset);
    QFETCH(bool, bom);
    QFETCH(QByteArray, bytes);
    QCOMPARE(PageEncoding::encode(html, charset, bom), bytes);
}

void tst_LandingPage::initTestCase()
{
    m_decoderProfile = new QWebEngineProfile(this);
    m_decoderPage = new QWebEnginePage(m_decoderProfile, this);
    QSignalSpy loaded(m_decoderPage, &QWebEnginePage::loadFinished);
    m_decoderPage->setHtml(QStringLiteral("<html><body></body></html>"));
    QVERIFY(loaded.wait(kWait));
}

void tst_LandingPage::cleanupTestCase()
{
    delete m_decoderPage;
    delete m_decoderProfile;
}

QVariantMap tst_LandingPage::engineDecode(const QByteArray& bytes, const QString& charset)
{
    return landingtest::runScript(m_decoderPage,
                                  QStringLiteral("(function () {"
                                                 " var b = atob('%1'), a = new Uint8Array(b.length);"
                                                 " for (var i = 0; i < b.length; ++i) a[i] = b.charCodeAt(i);"
                                                 " var d = new TextDecoder('%2');"
                                                 " return {encoding: d.encoding, text: d.decode(a)};"
                                                 "})()")
                                      .arg(QString::fromLatin1(bytes.toBase64()), charset),
                                  QWebEngineScript::MainWorld)
        .toMap();
}

void tst_LandingPage::savedPageReadsBackInItsCharset_data()
{
    QTest::addColumn<QString>("charset");
    QTest::addColumn<QString>("native");
    QTest::addColumn<bool>("bom");
    // Every character set the browser engine reads a page in, each with
    // text of its own. The engine reads UTF-16 only after a byte-order mark;
    // it reads a page labelled ISO-8859-16 or x-user-defined as windows-1252,
    // and one of the labels it cannot decode (such as ISO-2022-KR) as a
    // single replacement character, which the editor does not save.
    const struct {
        const char* charset;
        const char16_t* native;
        bool bom;
    } sets[] = {
        {"UTF-8", u"\u65e5\u672c \u20ac \U0001F600", false},
        {"UTF-16LE", u"\u65e5\u672c \U0001F600", true},
        {"UTF-16BE", u"\u65e5\u672c \U0001F600", true},
        {"IBM866", u"\u041f\u0440\u0438\u0432\u0435\u0442", false},
        {"ISO-8859-2", u"\u0141\u00f3d\u017a \u017c\u00f3\u0142\u0107", false},
        {"ISO-8859-3", u"\u0126\u0127 \u0109\u011d", false},
        {"ISO-8859-4", u"\u0101\u0113\u012b\u0157", false},
        {"ISO-8859-5", u"\u041f\u0440\u0438\u0432\u0435\u0442", false},
        {"ISO-8859-6", u"\u0645\u0631\u062d\u0628\u0627", false},
        {"ISO-8859-7", u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1", false},
        {"ISO-8859-8", u"\u05e9\u05dc\u05d5\u05dd", false},
        {"ISO-8859-8-I", u"\u05e9\u05dc\u05d5\u05dd", false},
        {"ISO-8859-10", u"\u014b\u00f0\u00fe", false},
        {"ISO-8859-13", u"\u0105\u010d\u0119\u0117", false},
        {"ISO-8859-14", u"\u0175\u0177\u1e81", false},
        {"ISO-8859-15", u"\u20ac\u0153\u0178", false},
        {"KOI8-R", u"\u041f\u0440\u0438\u0432\u0435\u0442", false},
        {"KOI8-U", u"\u041f\u0440\u0438\u0432\u0456\u0442 \u0491", false},
        {"macintosh", u"\u00e9\u00fc\u2211\u03c0", false},
        {"windows-874", u"\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35", false},
        {"windows-1250", u"\u0141\u00f3d\u017a", false},
        {"windows-1251", u"\u041f\u0440\u0438\u0432\u0435\u0442", false},
        {"windows-1252", u"caf\u00e9 \u20ac", false},
        {"windows-1253", u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1", false},
        {"windows-1254", u"\u0130stanbul \u015f\u011f", false},
        {"windows-1255", u"\u05e9\u05dc\u05d5\u05dd", false},
        {"windows-1256", u"\u0645\u0631\u062d\u0628\u0627", false},
        {"windows-1257", u"\u0105\u010d\u0119", false},
        {"windows-1258", u"\u0110\u0111\u01a1\u01b0", false},
        {"x-mac-cyrillic", u"\u041f\u0440\u0438\u0432\u0435\u0442", false},
        {"GBK", u"\u4e2d\u6587 \u20ac", false},
        {"gb18030", u"\u4e2d\u6587 \U0001F600", false},
        {"Big5", u"\u7e41\u9ad4\u4e2d\u6587", false},
        {"EUC-JP", u"\u65e5\u672c\u8a9e", false},
        {"ISO-2022-JP", u"\u65e5\u672c\u8a9e \u30ab\u30bf\u30ab\u30ca", false},
        {"Shift_JIS", u"\u65e5\u672c\u8a9e", false},
        {"EUC-KR", u"\ud55c\uad6d\uc5b4", false},
    };
    for (const auto& set : sets)
        QTest::newRow(set.charset) << QString::fromLatin1(set.charset) << QString::fromUtf16(set.native) << set.bom;
}

// What a saved page holds reads back as the same text: characters of the
// set as themselves, the others as character references, and the text
// around each reference as it was.
void tst_LandingPage::savedPageReadsBackInItsCharset()
{
    QFETCH(QString, charset);
    QFETCH(QString, native);
    QFETCH(bool, bom);
    // Characters outside most sets stand between the set's own, at the start,
    // in the middle and at the end.
    const QString html = QStringLiteral("\u20ac<p title=\"a&amp;b\">") + native + QStringLiteral("\u2192\U0001F600")
        + native + QStringLiteral("\u00e9</p>\n") + native + QStringLiteral("\u2192");

    const QVariantMap decoded = engineDecode(PageEncoding::encode(html, charset, bom), charset);
    QCOMPARE(decoded.value(QStringLiteral("encoding")).toString(), charset.toLower());
    QString text = decoded.value(QStringLiteral("text")).toString();
    QVERIFY2(text.contains(native), qPrintable(text));

    static const QRegularExpression reference(QStringLiteral("&#([0-9]+);"));
    QString resolved;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& m : reference.globalMatch(text)) {
        resolved += text.mid(last, m.capturedStart() - last);
        const char32_t codePoint = m.captured(1).toUInt();
        resolved += QString::fromUcs4(&codePoint, 1);
        last = m.capturedEnd();
    }
    resolved += text.mid(last);
    QCOMPARE(resolved, html);
}

void tst_LandingPage::editThenPreviewRewritesTheFileKeepingItsMarkup_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<QByteArray>>("kept");
    QTest::newRow("utf-8 with a byte-order mark")
        << QByteArray("\xef\xbb\xbf" + richPage("<meta charset=\"utf-8\">", "Caf\xc3\xa9 deals"))
        << QStringLiteral(" fresh words")
        << QList<QByteArray>{"\xef\xbb\xbf<!DOCTYPE html>", "Caf\xc3\xa9 deals", "Order today fresh words"};
    QTest::newRow("windows-1252")
        << richPage("<meta charset=\"windows-1252\">", "Caf\xe9 deals")
        << QStringLiteral(" \u00fcber")
        << QList<QByteArray>{"<!DOCTYPE html>", "<meta charset=\"windows-1252\">", "Caf\xe9 deals",
                             "Order today \xfc" "ber"};
    // A browser that runs scripts reads a <noscript> of the head as text;
    // read as elements, its image would move the rest of the head into the body.
    const QByteArray noscript = "<noscript><img height=\"1\" width=\"1\" src=\"px.gif\"></noscript>\n"
                                "<meta name=\"description\" content=\"Shoes\">";
    QTest::newRow("noscript in the head")
        << richPage(noscript, "Deals") << QStringLiteral(" now")
        << QList<QByteArray>{"<head>" + noscript + "<title>Offer</title>", "Order today now"};
    // What stands outside the root element belongs to the file too.
    const QByteArray prologue = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html>\n"
                                "<!-- saved from url=(0014)about:internet -->\n";
    QTest::newRow("declaration and comments around the root element")
        << QByteArray(prologue + richPage("", "Deals").mid(16) + "<!-- generated 2024-05-01 -->\n")
        << QStringLiteral(" now")
        << QList<QByteArray>{prologue + "<html>", "<!-- generated 2024-05-01 -->", "Order today now"};
}

void tst_LandingPage::editThenPreviewRewritesTheFileKeepingItsMarkup()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, typed);
    QFETCH(QList<QByteArray>, kept);
    Fixture f;
    const QString path = f.file(QStringLiteral("offer.html"), page);
    QVERIFY(f.open(path));
    QVERIFY(!f.editor()->IsDirty());

    f.typeAtEndOf(QStringLiteral("last"), typed);
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);
    QVERIFY(f.showPreview());

    const QByteArray saved = TestEnvironment::readAll(path);
    for (const QByteArray& part : kept)
        QVERIFY2(saved.contains(part), (part + "\n-- in --\n" + saved).constData());
    for (const QByteArray& part :
         {QByteArray("<style>.hero { color: #c00; }</style>"), QByteArray("document.addEventListener('DOMContentLoaded'"),
          QByteArray("<h1 class=\"hero\" data-role=\"headline\">"),
          QByteArray("<form action=\"/subscribe\" method=\"post\"><input name=\"email\" type=\"email\"></form>"),
          QByteArray("<title>Offer</title>")})
        QVERIFY2(saved.contains(part), part.constData());
    // The page's own script did not run in the editor.
    QVERIFY(!saved.contains("id=\"made-by-script\""));
    QVERIFY(!f.editor()->IsDirty());
    QVERIFY(f.previewText().contains(typed.trimmed()));
    QVERIFY(f.prompter.messages.isEmpty());
}

void tst_LandingPage::markupAfterTheRootElementStaysAfterIt_data()
{
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("a line break") << QByteArray("\n") << QByteArray("\n");
    QTest::newRow("nothing") << QByteArray() << QByteArray();
    QTest::newRow("a comment, then a line break") << QByteArray("<!-- generated -->\n")
                                                  << QByteArray("<!-- generated -->\n");
    QTest::newRow("a comment on a line of its own") << QByteArray("\n<!-- generated 2024-05-01 -->\n")
                                                    << QByteArray("\n<!-- generated 2024-05-01 -->\n");
    QTest::newRow("comments between blank lines") << QByteArray("\n\n<!-- a -->\n  <!-- b -->\n\n")
                                                  << QByteArray("\n\n<!-- a -->\n  <!-- b -->\n\n");
    QTest::newRow("CRLF line ends") << QByteArray("\r\n<!-- a -->\r\n") << QByteArray("\n<!-- a -->\n");
    QTest::newRow("a processing instruction") << QByteArray("\n<?php footer(); ?>\n")
                                              << QByteArray("\n<?php footer(); ?>\n");
    QTest::newRow("a comment holding the end tag") << QByteArray("\n<!-- old </html> -->\n")
                                                   << QByteArray("\n<!-- old </html> -->\n");
}

// The parser puts what follows the root element into the body once a line
// break came; saving writes it back after the root element, also after a
// second round.
void tst_LandingPage::markupAfterTheRootElementStaysAfterIt()
{
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, saved);
    Fixture f;
    const QByteArray end = "</p>\n<!-- in the body -->\n</body></html>";
    const QString path = f.file(QStringLiteral("offer.html"),
                                "<!DOCTYPE html>\n<html><head><title>T</title></head><body><p id=\"last\">Offer" + end
                                    + after);
    for (const QString& typed : {QStringLiteral(" now"), QStringLiteral(" again")}) {
        QVERIFY(f.open(path));
        f.typeAtEndOf(QStringLiteral("last"), typed);
        QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);
        QVERIFY(f.showPreview());
        const QByteArray written = TestEnvironment::readAll(path);
        QVERIFY2(written.endsWith(typed.toUtf8() + end + saved), written.constData());
    }
}

void tst_LandingPage::previewWithoutEditLeavesTheFileUntouched()
{
    Fixture f;
    const QByteArray page = richPage("<meta charset=\"utf-8\">", "Deals");
    const QString path = f.file(QStringLiteral("offer.html"), page);
    QVERIFY(f.open(path));
    const QDateTime modified = QFileInfo(path).lastModified();

    QSignalSpy reloaded(f.tab.preview(), &QWebEngineView::loadStarted);
    f.tab.sTab()->setCurrentIndex(1);
    // Clicking into the page and moving the caret is no edit.
    f.typeAtEndOf(QStringLiteral("last"), QString());
    QTest::keyClick(landingtest::keyTarget(f.editor()), Qt::Key_Left);
    f.tab.sTab()->setCurrentIndex(0);
    QVERIFY(!f.editor()->IsDirty());
    QCOMPARE(TestEnvironment::readAll(path), page);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(reloaded.size(), 0);
}

void tst_LandingPage::boldAtTheCaretReachesTheToolStrip()
{
    Fixture f;
    const QString path = f.file(QStringLiteral("offer.html"), richPage("<meta charset=\"utf-8\">", "Deals"));
    QVERIFY(f.open(path));
    ToolStrip* strip = f.tab.toolStrip();
    f.typeAtEndOf(QStringLiteral("last"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(strip->button(0)->isEnabled(), kWait);
    QVERIFY(!strip->button(0)->isChecked());
    QVERIFY(!strip->cboFont()->currentText().isEmpty());
    QVERIFY(!strip->cboFont()->currentText().contains(QLatin1Char('"')));

    QWidget* target = landingtest::keyTarget(f.editor());
    QTest::keyClick(target, Qt::Key_B, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(strip->button(0)->isChecked(), kWait);
    QTest::keyClicks(target, QStringLiteral("now"));
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);
    QVERIFY(strip->button(0)->isChecked());
    QVERIFY(!strip->button(1)->isChecked());
    QCOMPARE(f.editor()->QueryStatus(5000), 7);
    QCOMPARE(f.editor()->QueryStatus(5023), 3);

    QVERIFY(f.showPreview());
    QVERIFY(TestEnvironment::readAll(path).contains("<b>now</b>"));
}

void tst_LandingPage::savesToTheLoadedFileNotThePathBox()
{
    Fixture f;
    const QString mine = f.file(QStringLiteral("mine.html"), richPage("", "Mine"));
    const QByteArray otherPage = richPage("", "Other campaign");
    const QString other = f.file(QStringLiteral("other.html"), otherPage);
    QVERIFY(f.open(mine));
    f.typeAtEndOf(QStringLiteral("last"), QStringLiteral(" edited"));
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);

    // Opening another campaign fills the path box only.
    f.tab.setPagePath(other);
    QVERIFY(f.showPreview());
    QVERIFY(TestEnvironment::readAll(mine).contains("Order today edited"));
    QCOMPARE(TestEnvironment::readAll(other), otherPage);
    QCOMPARE(f.tab.preview()->url(), QUrl::fromLocalFile(mine));
    QCOMPARE(f.tab.pagePath(), other);
}

void tst_LandingPage::openingAnotherFileSavesTheEditFirst()
{
    Fixture f;
    const QString first = f.file(QStringLiteral("first.html"), richPage("", "First"));
    const QString second = f.file(QStringLiteral("second.html"), richPage("", "Second"));
    QVERIFY(f.open(first));
    f.typeAtEndOf(QStringLiteral("last"), QStringLiteral(" kept"));
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);

    QVERIFY(f.open(second));
    QVERIFY(TestEnvironment::readAll(first).contains("Order today kept"));
    QCOMPARE(f.editor()->DocumentPath(), second);
    QCOMPARE(f.tab.pagePath(), second);
    QVERIFY(!f.editor()->IsDirty());
    QCOMPARE(runInEditor(f.editor(), QStringLiteral("document.querySelector('h1').textContent")).toString(),
             QStringLiteral("Second"));
}

void tst_LandingPage::failedSaveKeepsTheEditAndSaysSo()
{
    Fixture f;
    const QString path = f.file(QStringLiteral("offer.html"), richPage("", "Deals"));
    QVERIFY(f.open(path));
    f.typeAtEndOf(QStringLiteral("last"), QStringLiteral(" unsaved"));
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);

    // The file has become a folder: no file can be written there.
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir().mkdir(path));
    f.tab.sTab()->setCurrentIndex(0);
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("could not be saved to '") + path));
    QCOMPARE(f.prompter.messages.first().icon, platform::MsgIcon::Critical);
    QVERIFY(f.editor()->IsDirty());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(f.log().contains("frmMain_sTab_TabChange_Error: "));
    QVERIFY(!f.tab.SaveEdits());

    // Once the file can be written again, the kept edit goes there.
    QVERIFY(QDir().rmdir(path));
    f.tab.sTab()->setCurrentIndex(1);
    QVERIFY(f.showPreview());
    QVERIFY(TestEnvironment::readAll(path).contains("Order today unsaved"));
    QVERIFY(!f.editor()->IsDirty());
}

void tst_LandingPage::undecodablePageIsShownButNeitherEditedNorWritten_data()
{
    QTest::addColumn<QByteArray>("label");
    QTest::newRow("iso-2022-kr") << QByteArray("iso-2022-kr");
    QTest::newRow("hz-gb-2312") << QByteArray("hz-gb-2312");
}

// The browser reads a page in a character set it cannot decode as a single
// replacement character: saving that would put it in place of the page.
void tst_LandingPage::undecodablePageIsShownButNeitherEditedNorWritten()
{
    QFETCH(QByteArray, label);
    Fixture f;
    const QByteArray page = "<html><head><meta charset=\"" + label
        + "\"></head><body>\x1b$)C<p id=\"last\">\x0e\x47\x51\x0f Offer</p></body></html>\n";
    const QString path = f.file(QStringLiteral("offer.html"), page);
    QSignalSpy loaded(f.editor(), &LandingPageEditor::DocumentLoaded);
    QSignalSpy shown(f.tab.preview(), &QWebEngineView::loadFinished);
    QVERIFY(f.tab.OpenPage(path));
    QVERIFY(loaded.wait(kWait));
    QCOMPARE(loaded.first().first().toBool(), false);
    QVERIFY(!shown.isEmpty() || shown.wait(kWait));
    QCOMPARE(f.prompter.messages.size(), 1);
    const QString told = f.prompter.messages.first().text;
    QVERIFY2(told.contains(QStringLiteral("'") + path + QStringLiteral("'")), qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("cannot be edited")), qPrintable(told));

    // Keys typed into the editor change nothing there.
    f.tab.sTab()->setCurrentIndex(1);
    QWidget* target = landingtest::keyTarget(f.editor());
    target->setFocus();
    QTest::keyClicks(target, QStringLiteral("typed"));
    QCOMPARE(runInEditor(f.editor(), QStringLiteral("document.designMode")).toString(), QStringLiteral("off"));
    QVERIFY(!f.editor()->IsDirty());
    QVERIFY(!f.tab.toolStrip()->button(0)->isEnabled());

    // Nothing writes the file: not the preview, not a save, not the close.
    f.tab.sTab()->setCurrentIndex(0);
    QVERIFY(f.tab.SaveEdits());
    QVERIFY(f.tab.SaveEditsBeforeLeaving(QStringLiteral("Close the program anyway?")));
    QString error;
    QVERIFY(!f.editor()->SaveDocument(path, &error));
    QCOMPARE(TestEnvironment::readAll(path), page);
    QCOMPARE(f.prompter.messages.size(), 1);
}

void tst_LandingPage::unreadableFileIsReportedAndChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::newRow("missing file") << "missing.html" << false;
    QTest::newRow("folder") << "folder.html" << true;
}

void tst_LandingPage::unreadableFileIsReportedAndChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    Fixture f;
    const QString path = f.file(QStringLiteral("offer.html"), richPage("", "Deals"));
    QVERIFY(f.open(path));
    const QString bad = f.env.path(QStringLiteral("pages/") + name);
    if (folder)
        QVERIFY(QDir().mkpath(bad));

    QSignalSpy reloaded(f.tab.preview(), &QWebEngineView::loadStarted);
    QVERIFY(!f.tab.OpenPage(bad));
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("'") + bad + QStringLiteral("' cannot be opened")));
    QCOMPARE(f.tab.pagePath(), path);
    QCOMPARE(f.editor()->DocumentPath(), path);
    QCOMPARE(f.tab.preview()->url(), QUrl::fromLocalFile(path));
    QCOMPARE(reloaded.size(), 0);
}

void tst_LandingPage::refreshInstructionDoesNotReplaceTheEditedPage_data()
{
    QTest::addColumn<QByteArray>("refresh");
    QTest::newRow("to another page") << QByteArray("0; url=elsewhere.html");
    QTest::newRow("of the page itself") << QByteArray("0");
}

void tst_LandingPage::refreshInstructionDoesNotReplaceTheEditedPage()
{
    QFETCH(QByteArray, refresh);
    Fixture f;
    f.file(QStringLiteral("elsewhere.html"), "<html><body><p id=\"last\">Elsewhere</p></body></html>");
    const QString path = f.file(QStringLiteral("moving.html"),
                                "<html><head><meta http-equiv=\"refresh\" content=\"" + refresh
                                    + "\"></head><body><p id=\"last\">Here</p></body></html>");
    QWebEnginePage* page = qobject_cast<WebPageEditor*>(f.editor())->view()->page();
    int stopped = 0;
    QObject::connect(page, &QWebEnginePage::loadingChanged, &f.tab, [&stopped](const QWebEngineLoadingInfo& load) {
        stopped += load.status() == QWebEngineLoadingInfo::LoadStoppedStatus;
    });
    QVERIFY(f.open(path));
    // The refresh the page asks for once it has loaded is refused; the
    // browser reports it as a stopped load, for the same address when the
    // page refreshes itself. The page stays open for editing.
    QTRY_VERIFY_WITH_TIMEOUT(stopped > 0, kWait);
    QCOMPARE(f.editor()->DocumentPath(), path);
    QVERIFY(f.prompter.messages.isEmpty());
    f.typeAtEndOf(QStringLiteral("last"), QStringLiteral(" typed"));
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);
    QVERIFY(f.showPreview());
    const QByteArray saved = TestEnvironment::readAll(path);
    QVERIFY(saved.contains("Here typed"));
    QVERIFY(saved.contains("http-equiv=\"refresh\""));
    QVERIFY(!saved.contains("Elsewhere"));
}

void tst_LandingPage::cancelledDialogChangesNothing()
{
    Fixture f;
    f.tab.setPagePath(QStringLiteral("/kept/path.html"));
    f.tab.cmdOpenLandingPage_Click();
    QCOMPARE(f.prompter.fileRequests.size(), 1);
    const platform::FileDialogRequest& asked = f.prompter.fileRequests.first();
    QVERIFY(!asked.save);
    QCOMPARE(asked.title, QStringLiteral("Open File ..."));
    QCOMPARE(asked.filter, QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|All Files (*.*)|*.*"));
    QCOMPARE(asked.defaultExtension, QStringLiteral("html"));
    QCOMPARE(f.tab.pagePath(), QStringLiteral("/kept/path.html"));
    QVERIFY(f.editor()->DocumentPath().isEmpty());
    QVERIFY(f.prompter.messages.isEmpty());
}

void tst_LandingPage::editorProcessEndLeavesTheFileAndCanBeReopened()
{
    Fixture f;
    const QByteArray page = richPage("", "Deals");
    const QString path = f.file(QStringLiteral("offer.html"), page);
    QVERIFY(f.open(path));
    f.typeAtEndOf(QStringLiteral("last"), QStringLiteral(" lost"));
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->IsDirty(), kWait);

    // The editor's page process (started by this test) ends.
    QWebEnginePage* editorPage = qobject_cast<WebPageEditor*>(f.editor())->view()->page();
    const qint64 pid = editorPage->renderProcessPid();
    QVERIFY(pid > 0);
    QVERIFY(::kill(pid_t(pid), SIGKILL) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(f.editor()->DocumentPath().isEmpty(), kWait);
    QVERIFY(!f.editor()->IsDirty());
    QVERIFY(!f.tab.toolStrip()->button(0)->isEnabled());
    // The user is told that the edit is gone.
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("'") + path + QStringLiteral("'")));
    QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("changes not yet saved are lost")));

    // Nothing is written, nothing waits, and the page opens again.
    f.tab.sTab()->setCurrentIndex(0);
    QVERIFY(f.tab.SaveEdits());
    QCOMPARE(TestEnvironment::readAll(path), page);
    QVERIFY(f.open(path));
    QCOMPARE(f.editor()->DocumentPath(), path);
}

QTEST_MAIN(tst_LandingPage)
#include "tst_landingpage.moc"
