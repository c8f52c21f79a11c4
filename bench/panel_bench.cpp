// Loads the three import files of a campaign folder into the generated-files
// panel (offscreen) and reports how long the window is blocked, how long the
// background indexing and sorting take, and the peak memory of the process.
//
//   panel_bench <folder>               use the CSV files in folder
//   panel_bench --generate <folder>    first write a synthetic ~2.5 GB set
//                                      (6M keyword, 4M ad, 1M ad-group rows)
//   panel_bench --shared-field BYTES [--rows N] <folder>
//                                      first write a keyword file of N rows
//                                      (2 by default) whose keywords share
//                                      their first BYTES characters, and
//                                      empty ad and ad-group files
//   --no-sort                          skip the sorting runs

#include "PeakMemory.h"
#include "StallMeter.h"

#include "workspace/AdFileModel.h"
#include "workspace/GeneratedFilesPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool writeRows(const QString& path, qint64 rows, int (*format)(char*, size_t, qint64))
{
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return false;
    static char big[1 << 22];
    std::setvbuf(f, big, _IOFBF, sizeof big);
    char line[1024];
    for (qint64 i = 0; i < rows; ++i) {
        const int n = format(line, sizeof line, i);
        std::fwrite(line, 1, static_cast<size_t>(n), f);
    }
    return std::fclose(f) == 0;
}

const char* const kMatch[3] = {"Broad", "Phrase", "Exact"};

qint64 scramble(qint64 i) { return (i * 2654435761LL) % 10000019LL; }

int keywordRow(char* out, size_t size, qint64 i)
{
    const qint64 g = i / 6;
    const qint64 k = scramble(i / 3);
    const char* m = kMatch[i % 3];
    return std::snprintf(out, size,
                         "Camp,Group %lld,red shoes %lld,%s,0.5,http://www.example.com/p?kw=red-shoes-%lld&m=%s"
                         "&g=Group-%lld&utm_source=adwords&utm_medium=cpc&utm_campaign=camp&utm_term=red-shoes-%lld\r\n",
                         static_cast<long long>(g), static_cast<long long>(k), m, static_cast<long long>(k), m,
                         static_cast<long long>(g), static_cast<long long>(k));
}

int adRow(char* out, size_t size, qint64 i)
{
    const qint64 g = i / 4;
    return std::snprintf(out, size,
                         "Camp,Group %lld,\"Red Shoes %lld%%2C Cheap\",Buy red shoes %lld at the lowest prices "
                         "anywhere - free delivery on every order,Order today and save more on shoes boots and "
                         "sandals,www.example.com,http://www.example.com/landing?group=Group-%lld&ad=%lld"
                         "&utm_source=adwords&utm_medium=cpc&utm_campaign=camp\r\n",
                         static_cast<long long>(g), static_cast<long long>(scramble(i)), static_cast<long long>(g),
                         static_cast<long long>(g), static_cast<long long>(i % 4));
}

// Keywords quoted with "%2C", so that their keys go through the decoding path.
bool writeSharedFieldRows(const QString& path, qint64 rows, qint64 sharedBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray shared = QByteArray("red shoes ").repeated(sharedBytes / 10 + 1).left(sharedBytes);
    for (qint64 i = 0; i < rows; ++i) {
        const QByteArray n = QByteArray::number(scramble(i));
        if (file.write("Camp,Group " + n + ",\"" + shared + "%2C " + n + "\",Broad,0.50,http://www.example.com/\r\n") < 0)
            return false;
    }
    return file.flush();
}

int adGroupRow(char* out, size_t size, qint64 i)
{
    return std::snprintf(out, size, "Camp,Group %lld,0.75,0.50,0.30\r\n", static_cast<long long>(i));
}

void waitIdle(GeneratedFilesPanel& panel)
{
    if (!panel.isBusy())
        return;
    QEventLoop loop;
    QObject::connect(&panel, &GeneratedFilesPanel::idle, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QString folder;
    bool generate = false;
    bool sort = true;
    qint64 sharedBytes = -1;
    qint64 sharedRows = 2;
    bool usage = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--generate") == 0)
            generate = true;
        else if (std::strcmp(argv[i], "--no-sort") == 0)
            sort = false;
        else if (std::strcmp(argv[i], "--shared-field") == 0 && i + 1 < argc)
            sharedBytes = std::atoll(argv[++i]);
        else if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
            sharedRows = std::atoll(argv[++i]);
        else if (std::strncmp(argv[i], "--", 2) == 0)
            usage = true; // --help or an unknown option
        else
            folder = QString::fromLocal8Bit(argv[i]);
    }
    if (usage || folder.isEmpty() || (generate && sharedBytes >= 0)) {
        std::fprintf(stderr, "usage: panel_bench [--generate | --shared-field BYTES [--rows N]] [--no-sort] <folder>\n");
        return 2;
    }

    if (generate) {
        QDir().mkpath(folder);
        QElapsedTimer t;
        t.start();
        if (!writeRows(folder + "/AdwordsKeywords.csv", 6000000, keywordRow)
            || !writeRows(folder + "/AdwordsAds.csv", 4000000, adRow)
            || !writeRows(folder + "/AdwordsAdGroups.csv", 1000000, adGroupRow)) {
            std::fprintf(stderr, "cannot write the files into %s\n", qPrintable(folder));
            return 1;
        }
        std::printf("generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    if (sharedBytes >= 0) {
        QDir().mkpath(folder);
        if (!writeSharedFieldRows(folder + "/AdwordsKeywords.csv", sharedRows, sharedBytes)
            || !writeRows(folder + "/AdwordsAds.csv", 0, adRow)
            || !writeRows(folder + "/AdwordsAdGroups.csv", 0, adGroupRow)) {
            std::fprintf(stderr, "cannot write the files into %s\n", qPrintable(folder));
            return 1;
        }
    }
    qint64 total = 0;
    for (const char* name : {"AdwordsKeywords.csv", "AdwordsAds.csv", "AdwordsAdGroups.csv"}) {
        const qint64 size = QFileInfo(folder + "/" + name).size();
        total += size;
        std::printf("%-22s %12lld bytes\n", name, static_cast<long long>(size));
    }
    std::printf("%-22s %12lld bytes\n", "total", static_cast<long long>(total));

    QTabWidget tab;
    tab.resize(1200, 800);
    GeneratedFilesPanel panel(&tab);
    panel.picKeywordCSV_Click(1); // the list on screen while it fills
    tab.show();
    app.processEvents();
    std::printf("VmHWM before load      %8lld KiB\n", static_cast<long long>(peakRssKiB()));

    StallMeter meter;
    QElapsedTimer clock;
    clock.start();
    panel.LoadAdFiles(folder);
    const qint64 loadMs = clock.elapsed();
    meter.start();
    waitIdle(panel);
    meter.stop();
    const qint64 indexMs = clock.elapsed();
    std::printf("LoadAdFiles returned   %8lld ms\n", static_cast<long long>(loadMs));
    std::printf("indexing complete      %8lld ms\n", static_cast<long long>(indexMs));
    std::printf("longest stall indexing %8lld ms\n", static_cast<long long>(meter.worst));
    for (int i = 0; i < 3; ++i)
        std::printf("  list %d rows           %d\n", i, panel.listModel(i)->rowCount());
    std::printf("VmHWM after indexing   %8lld KiB\n", static_cast<long long>(peakRssKiB()));

    if (sort) {
        for (int column : {2, 5}) {
            meter.start();
            clock.restart();
            panel.lsvKeywordFile_ColumnClick(column);
            const qint64 clickMs = clock.elapsed();
            waitIdle(panel);
            meter.stop();
            std::printf("sort keyword list by column %d: click %lld ms, done %lld ms, longest stall %lld ms\n",
                        column, static_cast<long long>(clickMs), static_cast<long long>(clock.elapsed()),
                        static_cast<long long>(meter.worst));
        }
        std::printf("VmHWM after sorting    %8lld KiB\n", static_cast<long long>(peakRssKiB()));
    }
    return 0;
}
