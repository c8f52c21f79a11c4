#include "EveryFieldCampaign.h"
#include "FileSizeLimit.h"
#include "RootObeysPermissions.h"
#include "TestEnvironment.h"

#include "campaign/CampaignStore.h"

#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QtTest>

#include <optional>

class TestCampaignStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripKeepsEveryField();
    void writesTheKeysInOrder();
    void repeatedCyclesDoNotGrowKeywordBoxes();
    void emptiedAdSlotDoesNotComeBack();
    void existingFileKeepsItsOtherLines();
    void missingValues_data();
    void missingValues();
    void longValueComesBackWhole();
    void savingCreatesTheFolders();
    void failuresNameTheFileAndTheReason_data();
    void failuresNameTheFileAndTheReason();
    void eachFieldComesBackAlone_data();
    void eachFieldComesBackAlone();
    void optionIndexesFollowTheEnums_data();
    void optionIndexesFollowTheEnums();
};

void TestCampaignStore::roundTripKeepsEveryField()
{
    TestEnvironment env;
    const QString folder = CampaignStore::campaignFolder(env.path("work"), "Acc", "Camp");
    QCOMPARE(folder, env.path("work") + "/Accounts/Acc/Camp");
    const CampaignData d = campaignWithEveryField();
    QVERIFY(CampaignStore::save(folder, d));
    CampaignData back;
    QVERIFY(CampaignStore::load(folder, back));
    QCOMPARE(back.baseKeywords, d.baseKeywords);
    QCOMPARE(back.extensionKeywords, d.extensionKeywords);
    QVERIFY(back.ads == d.ads);
    // The mixing option and the Capitalization tick are not stored.
    CampaignData stored = d;
    stored.mixing = CampaignData().mixing;
    stored.capitalization = CampaignData().capitalization;
    QVERIFY(back == stored);
}

void TestCampaignStore::writesTheKeysInOrder()
{
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    CampaignData d = campaignWithEveryField();
    d.ads[1] = AdSlotData(); // an empty slot has no section
    QVERIFY(CampaignStore::save(folder, d));
    const QByteArray expected(
        "[Keywords]\r\n"
        "BroadMatch=1\r\nPhraseMatch=1\r\nExactMatch=1\r\n"
        "BroadBid=0.50\r\nPhraseBid=0.65\r\nExactBid=0.80\r\n"
        "URLTemplate=http://www.example.com/p?kw={mix}&m={match}&g={adgroup}\r\n"
        "ReplaceURLSpace=2\r\n"
        "[AdGroup]\r\n"
        "Grouping=2\r\nIncludeBaseKeyword=1\r\nIncludeExtKeyword=0\r\nCapilisation=2\r\n"
        "ReplaceGroupSpace=3\r\nAddCustomeGroup=1\r\nCustomeGroup=My Group\r\nExtraGroupText=sale\r\n"
        "MaxCPC=0.75\r\nMaxContentCPC=0.40\r\nPlacementMaxCPC=0.20\r\n"
        "[Ad1]\r\n"
        "Headline={Base} {Extension}\r\nDescription1=Find {mix} at {campaign}\r\n"
        "Description2=Great deals on {base} in {extension}\r\nDisplayURL=www.example.com/{base}\r\n"
        "DestinationURL=http://www.example.com/ad?kw={mix}&g={adgroup}&t={title}\r\n"
        "[Ad3]\r\n"
        "Headline=Best {base}\r\nDescription1={Extension} {Base} offers\r\nDescription2=Ad group {adgroup}\r\n"
        "DisplayURL=www.example.com/{title}\r\nDestinationURL=http://www.example.com/p?q={extension}\r\n"
        "[Ad4]\r\n"
        "Headline={campaign}: {base}\r\nDescription1=Compare {mix}\r\nDescription2={Base} for less\r\n"
        "DisplayURL=www.example.com\r\nDestinationURL=http://www.example.com/{mix}/{title}\r\n"
        "[LandingPage]\r\n"
        "LandingPagePath=/home/user/landing.html\r\n");
    QCOMPARE(TestEnvironment::readAll(folder + "/Campaign.dat"), expected);
    QCOMPARE(TestEnvironment::readAll(folder + "/BaseKeywords.dat"), QByteArray("red shoes\r\nblue [navy] shoes\r\n"));
    QCOMPARE(TestEnvironment::readAll(folder + "/ExtensionKeywords.dat"), QByteArray("cheap\r\nonline \xe2\x82\xac\r\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void TestCampaignStore::repeatedCyclesDoNotGrowKeywordBoxes()
{
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    CampaignData d;
    d.baseKeywords = "one\r\ntwo\r\n"; // a box that ends with a line break keeps it
    d.extensionKeywords = "";
    for (int i = 0; i < 3; ++i) {
        QVERIFY(CampaignStore::save(folder, d));
        QVERIFY(CampaignStore::load(folder, d));
    }
    QCOMPARE(d.baseKeywords, QStringLiteral("one\r\ntwo\r\n"));
    QCOMPARE(d.extensionKeywords, QString());
    QCOMPARE(TestEnvironment::readAll(folder + "/ExtensionKeywords.dat"), QByteArray("\r\n"));
}

void TestCampaignStore::emptiedAdSlotDoesNotComeBack()
{
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    CampaignData d = campaignWithEveryField();
    QVERIFY(CampaignStore::save(folder, d));
    d.ads[2] = AdSlotData();
    d.ads[0].description1.clear();
    QVERIFY(CampaignStore::save(folder, d));
    const CampaignData back = CampaignStore::load(folder);
    QVERIFY(!back.ads[2].isFilled());
    QCOMPARE(back.ads[2], AdSlotData());
    QCOMPARE(back.ads[0].description1, QString());
    QVERIFY(!TestEnvironment::readAll(folder + "/Campaign.dat").contains("[Ad3]"));
}

void TestCampaignStore::existingFileKeepsItsOtherLines()
{
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    QVERIFY(TestEnvironment::writeAll(folder + "/Campaign.dat",
                                      "; note\r\n[adgroup]\r\nmaxcpc = 9\r\nOwn=kept\r\n\r\n[Other]\r\nx=1\r\n"));
    CampaignData d;
    d.maxCPC = "0.10";
    QVERIFY(CampaignStore::save(folder, d));
    const QByteArray text = TestEnvironment::readAll(folder + "/Campaign.dat");
    // Like every profile write, a replaced key keeps the spelling it had.
    QVERIFY(text.startsWith("; note\r\n[adgroup]\r\nmaxcpc=0.10\r\nOwn=kept\r\nGrouping=0\r\n"));
    QVERIFY(text.contains("PlacementMaxCPC=\r\n\r\n[Other]\r\nx=1\r\n[Keywords]\r\nBroadMatch=0\r\n"));
    QCOMPARE(CampaignStore::load(folder).maxCPC, QStringLiteral("0.10"));
}

void TestCampaignStore::missingValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("includeExt");
    QTest::addColumn<int>("grouping");
    QTest::addColumn<int>("capitalisation");
    QTest::addColumn<bool>("broad");

    QTest::newRow("no file") << QByteArray() << 1 << 0 << 0 << false;
    QTest::newRow("empty values") << QByteArray("[AdGroup]\r\nIncludeExtKeyword=\r\nGrouping=\r\n") << 1 << 0 << 0 << false;
    QTest::newRow("stored values") << QByteArray("[AdGroup]\r\nIncludeExtKeyword=0\r\nGrouping=2\r\nCapilisation=1\r\n"
                                                 "[Keywords]\r\nBroadMatch=1\r\n")
                                   << 0 << 2 << 1 << true;
    QTest::newRow("out of range indexes") << QByteArray("[AdGroup]\r\nIncludeExtKeyword=7\r\nGrouping=-1\r\n"
                                                        "Capilisation=3\r\n")
                                          << 1 << 0 << 0 << false;
    QTest::newRow("numeric prefix and blanks") << QByteArray("[AdGroup]\r\nGrouping=  1x  \r\n[Keywords]\r\nBroadMatch=abc\r\n")
                                               << 1 << 1 << 0 << false;
}

void TestCampaignStore::missingValues()
{
    QFETCH(QByteArray, file);
    QFETCH(int, includeExt);
    QFETCH(int, grouping);
    QFETCH(int, capitalisation);
    QFETCH(bool, broad);
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    if (!file.isEmpty())
        QVERIFY(TestEnvironment::writeAll(folder + "/Campaign.dat", file));
    CampaignData d;
    QVERIFY(CampaignStore::load(folder, d));
    QCOMPARE(int(d.includeExtKeyword), includeExt);
    QCOMPARE(int(d.grouping), grouping);
    QCOMPARE(int(d.capitalisation), capitalisation);
    QCOMPARE(d.broadMatch, broad);
    QCOMPARE(d.baseKeywords, QString());
    QCOMPARE(d.urlTemplate, QString());
    QCOMPARE(d.ads[0], AdSlotData());
}

void TestCampaignStore::longValueComesBackWhole()
{
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    CampaignData d;
    d.urlTemplate = "http://x/" + QString(2000, QLatin1Char('a'));
    d.ads[1].headline = "h";
    d.ads[1].destinationURL = "http://dest/" + QString(1500, QLatin1Char('b')) + "   ";
    QVERIFY(CampaignStore::save(folder, d));
    const CampaignData back = CampaignStore::load(folder);
    QCOMPARE(back.urlTemplate, d.urlTemplate);
    // Trailing blanks are not kept, as profile reads never kept them.
    QCOMPARE(back.ads[1].destinationURL, d.ads[1].destinationURL.trimmed());
}

void TestCampaignStore::savingCreatesTheFolders()
{
    TestEnvironment env;
    const QString work = env.path("work");
    QVERIFY(QDir().mkpath(work));
    const QString folder = CampaignStore::campaignFolder(work, "New Account", "New Campaign");
    QVERIFY(!QFileInfo::exists(work + "/Accounts"));
    QVERIFY(CampaignStore::save(folder, CampaignData()));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(QFileInfo(folder + "/Campaign.dat").isFile());
    QCOMPARE(TestEnvironment::readAll(folder + "/BaseKeywords.dat"), QByteArray("\r\n"));

    // A folder that cannot be created is reported.
    QVERIFY(TestEnvironment::writeAll(work + "/Accounts/Blocked", "file"));
    QString error;
    QVERIFY(!CampaignStore::save(work + "/Accounts/Blocked/C", CampaignData(), &error));
    QVERIFY(!error.isEmpty());
}

namespace {

// What stands in the way of a saved campaign's folder.
enum class Obstacle {
    BaseFileIsFolder,
    ExtensionFileIsFolder,
    CampaignFileIsFolder,
    FileForCampaignFolder,
    FileForAccountFolder,
    FullDisk,
    UnwritableFolder,
};

bool replaceByFolder(const QString& file)
{
    return QFile::remove(file) && QDir().mkpath(file);
}

bool replaceByFile(const QString& folder)
{
    return QDir(folder).removeRecursively() && TestEnvironment::writeAll(folder, "in the way");
}

} // namespace

void TestCampaignStore::failuresNameTheFileAndTheReason_data()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::addColumn<bool>("saving");
    // %1 is the campaign folder, %2 its account folder.
    QTest::addColumn<QString>("expected");

    const QString folder = QStringLiteral("it is a folder, not a file");
    QTest::newRow("open: keyword file is a folder")
        << Obstacle::BaseFileIsFolder << false << "Cannot read %1/BaseKeywords.dat: " + folder;
    QTest::newRow("open: Campaign.dat is a folder")
        << Obstacle::CampaignFileIsFolder << false << "Cannot read %1/Campaign.dat: " + folder;
    QTest::newRow("save: keyword file is a folder")
        << Obstacle::ExtensionFileIsFolder << true << "Cannot write %1/ExtensionKeywords.dat: " + folder;
    // A save reads Campaign.dat first to keep its other lines.
    QTest::newRow("save: Campaign.dat is a folder")
        << Obstacle::CampaignFileIsFolder << true << "Cannot read %1/Campaign.dat: " + folder;
    QTest::newRow("save: a file where the campaign folder should be")
        << Obstacle::FileForCampaignFolder << true << QStringLiteral("Cannot create the folder %1: %1 is a file, not a folder");
    QTest::newRow("save: a file where the account folder should be")
        << Obstacle::FileForAccountFolder << true << QStringLiteral("Cannot create the folder %1: %2 is a file, not a folder");
    QTest::newRow("save: full disk")
        << Obstacle::FullDisk << true << QStringLiteral("Cannot write %1/BaseKeywords.dat: File too large");
    QTest::newRow("save: unwritable folder")
        << Obstacle::UnwritableFolder << true << QStringLiteral("Cannot write %1/BaseKeywords.dat: Permission denied");
}

void TestCampaignStore::failuresNameTheFileAndTheReason()
{
    QFETCH(Obstacle, obstacle);
    QFETCH(bool, saving);
    QFETCH(QString, expected);
    TestEnvironment env;
    const QString account = env.path("work/Accounts/A");
    const QString folder = account + "/C";
    CampaignData data = campaignWithEveryField();
    QVERIFY(CampaignStore::save(folder, data));

    std::optional<RootObeysPermissions> asAnyUser;
    switch (obstacle) {
    case Obstacle::BaseFileIsFolder:
        QVERIFY(replaceByFolder(folder + "/BaseKeywords.dat"));
        break;
    case Obstacle::ExtensionFileIsFolder:
        QVERIFY(replaceByFolder(folder + "/ExtensionKeywords.dat"));
        break;
    case Obstacle::CampaignFileIsFolder:
        QVERIFY(replaceByFolder(folder + "/Campaign.dat"));
        break;
    case Obstacle::FileForCampaignFolder:
        QVERIFY(replaceByFile(folder));
        break;
    case Obstacle::FileForAccountFolder:
        QVERIFY(replaceByFile(account));
        break;
    case Obstacle::FullDisk:
        data.baseKeywords = QString(256 * 1024, QLatin1Char('k'));
        break;
    case Obstacle::UnwritableFolder:
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        asAnyUser.emplace();
        if (TestEnvironment::writeAll(folder + "/probe", "x")) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QFAIL("a folder without write permission takes a new file");
        }
        break;
    }

    QString error;
    bool done = false;
    if (!saving) {
        CampaignData back;
        done = CampaignStore::load(folder, back, &error);
    } else if (obstacle == Obstacle::FullDisk) {
        const FileSizeLimit limit(64 * 1024);
        QVERIFY(limit.isActive());
        done = CampaignStore::save(folder, data, &error);
    } else {
        done = CampaignStore::save(folder, data, &error);
    }
    asAnyUser.reset();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!done);
    QCOMPARE(error, QString(expected)
                        .replace(QStringLiteral("%1"), QDir::toNativeSeparators(folder))
                        .replace(QStringLiteral("%2"), QDir::toNativeSeparators(account)));
}

namespace {

// The fields a campaign does not store: a campaign read back has their defaults.
bool isStored(const char* field)
{
    return qstrcmp(field, "mixing") != 0 && qstrcmp(field, "capitalization") != 0;
}

} // namespace

void TestCampaignStore::eachFieldComesBackAlone_data()
{
    QTest::addColumn<QString>("field");
    forEachCampaignField([](const auto& field) { QTest::newRow(field.name) << QString::fromLatin1(field.name); });
}

// A campaign with one field away from its default comes back with that
// field only: every field is written and read, and under a key of its own
// (the campaign with every field set has equal values in several fields,
// so a key read into the wrong field can pass there).
void TestCampaignStore::eachFieldComesBackAlone()
{
    QFETCH(QString, field);
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    const CampaignData every = campaignWithEveryField();
    CampaignData one;
    CampaignData expected;
    bool found = false;
    forEachCampaignField([&](const auto& f) {
        if (field != QLatin1String(f.name))
            return;
        found = true;
        QVERIFY2(every.*f.member != CampaignData().*f.member, "campaignWithEveryField leaves it at its default");
        one.*f.member = every.*f.member;
        if (isStored(f.name))
            expected.*f.member = every.*f.member;
    });
    QVERIFY(found);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(CampaignStore::save(folder, one));
    CampaignData back;
    QVERIFY(CampaignStore::load(folder, back));
    QVERIFY(back == expected);
}

namespace {

// A stored option group: its key and its field.
template <class Option>
struct OptionKey {
    const char* section;
    const char* name;
    Option CampaignData::*member;
};

auto optionKeys()
{
    using C = CampaignData;
    return std::tuple{
        OptionKey{"Keywords", "ReplaceURLSpace", &C::replaceSpace},
        OptionKey{"AdGroup", "Grouping", &C::grouping},
        OptionKey{"AdGroup", "IncludeBaseKeyword", &C::includeBaseKeyword},
        OptionKey{"AdGroup", "IncludeExtKeyword", &C::includeExtKeyword},
        OptionKey{"AdGroup", "Capilisation", &C::capitalisation},
        OptionKey{"AdGroup", "ReplaceGroupSpace", &C::replaceGroupSpace},
        OptionKey{"AdGroup", "AddCustomeGroup", &C::extraGroupText},
    };
}

} // namespace

void TestCampaignStore::optionIndexesFollowTheEnums_data()
{
    QTest::addColumn<QString>("key");
    std::apply([](const auto&... k) { ((QTest::newRow(k.name) << QString::fromLatin1(k.name)), ...); },
               optionKeys());
}

// Every option of the group's enum is stored as its index and read back;
// the index after the last option names none and is read as missing.
void TestCampaignStore::optionIndexesFollowTheEnums()
{
    QFETCH(QString, key);
    TestEnvironment env;
    const QString folder = env.path("work/Accounts/A/C");
    bool found = false;
    const auto check = [&](const auto& k) {
        if (key != QLatin1String(k.name))
            return;
        found = true;
        using Option = std::remove_cvref_t<decltype(CampaignData().*k.member)>;
        const QMetaEnum options = QMetaEnum::fromType<Option>();
        QVERIFY(options.keyCount() > 1);
        const QString section = QString::fromLatin1(k.section);
        for (int i = 0; i < options.keyCount(); ++i) {
            // The options are numbered from 0 without a gap, as the editor's buttons are.
            QCOMPARE(options.value(i), i);
            CampaignData data;
            data.*k.member = Option(i);
            QVERIFY(CampaignStore::save(folder, data));
            const QByteArray line = "\r\n" + QByteArray(k.name) + '=' + QByteArray::number(i) + "\r\n";
            QVERIFY2(TestEnvironment::readAll(folder + "/Campaign.dat").contains(line), options.key(i));
            CampaignData back;
            QVERIFY(CampaignStore::load(folder, back));
            QVERIFY2(back.*k.member == Option(i), options.key(i));
        }
        for (const int index : {options.keyCount(), -1}) {
            QVERIFY(TestEnvironment::writeAll(folder + "/Campaign.dat",
                                              "[" + section.toLatin1() + "]\r\n" + QByteArray(k.name) + '='
                                                  + QByteArray::number(index) + "\r\n"));
            CampaignData back;
            QVERIFY(CampaignStore::load(folder, back));
            QVERIFY2(back.*k.member == CampaignData().*k.member, qPrintable(QString::number(index)));
        }
    };
    std::apply([&](const auto&... k) { (check(k), ...); }, optionKeys());
    QVERIFY(found);
}

QTEST_GUILESS_MAIN(TestCampaignStore)
#include "tst_campaignstore.moc"
