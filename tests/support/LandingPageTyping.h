#pragma once

#include "workspace/landing/WebPageEditor.h"

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

// Driving the landing-page editor as a user would, for tests that link the
// landing-page library. Page loads and script answers come from a separate
// browser process; on a busy machine they may take long.
namespace landingtest {

constexpr int kWait = 30000;

// Runs a script in a page's script world and waits for its answer.
inline QVariant runScript(QWebEnginePage* page, const QString& script, quint32 world)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, world, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, kWait))
        qWarning("script gave no answer");
    return result;
}

// In the editor's own script world.
inline QVariant runInEditor(LandingPageEditor* editor, const QString& script)
{
    return runScript(qobject_cast<WebPageEditor*>(editor)->view()->page(), script,
                     QWebEngineScript::ApplicationWorld);
}

// The widget that takes the editor's keys.
inline QWidget* keyTarget(LandingPageEditor* editor)
{
    return qobject_cast<WebPageEditor*>(editor)->view()->focusProxy();
}

// Puts the caret at the end of the element with the id, as a click there
// would, and types one key event per character (also for characters no key
// of the test's keyboard map produces). The editor must be on screen.
inline void typeAtEndOf(LandingPageEditor* editor, const QString& id, const QString& text)
{
    runInEditor(editor, QStringLiteral("var r = document.createRange();"
                                       "r.selectNodeContents(document.getElementById('%1')); r.collapse(false);"
                                       "var s = getSelection(); s.removeAllRanges(); s.addRange(r);"
                                       "document.body.focus(); true;")
                            .arg(id));
    QWidget* target = keyTarget(editor);
    target->setFocus();
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace landingtest
