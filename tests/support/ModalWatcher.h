#pragma once

#include <QApplication>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <type_traits>

// Hands a test the modal window of type T that a command is about to show:
// every intervalMs, from the event loop of the window's modal display, the
// watcher looks at the application's modal window and, when it is a T,
// calls look with it. A look that returns bool says whether it is done; on
// false (the window is not settled yet, or not the one awaited) the
// watcher looks again at the next turn. While look runs the watcher is
// still, so look may wait or open another modal window. look closes the
// window; when a check inside it fails, the watcher closes it, so that the
// test never waits on it. The watching ends with the watcher.
template <class T>
class ModalWatcher
{
public:
    template <class Look>
    explicit ModalWatcher(Look look, int intervalMs = 10)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, look]() mutable {
            T* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!window)
                return;
            m_poll.stop();
            const QPointer<T> shown(window);
            const auto closeOnFailure = qScopeGuard([&] {
                if (QTest::currentTestFailed() && shown && shown->isVisible())
                    shown->close();
            });
            if constexpr (std::is_same_v<std::invoke_result_t<Look&, T&>, bool>) {
                if (!look(*window)) {
                    m_poll.start();
                    return;
                }
            } else {
                look(*window);
            }
            m_seen = true;
        });
        m_poll.start(intervalMs);
    }

    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    // True once look has had the window (and, for a bool look, said done).
    bool seen() const { return m_seen; }

private:
    QTimer m_poll;
    bool m_seen = false;
};
