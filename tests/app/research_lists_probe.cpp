// A plugin the install test loads into the installed program
// (QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS=researchlists): once the main
// window shows, it opens "Keyword Builder", prints the research window's
// country and language lists to standard output, one line each
// ("lstCountry: name|name|..."), and closes the window again. A close of the
// main window asked for meanwhile (QUILLMARK_QUIT_AFTER_START) waits until
// the lists are printed.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGenericPlugin>
#include <QListWidget>
#include <QPointer>
#include <QWidget>

#include <cstdio>

namespace {

class ResearchListsProbe : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("frmMain") && !m_main) {
            m_main = qobject_cast<QWidget*>(watched);
            QMetaObject::invokeMethod(this, &ResearchListsProbe::openResearch, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Close && watched == m_main && !m_done) {
            m_closeAsked = true;
            event->ignore();
            return true;
        } else if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("frmKeywordResearch")) {
            auto* window = qobject_cast<QDialog*>(watched);
            for (const char* name : {"lstCountry", "lstLanguage"})
                printList(window, name);
            QMetaObject::invokeMethod(window, &QDialog::reject, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static void printList(const QWidget* window, const char* name)
    {
        QStringList items;
        if (const auto* list = window->findChild<QListWidget*>(QLatin1String(name))) {
            for (int i = 0; i < list->count(); ++i)
                items << list->item(i)->text();
        }
        std::printf("%s: %s\n", name, qPrintable(items.join(QLatin1Char('|'))));
        std::fflush(stdout);
    }

    void openResearch()
    {
        for (QAction* action : m_main->findChildren<QAction*>()) {
            if (action->text().remove(QLatin1Char('&')) == QLatin1String("Keyword Builder") && action->isEnabled()) {
                action->trigger();
                break;
            }
        }
        m_done = true;
        if (m_closeAsked && m_main)
            m_main->close();
    }

    QPointer<QWidget> m_main;
    bool m_done = false;
    bool m_closeAsked = false;
};

} // namespace

class ResearchListsPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "research_lists_probe.json")

public:
    QObject* create(const QString&, const QString&) override
    {
        auto* probe = new ResearchListsProbe;
        QCoreApplication::instance()->installEventFilter(probe);
        return probe;
    }
};

#include "research_lists_probe.moc"
