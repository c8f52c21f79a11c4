#include "core/FileDialogs.h"

#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include "core/Globals.h"

#include <QDir>
#include <QtTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileDialogs();
    void pickerStartFolder_data();
    void pickerStartFolder();
    void trimNull_data();
    void trimNull();
};

void TestFileDialogs::fileDialogs()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    prompter.files << QStringLiteral("/tmp/page.html") << QString();
    prompter.folders << QStringLiteral("/tmp/work");

    int index = 0;
    QCOMPARE(FileDialogs::ShowFileDialog(1, QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html"), QString(),
                                         QStringLiteral("page"), QStringLiteral("html"), &index),
             QStringLiteral("/tmp/page.html"));
    QCOMPARE(prompter.fileRequests.size(), 1);
    const platform::FileDialogRequest& save = prompter.fileRequests.at(0);
    QVERIFY(save.save);
    QCOMPARE(save.title, QStringLiteral("Save File"));
    QCOMPARE(save.initialFolder, env.path(QStringLiteral("home"))); // no working folder set
    QCOMPARE(save.suggestedName, QStringLiteral("page"));
    QCOMPARE(save.defaultExtension, QStringLiteral("html"));
    QCOMPARE(save.filterIndex, 1);
    QCOMPARE(index, 1);

    QCOMPARE(FileDialogs::ShowFileDialog(0, QString(), QStringLiteral("/data"), QString(), QString(), nullptr,
                                         QStringLiteral("Pick")),
             QString());
    QCOMPARE(prompter.fileRequests.at(1).title, QStringLiteral("Pick"));
    QCOMPARE(prompter.fileRequests.at(1).initialFolder, QStringLiteral("/data"));
    QVERIFY(!prompter.fileRequests.at(1).save);

    QCOMPARE(FileDialogs::BrowseForFolder(QStringLiteral("Select a folder.")), QStringLiteral("/tmp/work"));
    QCOMPARE(prompter.folderTitles, QStringList{QStringLiteral("Select a folder.")});
    QCOMPARE(prompter.folderStarts, QStringList{env.path(QStringLiteral("home"))});
    QCOMPARE(FileDialogs::BrowseForFolder(QStringLiteral("again")), QString());
}

void TestFileDialogs::pickerStartFolder_data()
{
    // In a fresh folder holding "pages" (with "offer.html"), "work" and
    // "home"; the current folder is "pages" too, so a relative path resolved
    // against it would be found. "<root>" stands for that folder.
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("workingFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder in the box") << "<root>/pages" << "<root>/work" << "<root>/pages";
    QTest::newRow("folder with a trailing slash") << "<root>/pages/" << "<root>/work" << "<root>/pages";
    QTest::newRow("file in the box") << "<root>/pages/offer.html" << "<root>/work" << "<root>/pages";
    QTest::newRow("missing file of an existing folder") << "<root>/pages/new.html" << "<root>/work" << "<root>/pages";
    QTest::newRow("padded with blanks") << "  <root>/pages/offer.html " << "<root>/work" << "<root>/pages";
    QTest::newRow("folder of the box missing") << "<root>/gone/offer.html" << "<root>/work" << "<root>/work";
    QTest::newRow("relative path") << "offer.html" << "<root>/work" << "<root>/work";
    QTest::newRow("empty box") << "" << "<root>/work" << "<root>/work";
    QTest::newRow("working folder missing") << "" << "<root>/gone" << "<root>/home";
    QTest::newRow("working folder is a file") << "" << "<root>/pages/offer.html" << "<root>/home";
    QTest::newRow("relative working folder") << "" << "pages" << "<root>/home";
    QTest::newRow("no working folder") << "" << "" << "<root>/home";
}

void TestFileDialogs::pickerStartFolder()
{
    QFETCH(QString, box);
    QFETCH(QString, workingFolder);
    QFETCH(QString, expected);
    TestEnvironment env;
    QVERIFY(TestEnvironment::writeAll(env.path(QStringLiteral("pages/offer.html")), "<html></html>"));
    QVERIFY(QDir().mkpath(env.path(QStringLiteral("work"))));
    const QString previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(env.path(QStringLiteral("pages"))));
    const QString previousWork = g_sWorkingFolder;
    g_sWorkingFolder = workingFolder.replace(QStringLiteral("<root>"), env.root());

    const QString start = FileDialogs::PickerStartFolder(box.replace(QStringLiteral("<root>"), env.root()));

    g_sWorkingFolder = previousWork;
    QDir::setCurrent(previousCurrent);
    QCOMPARE(start, expected.replace(QStringLiteral("<root>"), env.root()));
}

void TestFileDialogs::trimNull_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no nul") << "abc" << "abc";
    QTest::newRow("cut at first nul") << QString::fromUtf16(u"ab\0c\0d", 6) << "ab";
    QTest::newRow("leading nul") << QString::fromUtf16(u"\0x", 2) << "";
    QTest::newRow("empty") << "" << "";
}

void TestFileDialogs::trimNull()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FileDialogs::TrimNull(text), expected);
}

QTEST_GUILESS_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
