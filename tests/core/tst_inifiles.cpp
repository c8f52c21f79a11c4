#include "core/IniFiles.h"

#include "TestEnvironment.h"

#include <QtTest>

using IniFiles::ReadINI;
using IniFiles::WriteINI;

namespace {

const QByteArray kFixture =
    "; comment line\n"
    "[Dealer]\n"
    "  Name =  Acme Ads  \n"
    "Email=sales@acme.example\n"
    "Empty=\n"
    "Quoted=\"keep the quotes\"\n"
    "Equals=a=b=c\n"
    "name=second Name is ignored\n"
    "\n"
    "[dealer]\n"
    "Phone=in the second Dealer section\n"
    "[Other]\r\n"
    "Name=other section\r\n"
    "Latin=caf\xE9\r\n";

} // namespace

class TestIniFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void readMissingFile();
    void readLongValue();
    void write_data();
    void write();
    void writeKeepsOtherLinesAndWritesCrlf();
    void writeIntoMissingFolderFails();
    void writeCreatesMissingFile();
    void writeManyKeysReadBack();
    void oddNamesRoundTrip_data();
    void oddNamesRoundTrip();
};

void TestIniFiles::read_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks trimmed") << "Dealer" << "Name" << "Acme Ads";
    QTest::newRow("case-insensitive names") << "DEALER" << "email" << "sales@acme.example";
    QTest::newRow("blanks around the asked names") << " Dealer " << " Name " << "Acme Ads";
    QTest::newRow("empty value") << "Dealer" << "Empty" << "";
    QTest::newRow("quotes kept") << "Dealer" << "Quoted" << "\"keep the quotes\"";
    QTest::newRow("first = splits") << "Dealer" << "Equals" << "a=b=c";
    QTest::newRow("first key wins") << "Dealer" << "NAME" << "Acme Ads";
    QTest::newRow("first section wins") << "Dealer" << "Phone" << "";
    QTest::newRow("crlf lines") << "Other" << "Name" << "other section";
    QTest::newRow("windows-1252 bytes") << "Other" << "Latin" << QStringLiteral("caf\u00E9");
    QTest::newRow("missing key") << "Dealer" << "Fax" << "";
    QTest::newRow("missing section") << "Nothing" << "Name" << "";
    QTest::newRow("comment is no key") << "Dealer" << "; comment line" << "";
}

void TestIniFiles::read()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("quillmk.ini"));
    QVERIFY(TestEnvironment::writeAll(file, kFixture));
    QCOMPARE(ReadINI(file, section, key), expected);
}

void TestIniFiles::readMissingFile()
{
    TestEnvironment env;
    QCOMPARE(ReadINI(env.path(QStringLiteral("none.ini")), QStringLiteral("A"), QStringLiteral("B")), QString());
    QCOMPARE(ReadINI(QString(), QStringLiteral("A"), QStringLiteral("B")), QString());
}

void TestIniFiles::readLongValue()
{
    // The old 560-character buffer cut such values: data lost on every save.
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("Campaign.dat"));
    const QString ad = QString(3000, QLatin1Char('w')) + QStringLiteral(" end");
    QCOMPARE(WriteINI(file, QStringLiteral("Ads"), QStringLiteral("Text"), ad), QStringLiteral("1"));
    QCOMPARE(ReadINI(file, QStringLiteral("Ads"), QStringLiteral("Text")), ad);
}

void TestIniFiles::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("replace keeps key spelling")
        << QByteArray("[S]\nKey = old\nB=2\n") << "s" << "KEY" << "new" << QByteArray("[S]\r\nKey=new\r\nB=2\r\n");
    QTest::newRow("add key at end of its section")
        << QByteArray("[S]\nA=1\n\n[T]\nC=3\n") << "S" << "B" << "2"
        << QByteArray("[S]\r\nA=1\r\nB=2\r\n\r\n[T]\r\nC=3\r\n");
    QTest::newRow("add section at end")
        << QByteArray("[S]\nA=1") << "New" << "K" << "v" << QByteArray("[S]\r\nA=1\r\n[New]\r\nK=v\r\n");
    QTest::newRow("only first section changed")
        << QByteArray("[S]\nA=1\n[s]\nA=2\n") << "S" << "a" << "9" << QByteArray("[S]\r\nA=9\r\n[s]\r\nA=2\r\n");
    QTest::newRow("line breaks become blanks")
        << QByteArray("") << "S" << "K" << "one\r\ntwo\nthree" << QByteArray("[S]\r\nK=one  two three\r\n");
    QTest::newRow("quotes and = kept")
        << QByteArray("[S]\n") << "S" << "K" << "\"a=b\"" << QByteArray("[S]\r\nK=\"a=b\"\r\n");
    QTest::newRow("comments and odd lines kept")
        << QByteArray("; note\n[S]\njunk line\nA=1\n") << "S" << "A" << ""
        << QByteArray("; note\r\n[S]\r\njunk line\r\nA=\r\n");
}

void TestIniFiles::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("Campaign.dat"));
    QVERIFY(TestEnvironment::writeAll(file, before));
    QCOMPARE(WriteINI(file, section, key, value), QStringLiteral("1"));
    QCOMPARE(TestEnvironment::readAll(file), after);
}

void TestIniFiles::writeKeepsOtherLinesAndWritesCrlf()
{
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("quillmk.ini"));
    QVERIFY(TestEnvironment::writeAll(file, kFixture));
    QCOMPARE(WriteINI(file, QStringLiteral("Dealer"), QStringLiteral("Email"), QStringLiteral("x@y.example")),
             QStringLiteral("1"));
    QByteArray expected = kFixture;
    expected.replace("\r\n", "\n");
    expected.replace("Email=sales@acme.example", "Email=x@y.example");
    expected.replace("\n", "\r\n");
    expected.replace("caf\xE9", "caf\xC3\xA9"); // now written as UTF-8
    QCOMPARE(TestEnvironment::readAll(file), expected);
    QCOMPARE(ReadINI(file, QStringLiteral("Other"), QStringLiteral("Latin")), QStringLiteral("caf\u00E9"));
}

void TestIniFiles::writeIntoMissingFolderFails()
{
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("no such folder/Campaign.dat"));
    QCOMPARE(WriteINI(file, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")), QStringLiteral("0"));
    QVERIFY(!QFileInfo::exists(env.path(QStringLiteral("no such folder"))));
}

void TestIniFiles::writeCreatesMissingFile()
{
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("new.ini"));
    QCOMPARE(WriteINI(file, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")), QStringLiteral("1"));
    QCOMPARE(TestEnvironment::readAll(file), QByteArray("[S]\r\nK=v\r\n"));
}

void TestIniFiles::writeManyKeysReadBack()
{
    // The way a campaign file is saved: many keys in a row, then read back.
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("Campaign.dat"));
    for (int i = 0; i < 30; ++i) {
        const QString section = i % 2 ? QStringLiteral("Ads") : QStringLiteral("Options");
        QCOMPARE(WriteINI(file, section, QStringLiteral("Key%1").arg(i), QStringLiteral(" value %1 ").arg(i)),
                 QStringLiteral("1"));
    }
    for (int i = 0; i < 30; ++i) {
        const QString section = i % 2 ? QStringLiteral("Ads") : QStringLiteral("Options");
        QCOMPARE(ReadINI(file, section, QStringLiteral("key%1").arg(i)), QStringLiteral("value %1").arg(i));
    }
    const QByteArray bytes = TestEnvironment::readAll(file);
    QCOMPARE(bytes.count("[Ads]"), 1);
    QCOMPARE(bytes.count("[Options]"), 1);
}

void TestIniFiles::oddNamesRoundTrip_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("line break in key") << "S" << "a\r\n[X]\r\nb";
    QTest::newRow("line break in section") << "S\nT" << "K";
    QTest::newRow("bracket inside section") << "a]b" << "K";
    QTest::newRow("key starting with bracket") << "S" << "[K";
}

void TestIniFiles::oddNamesRoundTrip()
{
    // An odd name must neither break the file's other sections nor add a new
    // line at every save.
    QFETCH(QString, section);
    QFETCH(QString, key);
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("Campaign.dat"));
    QVERIFY(TestEnvironment::writeAll(file, "[S]\r\nFirst=1\r\n"));
    QCOMPARE(WriteINI(file, section, key, QStringLiteral("one")), QStringLiteral("1"));
    QCOMPARE(WriteINI(file, section, QStringLiteral("Next"), QStringLiteral("3")), QStringLiteral("1"));
    const QByteArray once = TestEnvironment::readAll(file);
    QCOMPARE(WriteINI(file, section, key, QStringLiteral("two")), QStringLiteral("1"));
    QByteArray expected = once;
    expected.replace("=one\r\n", "=two\r\n");
    QCOMPARE(TestEnvironment::readAll(file), expected);
    QCOMPARE(ReadINI(file, section, key), QStringLiteral("two"));
    QCOMPARE(ReadINI(file, section, QStringLiteral("Next")), QStringLiteral("3"));
    QCOMPARE(ReadINI(file, QStringLiteral("S"), QStringLiteral("First")), QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestIniFiles)
#include "tst_inifiles.moc"
