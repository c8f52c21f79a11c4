#include "platform/Registry.h"

#include "FileSaves.h"
#include "FileSizeLimit.h"
#include "TestEnvironment.h"

#include <QtTest>

using namespace platform;
using Registry::Hive;

namespace {

const QString kAbsent = QStringLiteral("<absent>");

QString read(const QString& key, const QString& name)
{
    return Registry::value(Hive::CurrentUser, key, name).value_or(kAbsent);
}

QString hive()
{
    return Registry::hiveFile(Hive::CurrentUser);
}

QString machineHive()
{
    return Registry::hiveFile(Hive::LocalMachine);
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

// The line numbers named by the reports, each of which must name the file.
QList<int> reportedLines()
{
    QList<int> lines;
    static const QRegularExpression number(QStringLiteral(" line (\\d+): "));
    for (const QString& problem : Registry::takeReadProblems()) {
        if (!problem.startsWith(hive() + QLatin1Char(' ')))
            return {-1};
        lines << number.match(problem).captured(1).toInt();
    }
    return lines;
}

// Index of the first line equal to line, from index from on; -1 when none is.
qsizetype indexOfLine(const QList<QByteArray>& lines, const QByteArray& line, qsizetype from = 0)
{
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (lines.at(i) == line)
            return i;
    }
    return -1;
}

} // namespace

class TestRegistryHive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handEditedLines_data();
    void handEditedLines();
    void unreadableKeyKeepsItsLinesApart();
    void longKeyPathIsStoredOnce();
    void batchWritesEachHiveOnce();
    void batchThatIsNotSavedLeavesTheFiles_data();
    void batchThatIsNotSavedLeavesTheFiles();
};

void TestRegistryHive::handEditedLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<int>>("reported");
    QTest::addColumn<QList<QByteArray>>("kept"); // lines the next save must write unchanged, in this order

    QTest::newRow("blanks around =") << QByteArray("[K]\n\"Proxy\" = \"proxy.lan\"\n") << "K" << "Proxy"
                                     << "proxy.lan" << QList<int>() << QList<QByteArray>();
    QTest::newRow("blanks and tabs at both ends")
        << QByteArray("[K]\n \t\"A\"\t=\t\"1\"  \r\n") << "K" << "A" << "1" << QList<int>() << QList<QByteArray>();
    QTest::newRow("key header with a trailing blank")
        << QByteArray("[P]\n\"X\"=\"0\"\n[K] \n\"A\"=\"1\"\n") << "K" << "A" << "1" << QList<int>()
        << QList<QByteArray>();
    QTest::newRow("trailing blank: nothing falls to the key above")
        << QByteArray("[P]\n\"X\"=\"0\"\n[K] \n\"A\"=\"1\"\n") << "P" << "A" << kAbsent << QList<int>()
        << QList<QByteArray>();
    QTest::newRow("unknown escape") << QByteArray("[K]\n\"A\"=\"a\\qb\"\n\"B\"=\"2\"\n") << "K" << "B" << "2"
                                    << QList<int>{2} << QList<QByteArray>{"\"A\"=\"a\\qb\""};
    QTest::newRow("unknown escape is not read") << QByteArray("[K]\n\"A\"=\"a\\qb\"\n") << "K" << "A" << kAbsent
                                                << QList<int>{2} << QList<QByteArray>{"\"A\"=\"a\\qb\""};
    QTest::newRow("garbage first line")
        << QByteArray("garbage \x01 here\n[K]\n\"A\"=\"1\"\n") << "K" << "A" << "1" << QList<int>{1}
        << QList<QByteArray>{"garbage \x01 here", "[K]"};
    QTest::newRow("value outside any key") << QByteArray("\"A\"=\"1\"\n[K]\n\"B\"=\"2\"\n") << "K" << "B" << "2"
                                           << QList<int>{1} << QList<QByteArray>{"\"A\"=\"1\"", "[K]"};
    QTest::newRow("unquoted value, text after a value, open quote")
        << QByteArray("[K]\n\"A\"=proxy.lan\n\"B\"=\"2\" x\n\"C\"=\"3\n\"D\"=\"4\"\n") << "K" << "D" << "4"
        << QList<int>{2, 3, 4} << QList<QByteArray>{"\"A\"=proxy.lan", "\"B\"=\"2\" x", "\"C\"=\"3"};
    QTest::newRow("key header without its bracket")
        << QByteArray("[K]\n[L\n\"A\"=\"1\"\n") << "K" << "A" << kAbsent << QList<int>{2}
        << QList<QByteArray>{"[L", "\"A\"=\"1\""};
    // One stray byte must not turn the whole hive into Windows-1252.
    QTest::newRow("one line not UTF-8, the others read as UTF-8")
        << QByteArray("[K]\n\"A\"=\"Caf\xC3\xA9\"\n\"B\"=\"caf\xE9\"\n") << "K" << "A" << QStringLiteral("Caf\u00E9")
        << QList<int>{3} << QList<QByteArray>{"\"B\"=\"caf\xE9\""};
    QTest::newRow("a line not UTF-8 is not read") << QByteArray("[K]\n\"B\"=\"caf\xE9\"\n") << "K" << "B" << kAbsent
                                                  << QList<int>{2} << QList<QByteArray>{"\"B\"=\"caf\xE9\""};
    QTest::newRow("comments stay without a report")
        << QByteArray("; mine\n[K]\n; about A\n\"A\"=\"1\"\n") << "K" << "A" << "1" << QList<int>()
        << QList<QByteArray>{"; mine", "[K]", "; about A", "\"A\"=\"1\""};
    // Each save must not take one more carriage return off such a line.
    QTest::newRow("a line with a carriage return of its own")
        << QByteArray("[K]\n\"A\"=\"x\"\r\r\n\"B\"=\"2\"\n") << "K" << "B" << "2" << QList<int>{2}
        << QList<QByteArray>{"\"A\"=\"x\"\r\r"};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[K]\n\"A\"=\"1\"\n") << "K" << "A" << "1"
                                     << QList<int>() << QList<QByteArray>();
}

void TestRegistryHive::handEditedLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(QList<int>, reported);
    QFETCH(QList<QByteArray>, kept);
    TestEnvironment env;
    QVERIFY(TestEnvironment::writeAll(hive(), file));

    QCOMPARE(read(key, name), expected);
    QCOMPARE(reportedLines(), reported);
    QCOMPARE(read(key, name), expected);
    QCOMPARE(reportedLines(), QList<int>()); // once per reading of the file

    // A save keeps every line it could not read, in its place.
    QVERIFY(Registry::createKey(Hive::CurrentUser, QStringLiteral("Added")));
    const QList<QByteArray> saved = TestEnvironment::readAll(hive()).split('\n');
    qsizetype at = 0;
    for (const QByteArray& line : kept) {
        at = indexOfLine(saved, line, at);
        QVERIFY2(at >= 0, line.constData());
    }
    // ... and they are still the lines that cannot be read.
    Registry::reset();
    QCOMPARE(read(key, name), expected);
    QCOMPARE(reportedLines().size(), reported.size());
}

void TestRegistryHive::unreadableKeyKeepsItsLinesApart()
{
    TestEnvironment env;
    QVERIFY(TestEnvironment::writeAll(hive(), "[K]\n\"A\"=\"1\"\n[]\n\"B\"=\"2\"\n[L]\n\"C\"=\"3\"\n"));
    QCOMPARE(read(QStringLiteral("K"), QStringLiteral("B")), kAbsent);
    QCOMPARE(read(QStringLiteral("L"), QStringLiteral("C")), QStringLiteral("3"));
    QCOMPARE(reportedLines(), QList<int>{3});

    // A value added to the key above lands above the unreadable header, so the
    // next reading finds it under its own key.
    QVERIFY(Registry::setValue(Hive::CurrentUser, QStringLiteral("K"), QStringLiteral("New"), QStringLiteral("x")));
    const QList<QByteArray> saved = TestEnvironment::readAll(hive()).split('\n');
    const qsizetype header = indexOfLine(saved, "[]");
    QVERIFY(header > indexOfLine(saved, "\"New\"=\"x\""));
    QCOMPARE(indexOfLine(saved, "\"B\"=\"2\""), header + 1);
    Registry::reset();
    QCOMPARE(read(QStringLiteral("K"), QStringLiteral("New")), QStringLiteral("x"));
    QCOMPARE(read(QStringLiteral("K"), QStringLiteral("B")), kAbsent);
}

void TestRegistryHive::longKeyPathIsStoredOnce()
{
    // Every prefix of a long path is a key of its own; stored as its full path
    // each, 400 KB of text would need tens of gigabytes.
    TestEnvironment env;
    QByteArray path;
    for (int i = 0; i < 200000; ++i)
        path += "a\\";
    path.chop(1);
    QVERIFY(TestEnvironment::writeAll(hive(), "[" + path + "]\n"));
    const QString deepest = QString::fromLatin1(path);
    QVERIFY(Registry::keyExists(Hive::CurrentUser, deepest));
    QVERIFY(Registry::keyExists(Hive::CurrentUser, deepest.left(200001)));
    QVERIFY(!Registry::keyExists(Hive::CurrentUser, deepest + QStringLiteral("\\b")));

    QVERIFY(Registry::setValue(Hive::CurrentUser, deepest, QStringLiteral("V"), QStringLiteral("1")));
    // The parents come back from the one header: they are not written again.
    QVERIFY(QFileInfo(hive()).size() < 2 * path.size());
    Registry::reset();
    QCOMPARE(read(deepest, QStringLiteral("v")), QStringLiteral("1"));
    QVERIFY(Registry::keyExists(Hive::CurrentUser, deepest.left(3)));
}

// The changes of a batch reach each hive file in one write, when it is
// committed; until then the registry answers from them, and a missing key
// still refuses a value.
void TestRegistryHive::batchWritesEachHiveOnce()
{
    TestEnvironment env;
    QVERIFY(QDir().mkpath(env.registryDir()));
    FileSaves writes(env.registryDir());
    QVERIFY(writes.isActive());
    const QString key = QStringLiteral("Software\\K");
    {
        Registry::Batch batch;
        QVERIFY(Registry::createKey(Hive::CurrentUser, key));
        QVERIFY(Registry::createKey(Hive::LocalMachine, key));
        for (int i = 0; i < 10; ++i) {
            QVERIFY(Registry::setValue(Hive::CurrentUser, key, QStringLiteral("V%1").arg(i), QString::number(i)));
            QVERIFY(Registry::setValue(Hive::LocalMachine, key, QStringLiteral("M%1").arg(i), QString::number(i)));
        }
        QString why;
        QVERIFY(!Registry::setValue(Hive::CurrentUser, QStringLiteral("Missing"), QStringLiteral("A"),
                                    QStringLiteral("x"), &why));
        QCOMPARE(why, QStringLiteral("the key does not exist"));
        QVERIFY(!Registry::keyExists(Hive::CurrentUser, QStringLiteral("Missing")));
        QCOMPARE(read(key, QStringLiteral("v9")), QStringLiteral("9"));
        QVERIFY(!QFileInfo::exists(hive()));

        QVERIFY(batch.commit());
        QCOMPARE(batch.error(Hive::CurrentUser), QString());
        QCOMPARE(batch.error(Hive::LocalMachine), QString());
    }
    QCOMPARE(writes.count(fileName(hive())), 1);
    QCOMPARE(writes.count(fileName(machineHive())), 1);
    Registry::reset();
    QCOMPARE(read(key, QStringLiteral("V0")), QStringLiteral("0"));
    QCOMPARE(Registry::value(Hive::LocalMachine, key, QStringLiteral("M9")).value_or(kAbsent), QStringLiteral("9"));
    QVERIFY(!Registry::keyExists(Hive::CurrentUser, QStringLiteral("Missing")));

    // Without a batch, each change is a write of its own.
    QVERIFY(Registry::setValue(Hive::CurrentUser, key, QStringLiteral("V0"), QStringLiteral("a")));
    QVERIFY(Registry::setValue(Hive::CurrentUser, key, QStringLiteral("V1"), QStringLiteral("b")));
    QCOMPARE(writes.count(fileName(hive())), 3);
}

void TestRegistryHive::batchThatIsNotSavedLeavesTheFiles_data()
{
    QTest::addColumn<QString>("end");      // how the batch ends
    QTest::addColumn<bool>("userSaved");   // whether the current user's hive took the changes
    QTest::addColumn<QString>("userError");   // "<reason>": the reason of the failed save
    QTest::addColumn<QString>("machineError");
    QTest::newRow("closed without a commit") << "close" << false << "" << "";
    // The machine hive is not written after the user's failed: it keeps its old values as well.
    QTest::newRow("the user's hive cannot be saved") << "user too large" << false << "<reason>"
                                                     << "an earlier hive could not be saved";
    QTest::newRow("the machine hive cannot be saved") << "machine too large" << true << "" << "<reason>";
}

// A batch whose hive cannot be saved, or that is not committed, leaves that
// hive's file and values as they were: none of its changes.
void TestRegistryHive::batchThatIsNotSavedLeavesTheFiles()
{
    QFETCH(QString, end);
    QFETCH(bool, userSaved);
    QFETCH(QString, userError);
    QFETCH(QString, machineError);
    TestEnvironment env;
    const QString key = QStringLiteral("K");
    for (const Hive which : {Hive::CurrentUser, Hive::LocalMachine}) {
        QVERIFY(Registry::createKey(which, key));
        QVERIFY(Registry::setValue(which, key, QStringLiteral("A"), QStringLiteral("old")));
        QVERIFY(Registry::setValue(which, key, QStringLiteral("B"), QStringLiteral("old")));
    }
    const QByteArray userBefore = TestEnvironment::readAll(hive());
    const QByteArray machineBefore = TestEnvironment::readAll(machineHive());
    const QString large(8192, QLatin1Char('x'));
    {
        Registry::Batch batch;
        for (const Hive which : {Hive::CurrentUser, Hive::LocalMachine}) {
            const bool tooLarge = end == (which == Hive::CurrentUser ? "user too large" : "machine too large");
            QVERIFY(Registry::setValue(which, key, QStringLiteral("A"), QStringLiteral("new")));
            QVERIFY(Registry::setValue(which, key, QStringLiteral("B"), tooLarge ? large : QStringLiteral("new")));
            QVERIFY(Registry::createKey(which, QStringLiteral("Made")));
        }
        if (end != "close") {
            const FileSizeLimit limit(4096);
            QVERIFY(limit.isActive());
            QVERIFY(!batch.commit());
            for (const auto& [which, expected] : {std::pair{Hive::CurrentUser, userError},
                                                  std::pair{Hive::LocalMachine, machineError}}) {
                const QString why = batch.error(which);
                QVERIFY2(expected == "<reason>" ? !why.isEmpty() : why == expected, qPrintable(why));
            }
        }
    }
    const QString userA = read(key, QStringLiteral("A"));
    const QString machineA = Registry::value(Hive::LocalMachine, key, QStringLiteral("A")).value_or(kAbsent);
    QCOMPARE(userA, userSaved ? QStringLiteral("new") : QStringLiteral("old"));
    QCOMPARE(machineA, QStringLiteral("old"));
    QCOMPARE(Registry::value(Hive::LocalMachine, key, QStringLiteral("B")).value_or(kAbsent), QStringLiteral("old"));
    QVERIFY(!Registry::keyExists(Hive::LocalMachine, QStringLiteral("Made")));
    QCOMPARE(Registry::keyExists(Hive::CurrentUser, QStringLiteral("Made")), userSaved);
    if (!userSaved)
        QCOMPARE(TestEnvironment::readAll(hive()), userBefore);
    QCOMPARE(TestEnvironment::readAll(machineHive()), machineBefore);
}

QTEST_GUILESS_MAIN(TestRegistryHive)
#include "tst_registryhive.moc"
