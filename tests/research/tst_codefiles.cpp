#include "core/IniFiles.h"
#include "research/CodeFiles.h"

#include "InstalledCodeFiles.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <optional>

using NameList = std::optional<QStringList>;
Q_DECLARE_METATYPE(NameList)

namespace {

enum class Kind { Country, Language };

NameList names(Kind kind)
{
    return kind == Kind::Country ? CodeFiles::PopulateListCountryGoogle() : CodeFiles::PopulateListLanguage();
}

QString fileName(Kind kind)
{
    return kind == Kind::Country ? QStringLiteral("CountryNCodeGoogle.rpt") : QStringLiteral("LanguageNCode.rpt");
}

// Lines "Name<i>=X" & CRLF up to at least the given size.
QByteArray manyNames(qsizetype bytes, QStringList& expected)
{
    QByteArray text;
    for (int i = 0; text.size() < bytes; ++i) {
        const QString name = QStringLiteral("Name%1").arg(i, 5, 10, QLatin1Char('0'));
        expected.append(name);
        text += name.toLatin1() + "=XX\r\n";
    }
    return text;
}

} // namespace

class TestCodeFiles : public QObject
{
    Q_OBJECT

private slots:
    void nameList_data();
    void nameList();
    void missingFile_data();
    void missingFile();
    void overlongFileIsRefused_data();
    void overlongFileIsRefused();
    void installedFilesListTheResearchTargets_data();
    void installedFilesListTheResearchTargets();
    void buildPutsTheFilesBesideTheProgram();
    void installedCopiesBesideTheProgram_data();
    void installedCopiesBesideTheProgram();
};

void TestCodeFiles::nameList_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<NameList>("expected");

    QTest::newRow("language names stop at the marker")
        << Kind::Language << QByteArray("English=en\r\nFrench=fr\r\n[LanguageCode]\r\nen=English\r\n")
        << NameList(QStringList{"English", "French"});
    QTest::newRow("language marker is a line ending with it")
        << Kind::Language << QByteArray("English=en\r\nCodes [languagecode]\r\nGerman=de\r\n")
        << NameList(QStringList{"English"});
    QTest::newRow("country marker is a line beginning with it")
        << Kind::Country << QByteArray("Chile=CL\r\n[country code] follows\r\nPeru=PE\r\n")
        << NameList(QStringList{"Chile"});
    QTest::newRow("a line merely holding the country marker is not one")
        << Kind::Country << QByteArray("Chile=CL\r\nsee [Country Code]\r\nPeru=PE\r\n[Country Code]\r\n")
        << NameList(QStringList{"Chile", "Peru"});
    QTest::newRow("a section line before the names is skipped")
        << Kind::Language << QByteArray("[Language]\r\nEnglish=en\r\n[LanguageCode]\r\n")
        << NameList(QStringList{"English"});
    QTest::newRow("names keep their blanks; lines without = are skipped")
        << Kind::Country << QByteArray("  New Zealand =NZ\r\nno pair here\r\nFiji=FJ=x\r\n[Country Code]\r\n")
        << NameList(QStringList{"  New Zealand ", "Fiji"});
    QTest::newRow("lines ending in LF only") << Kind::Language
                                             << QByteArray("English=en\nFrench=fr\n[LanguageCode]\n")
                                             << NameList(QStringList{"English", "French"});
    QTest::newRow("a single-line file lists nothing")
        << Kind::Language << QByteArray("English=en") << NameList(QStringList{});
    QTest::newRow("an empty file lists nothing") << Kind::Country << QByteArray() << NameList(QStringList{});
    QTest::newRow("Windows-1252 names") << Kind::Country << QByteArray("C\xF4te d'Ivoire=CI\r\n[Country Code]\r\n")
                                        << NameList(QStringList{QStringLiteral("C\u00F4te d'Ivoire")});

    QStringList expected;
    const QByteArray big = manyNames(40000, expected);
    QTest::newRow("a file over 32 KB is read whole")
        << Kind::Country << big + "[Country Code]\r\n" << NameList(expected);
}

void TestCodeFiles::nameList()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, content);
    QFETCH(NameList, expected);

    TestEnvironment env;
    ScriptedPrompter prompter;
    QVERIFY(TestEnvironment::writeAll(env.programDir() + QLatin1Char('/') + fileName(kind), content));
    QCOMPARE(names(kind), expected);
    QVERIFY(prompter.messages.isEmpty());
}

void TestCodeFiles::missingFile_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("title");
    QTest::newRow("country") << Kind::Country << "Country Code File";
    QTest::newRow("language") << Kind::Language << "Language Code File";
}

void TestCodeFiles::missingFile()
{
    QFETCH(Kind, kind);
    QFETCH(QString, title);

    TestEnvironment env;
    ScriptedPrompter prompter;
    const QString path = env.programDir() + QLatin1Char('/') + fileName(kind);
    const QString found = kind == Kind::Country ? CodeFiles::GetCountryCodeFile() : CodeFiles::GetLanguageCodeFile();
    QCOMPARE(found, QString());
    QCOMPARE(names(kind), NameList());

    QCOMPARE(prompter.messages.size(), 2);
    const platform::MessageRequest& message = prompter.messages.first();
    QCOMPARE(message.text, path + " is missing.\r\n Please install it on your computer and try again!!!");
    QCOMPARE(message.title, title);
    QCOMPARE(message.icon, platform::MsgIcon::Information);
}

void TestCodeFiles::overlongFileIsRefused_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QByteArray>("logLine");

    const QByteArray country = "Alpha=1\r\n[Country Code]\r\n";
    const QByteArray language = "Alpha=1\r\n[LanguageCode]\r\n";
    const qint64 limit = CodeFiles::kMaxCodeFileBytes;
    QTest::newRow("country file at the limit") << Kind::Country << country << limit << QByteArray();
    QTest::newRow("country file a byte over")
        << Kind::Country << country << limit + 1 << QByteArray("modcommon _PopulateListCountryGoogle Error:  ");
    QTest::newRow("language file at the limit") << Kind::Language << language << limit << QByteArray();
    QTest::newRow("language file far over")
        << Kind::Language << language << 6 * limit << QByteArray("modCommon_PopulateListLanguage Error:  ");
}

void TestCodeFiles::overlongFileIsRefused()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, head);
    QFETCH(qint64, bytes);
    QFETCH(QByteArray, logLine);

    TestEnvironment env;
    ScriptedPrompter prompter;
    // The names, then one long line after the marker.
    const QByteArray content = head + QByteArray(bytes - head.size(), 'x');
    QVERIFY(TestEnvironment::writeAll(env.programDir() + QLatin1Char('/') + fileName(kind), content));
    const NameList listed = names(kind);
    const QByteArray log = TestEnvironment::readAll(env.programDir() + "/Error.log");
    if (logLine.isEmpty()) {
        QCOMPARE(listed, NameList(QStringList{"Alpha"}));
        QVERIFY2(log.isEmpty(), log.constData());
    } else {
        QCOMPARE(listed, NameList());
        QVERIFY2(log.contains(logLine + env.programDir().toUtf8()), log.constData());
        QVERIFY(log.contains("is larger than 16777216 bytes"));
    }
    QVERIFY(prompter.messages.isEmpty());
}

void TestCodeFiles::installedFilesListTheResearchTargets_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("atLeast");

    QTest::newRow("United States") << Kind::Country << "CountryID" << "United States" << "2840" << 200;
    QTest::newRow("United Kingdom") << Kind::Country << "CountryID" << "United Kingdom" << "2826" << 200;
    QTest::newRow("Japan") << Kind::Country << "CountryID" << "Japan" << "2392" << 200;
    QTest::newRow("English") << Kind::Language << "LanguageID" << "English" << "1000" << 40;
    QTest::newRow("German") << Kind::Language << "LanguageID" << "German" << "1001" << 40;
    QTest::newRow("Japanese") << Kind::Language << "LanguageID" << "Japanese" << "1005" << 40;
}

void TestCodeFiles::installedFilesListTheResearchTargets()
{
    QFETCH(Kind, kind);
    QFETCH(QString, section);
    QFETCH(QString, name);
    QFETCH(QString, id);
    QFETCH(int, atLeast);

    TestEnvironment env;
    QVERIFY(installCodeFiles(env));
    const QString path = env.programDir() + QLatin1Char('/') + fileName(kind);
    const NameList listed = names(kind);
    QVERIFY(listed.has_value());
    QVERIFY(listed->size() >= atLeast);
    QVERIFY(listed->contains(name));
    QCOMPARE(IniFiles::ReadINI(path, section, name), id);
    // Every name the window lists must be one the request can send.
    for (const QString& each : *listed) {
        const QString value = IniFiles::ReadINI(path, section, each);
        QVERIFY2(value.toInt() > 0, qPrintable(each));
    }
    QCOMPARE(QSet<QString>(listed->begin(), listed->end()).size(), listed->size());
}

void TestCodeFiles::buildPutsTheFilesBesideTheProgram()
{
    for (const char* name : {"CountryNCodeGoogle.rpt", "LanguageNCode.rpt"}) {
        const QByteArray installed =
            TestEnvironment::readAll(QStringLiteral(QUILLMARK_PROGRAM_BUILD_DIR "/") + QLatin1String(name));
        QVERIFY2(!installed.isEmpty(), name);
        QCOMPARE(installed, TestEnvironment::readAll(codeFileSource(name)));
    }
}

void TestCodeFiles::installedCopiesBesideTheProgram_data()
{
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<bool>("inProgramFolder");
    QTest::addColumn<bool>("inDataFolder"); // an installation's share/ppc-quillmark
    QTest::addColumn<QString>("foundIn");

    // The program folder is elsewhere, as it is under the data home when the
    // executable's folder cannot be written or belongs to an installation.
    QTest::newRow("only the copies beside the program") << true << false << false << "installed";
    QTest::newRow("the program folder's own copies come first") << true << true << false << "program";
    QTest::newRow("only the installation's data folder") << false << false << true << "data";
    QTest::newRow("the copies beside the program before the data folder") << true << false << true << "installed";
    QTest::newRow("no copy at all") << false << false << false << "";
}

void TestCodeFiles::installedCopiesBesideTheProgram()
{
    QFETCH(bool, besideProgram);
    QFETCH(bool, inProgramFolder);
    QFETCH(bool, inDataFolder);
    QFETCH(QString, foundIn);

    TestEnvironment env;
    const QString installed = env.path("installed/bin");
    const QString data = QDir::cleanPath(installed + "/" QUILLMARK_DATA_FROM_BINDIR);
    QVERIFY(QDir().mkpath(installed));
    QVERIFY(QDir().mkpath(data));
    const QString probe = installed + "/codefile_probe";
    QVERIFY(QFile::copy(QStringLiteral(CODEFILE_PROBE), probe));
    for (const char* name : {"CountryNCodeGoogle.rpt", "LanguageNCode.rpt"}) {
        if (besideProgram)
            QVERIFY(QFile::copy(codeFileSource(name), installed + '/' + QLatin1String(name)));
        if (inDataFolder)
            QVERIFY(QFile::copy(codeFileSource(name), data + '/' + QLatin1String(name)));
    }
    if (inProgramFolder)
        QVERIFY(installCodeFiles(env));

    QProcess run; // inherits the test's folders
    run.start(probe, {});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitCode(), 0);
    const QString folder = foundIn == "installed" ? installed
        : foundIn == "program"                     ? env.programDir()
        : foundIn == "data"                        ? data
                                                   : QString();
    const QString expected = folder.isEmpty()
        ? QStringLiteral("\n\n")
        : folder + "/CountryNCodeGoogle.rpt\n" + folder + "/LanguageNCode.rpt\n";
    QCOMPARE(QString::fromLocal8Bit(run.readAllStandardOutput()), expected);
    if (folder.isEmpty()) {
        // The message names the program folder: that is where the user puts a copy.
        QVERIFY(run.readAllStandardError().contains(
            (env.programDir() + "/CountryNCodeGoogle.rpt is missing.").toLocal8Bit()));
    }
}

QTEST_GUILESS_MAIN(TestCodeFiles)
#include "tst_codefiles.moc"
