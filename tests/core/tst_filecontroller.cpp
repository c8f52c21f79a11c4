#include "core/TextFiles.h"
#include "core/clsFileController.h"

#include "FileSizeLimit.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QtTest>

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

class TestFileController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveAddsCrlfAndReadsBack_data();
    void saveAddsCrlfAndReadsBack();
    void openMissingFileGivesEmptyText();
    void openDecodesWindows1252();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void failedSaveKeepsTheOldFile();
    void failuresNameTheFile();
    void oversizedFileIsNotRead();
    void emptyPathDoesNothing();
    void getFileName();
};

void TestFileController::saveAddsCrlfAndReadsBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("abc") << "abc" << QByteArray("abc\r\n");
    QTest::newRow("empty") << "" << QByteArray("\r\n");
    QTest::newRow("lines kept") << "[Yahoo!]\r\na=1" << QByteArray("[Yahoo!]\r\na=1\r\n");
    QTest::newRow("utf-8") << QStringLiteral("caf\u00E9") << QByteArray("caf\xC3\xA9\r\n");
}

void TestFileController::saveAddsCrlfAndReadsBack()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    TestEnvironment env;
    ScriptedPrompter prompter;
    const QString file = env.path(QStringLiteral("Account.vxp"));
    clsFileController files;
    QVERIFY(files.SaveTextFile(file, text));
    QCOMPARE(TestEnvironment::readAll(file), bytes);
    QCOMPARE(files.openTextFile(file), text + QStringLiteral("\r\n"));
    QVERIFY(prompter.messages.isEmpty());
}

void TestFileController::openMissingFileGivesEmptyText()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    clsFileController files;
    QCOMPARE(files.openTextFile(env.path(QStringLiteral("missing.dat"))), QString());
    QCOMPARE(files.openTextFile(env.root()), QString()); // a folder is no file
    QCOMPARE(files.openTextFile(QString()), QString());
    QVERIFY(prompter.messages.isEmpty());
}

void TestFileController::openDecodesWindows1252()
{
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("BaseKeywords.dat"));
    QVERIFY(TestEnvironment::writeAll(file, "caf\xE9 \x80\r\n"));
    QCOMPARE(clsFileController().openTextFile(file), QStringLiteral("caf\u00E9 \u20AC\r\n"));
}

void TestFileController::overwriteQuestion_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<MsgResult>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("confirm, No keeps the file") << true << MsgResult::No << true << QByteArray("old");
    QTest::newRow("confirm, Yes replaces") << true << MsgResult::Yes << true << QByteArray("new\r\n");
    QTest::newRow("no confirm replaces silently") << false << MsgResult::No << false << QByteArray("new\r\n");
}

void TestFileController::overwriteQuestion()
{
    QFETCH(bool, confirm);
    QFETCH(MsgResult, answer);
    QFETCH(bool, asked);
    QFETCH(QByteArray, after);
    TestEnvironment env;
    ScriptedPrompter prompter;
    prompter.answers << answer;
    const QString file = env.path(QStringLiteral("Accounts.dat"));
    QVERIFY(TestEnvironment::writeAll(file, "old"));
    clsFileController().SaveTextFile(file, QStringLiteral("new"), confirm);
    QCOMPARE(TestEnvironment::readAll(file), after);
    QCOMPARE(prompter.messages.size(), asked ? 1 : 0);
    if (asked) {
        const platform::MessageRequest& m = prompter.messages.at(0);
        QCOMPARE(m.text, QStringLiteral("The file ") + file
                             + QStringLiteral(" already existing, do you want to replace it?"));
        QCOMPARE(m.title, QStringLiteral("Save File"));
        QCOMPARE(m.buttons, MsgButtons::YesNo);
        QCOMPARE(m.icon, MsgIcon::Question);
    }

    // A new file is written without a question.
    const QString fresh = env.path(QStringLiteral("fresh.dat"));
    QVERIFY(clsFileController().SaveTextFile(fresh, QStringLiteral("x"), true));
    QCOMPARE(prompter.messages.size(), asked ? 1 : 0);
}

void TestFileController::failedSaveKeepsTheOldFile()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    const QString file = env.path(QStringLiteral("Campaign.dat"));
    QVERIFY(TestEnvironment::writeAll(file, "precious"));

    // The disk "fills up" after 64 bytes: the write fails half-way.
    bool saved = true;
    {
        const FileSizeLimit full(64);
        QVERIFY(full.isActive());
        saved = clsFileController().SaveTextFile(file, QString(4096, QLatin1Char('x')));
    }

    QVERIFY(!saved);
    QCOMPARE(TestEnvironment::readAll(file), QByteArray("precious"));
    QCOMPARE(QDir(env.root()).entryList(QDir::Files), QStringList{QStringLiteral("Campaign.dat")});
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.at(0).title, QStringLiteral("Save File"));
    QCOMPARE(prompter.messages.at(0).icon, MsgIcon::Exclamation);
    QVERIFY(TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log")).startsWith("saveTextFile_Error: "));
}

void TestFileController::failuresNameTheFile()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    // A file where the folder should be, as a damaged working folder may hold.
    QVERIFY(TestEnvironment::writeAll(env.path(QStringLiteral("work")), "a file"));
    const QString file = env.path(QStringLiteral("work/Account.vxp"));
    QVERIFY(!clsFileController().SaveTextFile(file, QStringLiteral("x")));
    QCOMPARE(prompter.messages.size(), 1);
    const QString saveMessage = prompter.messages.at(0).text;
    QVERIFY2(saveMessage.startsWith(QStringLiteral("Cannot write ") + QDir::toNativeSeparators(file) + ": "),
             qPrintable(saveMessage));
    const QByteArray log = TestEnvironment::readAll(env.programDir() + QStringLiteral("/Error.log"));
    QVERIFY2(log.startsWith("saveTextFile_Error: ") && log.contains(saveMessage.toUtf8() + "\r\n"), log.constData());

    // Reading the own process's memory file fails part-way, even for root.
    const QString unreadable = QStringLiteral("/proc/self/mem");
    if (!QFileInfo(unreadable).isFile())
        QSKIP("no /proc/self/mem here");
    QCOMPARE(clsFileController().openTextFile(unreadable), QString());
    QCOMPARE(prompter.messages.size(), 2);
    QCOMPARE(prompter.messages.at(1).title, QStringLiteral("Open File"));
    QCOMPARE(prompter.messages.at(1).icon, MsgIcon::Exclamation);
    QVERIFY2(prompter.messages.at(1).text.startsWith(QStringLiteral("Cannot read ") + unreadable + ": "),
             qPrintable(prompter.messages.at(1).text));
}

void TestFileController::oversizedFileIsNotRead()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    const QString huge = env.path(QStringLiteral("huge.txt"));
    {
        QFile file(huge);
        // Sparse: the file takes no room on the disk.
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(TextFiles::kMaxBytes + 1));
    }
    QCOMPARE(clsFileController().openTextFile(huge), QString());
    QCOMPARE(prompter.messages.size(), 1);
    QCOMPARE(prompter.messages.at(0).title, QStringLiteral("Open File"));
    const QString& text = prompter.messages.at(0).text;
    QVERIFY2(text.startsWith(QStringLiteral("Cannot read ") + huge + ": ") && text.contains("2147483648"),
             qPrintable(text));
}

void TestFileController::emptyPathDoesNothing()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(!clsFileController().SaveTextFile(QString(), QStringLiteral("x"), true));
    QVERIFY(prompter.messages.isEmpty());
}

void TestFileController::getFileName()
{
    TestEnvironment env;
    ScriptedPrompter prompter;
    prompter.files << QStringLiteral("/tmp/kw.txt") << QString() << QStringLiteral("/tmp/out.dat");
    const QString filter = QStringLiteral("Text files (*.txt)|*.txt|Data files (*.dat)|*.dat|All Files (*.*)|*.*");
    clsFileController files;

    QCOMPARE(files.GetFileName(0, filter, QStringLiteral("ignored.txt")), QStringLiteral("/tmp/kw.txt"));
    const platform::FileDialogRequest& open = prompter.fileRequests.at(0);
    QVERIFY(!open.save);
    QCOMPARE(open.suggestedName, QString());
    QCOMPARE(open.initialFolder, env.path(QStringLiteral("home"))); // no working folder set
    QCOMPARE(open.filter, filter);
    QCOMPARE(open.filterIndex, 1);

    int index = 2;
    QCOMPARE(files.GetFileName(1, filter, QStringLiteral("kw.txt"), &index), QString()); // cancelled
    QCOMPARE(prompter.fileRequests.at(1).filterIndex, 2);
    QCOMPARE(prompter.fileRequests.at(1).suggestedName, QStringLiteral("kw.txt"));
    QCOMPARE(index, 2);
}

QTEST_MAIN(TestFileController)
#include "tst_filecontroller.moc"
