#include "LandingPageTyping.h"
#include "NamedPipe.h"
#include "ScriptedPrompter.h"
#include "TestEnvironment.h"

#include "campaign/CampaignStore.h"
#include "research/CodeFiles.h"
#include "workspace/GeneratedFileTexts.h"
#include "workspace/KeywordInputs.h"
#include "workspace/landing/LandingPageEditor.h"
#include "workspace/landing/LandingPageTab.h"
#include "workspace/landing/WebEngineSetup.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

// What the program opens on the user's word must be a regular file: a named
// pipe (which "All Files" in a dialog lists) would keep the program waiting
// for good, and a folder holds no text. Each place that opens such a file,
// with each kind of file standing at its path.
namespace {

enum class Kind { RegularFile, Folder, NamedPipe };
enum class Place {
    LandingPage,
    BaseKeywordFile,
    ExtensionKeywordFile,
    CampaignFile,
    CampaignBaseKeywords,
    CampaignExtensionKeywords,
    CampaignFileBeforeSaving,
    ImportFile,
    CountryCodeFile,
    LanguageCodeFile,
};

const QByteArray kContent = "alpha\r\n";

// Where the place opens its file, inside the test's folders.
QString pathFor(Place place, const TestEnvironment& env)
{
    const QString campaign = env.path(QStringLiteral("work/Accounts/A/C/"));
    switch (place) {
    case Place::LandingPage: return env.path(QStringLiteral("pages/offer.html"));
    case Place::BaseKeywordFile:
    case Place::ExtensionKeywordFile: return env.path(QStringLiteral("lists/keywords.txt"));
    case Place::CampaignFile:
    case Place::CampaignFileBeforeSaving: return campaign + QStringLiteral("Campaign.dat");
    case Place::CampaignBaseKeywords: return campaign + QStringLiteral("BaseKeywords.dat");
    case Place::CampaignExtensionKeywords: return campaign + QStringLiteral("ExtensionKeywords.dat");
    case Place::ImportFile: return campaign + QStringLiteral("AdwordsKeywords.csv");
    case Place::CountryCodeFile: return env.programDir() + QStringLiteral("/CountryNCodeGoogle.rpt");
    case Place::LanguageCodeFile: return env.programDir() + QStringLiteral("/LanguageNCode.rpt");
    }
    return QString();
}

// What a regular file at the place holds.
QByteArray regularContent(Place place)
{
    switch (place) {
    case Place::LandingPage: return "<html><body><p>Offer</p></body></html>\n";
    case Place::CampaignFile:
    case Place::CampaignFileBeforeSaving: return "[Keywords]\r\nExactBid=" + kContent;
    case Place::CountryCodeFile: return "alpha=AL\r\n[Country Code]\r\n";
    case Place::LanguageCodeFile: return "alpha=al\r\n[LanguageCode]\r\n";
    default: return kContent;
    }
}

struct Outcome {
    bool read = false;  // the place took the file's content
    QString told;       // what the user learns of a failure
};

QString lastMessage(const ScriptedPrompter& prompter)
{
    return prompter.messages.isEmpty() ? QString() : prompter.messages.constLast().text;
}

Outcome openLandingPage(const QString& path, ScriptedPrompter& prompter)
{
    LandingPageTab tab;
    tab.resize(600, 400);
    tab.show();
    QSignalSpy loaded(tab.editor(), &LandingPageEditor::DocumentLoaded);
    prompter.files.enqueue(path);
    tab.cmdOpenLandingPage_Click();
    if (tab.editor()->DocumentPath() == path && (!loaded.isEmpty() || loaded.wait(landingtest::kWait)))
        return {loaded.first().first().toBool() && tab.pagePath() == path, lastMessage(prompter)};
    return {false, lastMessage(prompter)};
}

Outcome loadKeywordFile(Place place, const QString& path, ScriptedPrompter& prompter)
{
    QWidget keywordsPage;
    QWidget adGroupsPage;
    KeywordInputs inputs(&keywordsPage, &adGroupsPage);
    auto* box = keywordsPage.findChild<QPlainTextEdit*>(place == Place::BaseKeywordFile
                                                            ? QStringLiteral("txtBaseKeywords")
                                                            : QStringLiteral("txtExtendKeywords"));
    box->setPlainText(QStringLiteral("kept"));
    prompter.files.enqueue(path);
    if (place == Place::BaseKeywordFile)
        inputs.LoadBaseKeywords();
    else
        inputs.LoadExtKeywords();
    const QString text = box->toPlainText();
    return {text.startsWith(QStringLiteral("alpha")), text == QStringLiteral("kept") ? lastMessage(prompter) : QString()};
}

Outcome openCampaign(Place place, const QString& path)
{
    const QString folder = QFileInfo(path).path();
    CampaignData data;
    QString error;
    if (place == Place::CampaignFileBeforeSaving) {
        data.baseKeywords = QStringLiteral("saved");
        return {CampaignStore::save(folder, data, &error), error};
    }
    if (!CampaignStore::load(folder, data, &error))
        return {false, error};
    return {data.exactBid == QStringLiteral("alpha") || data.baseKeywords == QStringLiteral("alpha")
                || data.extensionKeywords == QStringLiteral("alpha"),
            QString()};
}

Outcome readImportFile(const QString& path)
{
    GeneratedFileTexts texts = GeneratedFileTexts::read(QFileInfo(path).path(), QThread::currentThread());
    const GeneratedFileTexts::Text& keywords = texts.file(0);
    return {keywords.error.isEmpty() && keywords.fileSize == kContent.size(), keywords.error};
}

Outcome listCodeFile(Place place, ScriptedPrompter& prompter)
{
    const std::optional<QStringList> names =
        place == Place::CountryCodeFile ? CodeFiles::PopulateListCountryGoogle() : CodeFiles::PopulateListLanguage();
    return {names && *names == QStringList{QStringLiteral("alpha")}, lastMessage(prompter)};
}

Outcome openAt(Place place, const QString& path, ScriptedPrompter& prompter)
{
    switch (place) {
    case Place::LandingPage: return openLandingPage(path, prompter);
    case Place::BaseKeywordFile:
    case Place::ExtensionKeywordFile: return loadKeywordFile(place, path, prompter);
    case Place::CampaignFile:
    case Place::CampaignBaseKeywords:
    case Place::CampaignExtensionKeywords:
    case Place::CampaignFileBeforeSaving: return openCampaign(place, path);
    case Place::ImportFile: return readImportFile(path);
    case Place::CountryCodeFile:
    case Place::LanguageCodeFile: return listCodeFile(place, prompter);
    }
    return {};
}

} // namespace

class tst_OnlyRegularFiles : public QObject
{
    Q_OBJECT

public:
    static void initMain() { WebEngineSetup::prepare(); }

private slots:
    void refusedUnlessRegularFile_data();
    void refusedUnlessRegularFile();
};

void tst_OnlyRegularFiles::refusedUnlessRegularFile_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<Kind>("kind");
    // What the user is told when the file is refused; "" when it is read.
    QTest::addColumn<QString>("told");

    const struct {
        const char* name;
        Place place;
        // An installed file is looked for among regular files only: what is
        // none is passed over, as if it were missing.
        bool installed;
    } places[] = {
        {"landing page", Place::LandingPage, false},
        {"base keyword file", Place::BaseKeywordFile, false},
        {"extension keyword file", Place::ExtensionKeywordFile, false},
        {"Campaign.dat", Place::CampaignFile, false},
        {"BaseKeywords.dat", Place::CampaignBaseKeywords, false},
        {"ExtensionKeywords.dat", Place::CampaignExtensionKeywords, false},
        {"Campaign.dat before saving", Place::CampaignFileBeforeSaving, false},
        {"import file", Place::ImportFile, false},
        {"country code file", Place::CountryCodeFile, true},
        {"language code file", Place::LanguageCodeFile, true},
    };
    for (const auto& at : places) {
        QTest::addRow("%s: regular file", at.name) << at.place << Kind::RegularFile << QString();
        QTest::addRow("%s: folder", at.name)
            << at.place << Kind::Folder
            << (at.installed ? QStringLiteral("is missing") : QStringLiteral("it is a folder, not a file"));
        QTest::addRow("%s: named pipe", at.name)
            << at.place << Kind::NamedPipe
            << (at.installed ? QStringLiteral("is missing") : QStringLiteral("it is a named pipe, not a file"));
    }
}

void tst_OnlyRegularFiles::refusedUnlessRegularFile()
{
    QFETCH(Place, place);
    QFETCH(Kind, kind);
    QFETCH(QString, told);
    TestEnvironment env;
    ScriptedPrompter prompter;
    const QString path = pathFor(place, env);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    std::unique_ptr<NamedPipe> pipe;
    switch (kind) {
    case Kind::RegularFile: QVERIFY(TestEnvironment::writeAll(path, regularContent(place))); break;
    case Kind::Folder: QVERIFY(QDir().mkpath(path)); break;
    case Kind::NamedPipe:
        pipe = std::make_unique<NamedPipe>(path);
        QVERIFY(pipe->isMade());
        break;
    }

    const Outcome outcome = openAt(place, path, prompter);
    if (pipe)
        QVERIFY2(!pipe->wasOpened(), "the named pipe was opened");
    if (told.isEmpty()) {
        QVERIFY(outcome.read);
        QVERIFY2(outcome.told.isEmpty(), qPrintable(outcome.told));
    } else {
        QVERIFY(!outcome.read);
        QVERIFY2(outcome.told.contains(told, Qt::CaseInsensitive), qPrintable(outcome.told));
    }
}

QTEST_MAIN(tst_OnlyRegularFiles)
#include "tst_onlyregularfiles.moc"
