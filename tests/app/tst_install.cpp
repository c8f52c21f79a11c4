#include "core/Globals.h"
#include "core/RegistryAPI.h"

#include "InstalledCodeFiles.h"
#include "SettingsFixture.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QtTest>

// Installs the program into a temporary prefix, as `cmake --install` does,
// and starts the installed copy the way a desktop entry starts it.

namespace {

const QString kProgram = QStringLiteral("ppc-quillmark");

// Runs the program's install step (the part of `cmake --install` that app/
// holds, without the list of installed files that a whole install writes
// into the build folder) with the prefix, under destDir when it is not "".
bool install(const QString& prefix, const QString& destDir, QByteArray* output)
{
    QProcess cmake;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DESTDIR"));
    if (!destDir.isEmpty())
        environment.insert(QStringLiteral("DESTDIR"), destDir);
    cmake.setProcessEnvironment(environment);
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral(CMAKE_COMMAND_PATH),
                {QStringLiteral("-DCMAKE_INSTALL_PREFIX=") + prefix, QStringLiteral("-P"),
                 QStringLiteral(QUILLMARK_INSTALL_SCRIPT)});
    const bool done = cmake.waitForFinished(120000);
    *output = cmake.readAll();
    return done && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
}

// The names of a code file's list (the lines before its marker line that
// hold "="), the way the research window lists them.
QStringList listedNames(const char* file)
{
    QStringList names;
    for (const QString& line : QString::fromUtf8(TestEnvironment::readAll(codeFileSource(file))).split("\r\n")) {
        if (line.startsWith("[Country Code]", Qt::CaseInsensitive) || line.endsWith("[LanguageCode]", Qt::CaseInsensitive))
            break;
        if (!line.startsWith('[') && line.contains('='))
            names << line.section('=', 0, 0);
    }
    return names;
}

// The list the plugin printed as "name: a|b|c"; nothing when it printed none.
std::optional<QStringList> printedList(const QByteArray& output, const QString& name)
{
    for (const QByteArray& line : output.split('\n')) {
        const QString text = QString::fromUtf8(line);
        if (text.startsWith(name + ": "))
            return text.mid(name.size() + 2).split('|', Qt::SkipEmptyParts);
    }
    return std::nullopt;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuildKeyPaths(); }
    void installedProgramRuns_data();
    void installedProgramRuns();
};

void TestInstall::installedProgramRuns_data()
{
    QTest::addColumn<QString>("prefix");   // "<tmp>" stands for the test's folder
    QTest::addColumn<QString>("destDir");
    QTest::addColumn<bool>("codeFiles");   // left in the installation
    QTest::newRow("a prefix of the user's choice") << "<tmp>/usr" << "" << true;
    // A package is staged under DESTDIR; the entry names where it will be.
    QTest::newRow("staged under DESTDIR, a prefix with a blank") << "/opt/PPC Quillmark" << "<tmp>/stage" << true;
    QTest::newRow("code files taken out of the installation") << "<tmp>/usr" << "" << false;
}

// The executable, the code files, the icon and the desktop entry land where
// desktops look for them, and the installed program starts, keeps its own
// files out of the installation and fills the research lists from the
// installed code files.
void TestInstall::installedProgramRuns()
{
    QFETCH(QString, prefix);
    QFETCH(QString, destDir);
    QFETCH(bool, codeFiles);
    TestEnvironment env;
    prefix.replace("<tmp>", env.root());
    destDir.replace("<tmp>", env.root());

    QByteArray output;
    QVERIFY2(install(prefix, destDir, &output), output.constData());
    const QString root = destDir + prefix;
    const QString bin = root + "/" QUILLMARK_BINDIR;
    const QString share = root + "/" QUILLMARK_DATADIR;
    const QString program = bin + "/" + kProgram;
    QVERIFY(QFileInfo(program).isExecutable());
    for (const char* name : {"CountryNCodeGoogle.rpt", "LanguageNCode.rpt"})
        QCOMPARE(TestEnvironment::readAll(share + "/ppc-quillmark/" + name), TestEnvironment::readAll(codeFileSource(name)));
    for (const int size : {16, 32, 48, 64, 128}) {
        const QString icon = QStringLiteral("%1/icons/hicolor/%2x%2/apps/ppc-quillmark.png").arg(share).arg(size);
        QCOMPARE(QImage(icon).size(), QSize(size, size));
    }

    // The entry starts the installed program by its final path, quoted.
    const QString entryFile = share + "/applications/ppc-quillmark.desktop";
    const QString finalProgram = prefix + "/" QUILLMARK_BINDIR "/" + kProgram;
    const QStringList entry = QString::fromUtf8(TestEnvironment::readAll(entryFile)).split('\n');
    QCOMPARE(entry.value(0), QStringLiteral("[Desktop Entry]"));
    for (const QString& line : {QStringLiteral("Type=Application"), QStringLiteral("Name=PPC Quillmark"),
                                "Exec=\"" + finalProgram + "\"", "TryExec=" + finalProgram,
                                QStringLiteral("Icon=ppc-quillmark"), QStringLiteral("Terminal=false")})
        QVERIFY2(entry.contains(line), qPrintable(line + " is not in " + entryFile));

    if (!codeFiles) {
        for (const char* name : {"CountryNCodeGoogle.rpt", "LanguageNCode.rpt"})
            QVERIFY(QFile::remove(share + "/ppc-quillmark/" + name));
    }
    testsettings::storePreference("YMID", "user@example.com");

    // Started as the desktop starts it: no program folder given.
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QUILLMARK_PROGRAM_DIR"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QUILLMARK_TEST"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QUILLMARK_QUIT_AFTER_START"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(PROBE_PLUGIN_DIR));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("researchlists"));
    run.setProcessEnvironment(environment);
    run.setWorkingDirectory(env.root());
    run.start(program, {});
    QVERIFY(run.waitForFinished(120000));
    const QByteArray printed = run.readAllStandardOutput();
    const QByteArray messages = run.readAllStandardError();
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QVERIFY2(run.exitCode() == 0, messages.constData());

    // Its own files go to the data home, none beside the executable.
    const QString programDir = env.path("data/PPC Quillmark");
    QVERIFY(TestEnvironment::readAll(programDir + "/Error.log").contains("end of modStartUp"));
    QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{kProgram});

    const std::optional<QStringList> countries = printedList(printed, "lstCountry");
    const std::optional<QStringList> languages = printedList(printed, "lstLanguage");
    QVERIFY2(countries && languages, messages.constData());
    if (codeFiles) {
        QCOMPARE(*countries, listedNames("CountryNCodeGoogle.rpt"));
        QCOMPARE(*languages, listedNames("LanguageNCode.rpt"));
        QVERIFY(countries->contains("United States"));
        QVERIFY(languages->contains("English"));
    } else {
        QCOMPARE(*countries, QStringList());
        QCOMPARE(*languages, QStringList());
        QVERIFY2(messages.contains((programDir + "/CountryNCodeGoogle.rpt is missing.").toUtf8()), messages.constData());
    }
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
