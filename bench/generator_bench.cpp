// Generates a synthetic campaign and writes its three import files into a
// temporary folder, then writes the same number of bytes into three files
// the plainest way with the same durability (the floor the generator is
// measured against), and prints both times and their ratio, the rows and
// bytes per file and the peak resident set size of the generator's run.
//
//   generator_bench [BASE EXT] [--keep DIR] [--literal]
//
// BASE and EXT are the numbers of base and extension keyword lines (default
// 1000 each, bench/StandardCampaign.h). With --keep the files are written
// into DIR and left there. --literal fills every text token by token,
// without the precompiled templates (slow; the files must come out byte for
// byte the same).

#include "PeakMemory.h"
#include "StandardCampaign.h"

#include "generator/CampaignGenerator.h"
#include "generator/ImportFormat.h"
#include "generator/TemplateText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Writes files of the given sizes into folder as a build writes its set,
// without making any row: each file goes to a temporary file beside its
// name in chunks of one buffer of row text and is flushed, and at the end
// each is synced to disk and takes its name, one after the other (what
// QSaveFile's commit does for the generator's set). Returns the seconds, or
// a negative number after printing the error.
double plainWriterSeconds(const QString& folder, const std::vector<qint64>& sizes)
{
    QByteArray chunk;
    const QByteArray row =
        "Bench Campaign,plain-writer,a row of about the length of the generator's rows,Broad,0.50\r\n";
    while (chunk.size() < (1 << 20))
        chunk += row;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QSaveFile>> files;
    for (size_t f = 0; f < sizes.size(); ++f) {
        const QString name = ImportFormat::fileName(ImportFormat::File(f));
        files.push_back(std::make_unique<QSaveFile>(folder + QLatin1Char('/') + name));
        QSaveFile& file = *files.back();
        bool ok = file.open(QIODevice::WriteOnly);
        for (qint64 left = sizes[f]; ok && left > 0; left -= chunk.size())
            ok = file.write(chunk.constData(), qMin<qint64>(left, chunk.size())) == qMin<qint64>(left, chunk.size());
        if (!ok || !file.flush()) {
            std::fprintf(stderr, "plain writer: cannot write %s: %s\n", qPrintable(file.fileName()),
                         qPrintable(file.errorString()));
            return -1;
        }
    }
    for (const auto& file : files) {
        if (!file->commit()) {
            std::fprintf(stderr, "plain writer: cannot replace %s: %s\n", qPrintable(file->fileName()),
                         qPrintable(file->errorString()));
            return -1;
        }
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString keepDir;
    const qsizetype keepAt = args.indexOf(QStringLiteral("--keep"));
    if (keepAt >= 0) {
        if (keepAt + 1 >= args.size()) {
            std::fprintf(stderr, "usage: generator_bench [BASE EXT] [--keep DIR] [--literal]\n");
            return 2;
        }
        keepDir = args.at(keepAt + 1);
        args.remove(keepAt, 2);
    }
    if (args.removeAll(QStringLiteral("--literal")) > 0)
        generator::detail::setLiteralFillOnly(true);
    qsizetype baseCount = 1000;
    qsizetype extCount = 1000;
    if (args.size() >= 2) {
        baseCount = args.at(0).toLongLong();
        extCount = args.at(1).toLongLong();
    } else if (!args.isEmpty()) {
        std::fprintf(stderr, "usage: generator_bench [BASE EXT] [--keep DIR] [--literal]\n");
        return 2;
    }

    // The program folder (Error.log) and the registry go to a scratch folder.
    QTemporaryDir scratch;
    QTemporaryDir outputTemp;
    QTemporaryDir floorTemp;
    if (!scratch.isValid() || !outputTemp.isValid() || !floorTemp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    QDir().mkpath(scratch.path() + QStringLiteral("/program"));
    QDir().mkpath(scratch.path() + QStringLiteral("/registry"));
    qputenv("QUILLMARK_PROGRAM_DIR", QFile::encodeName(scratch.path() + QStringLiteral("/program")));
    qputenv("QUILLMARK_REGISTRY_DIR", QFile::encodeName(scratch.path() + QStringLiteral("/registry")));

    const QString folder = keepDir.isEmpty() ? outputTemp.path() : QFileInfo(keepDir).absoluteFilePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }

    generator::GenerationInput in{bench::kCampaignName, folder, bench::StandardCampaign(baseCount, extCount)};

    // Phase start times, to show where the time goes.
    QElapsedTimer timer;
    double phaseStart[5] = {0, 0, 0, 0, 0};
    generator::GenerationCallbacks callbacks;
    callbacks.progress = [&](generator::GenerationPhase phase, qsizetype index, qsizetype) {
        if (index < 0)
            phaseStart[int(phase)] = double(timer.nsecsElapsed()) / 1e9;
    };
    timer.start();
    const generator::GenerationResult result = generator::GenerateCampaignFiles(in, callbacks);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double generatorCpu = cpuSeconds();
    const qint64 generatorPeakKiB = peakRssKiB();

    QTextStream out(stdout);
    out << "generator_bench " << baseCount << " x " << extCount << " (mode 2, group by mix)\n";
    qint64 totalBytes = 0;
    std::vector<qint64> sizes;
    const struct {
        const char* name;
        qint64 rows;
    } files[] = {{"AdwordsKeywords.csv", result.keywordRows},
                 {"AdwordsAds.csv", result.adRows},
                 {"AdwordsAdGroups.csv", result.adGroupRows}};
    for (const auto& f : files) {
        const qint64 size = QFileInfo(folder + QLatin1Char('/') + QLatin1String(f.name)).size();
        totalBytes += size;
        sizes.push_back(size);
        out << "  " << f.name << ": " << f.rows << " rows, " << size << " bytes\n";
    }
    const qint64 rows = result.keywordRows + result.adRows + result.adGroupRows;
    out << "  total: " << rows << " rows, " << totalBytes << " bytes\n";
    out << "  generator: " << QString::number(seconds, 'f', 2) << " s ("
        << QString::number(rows > 0 ? seconds * 1e9 / double(rows) : 0.0, 'f', 0) << " ns per row)\n";
    out << "  phases (s): mixing " << QString::number(phaseStart[1] - phaseStart[0], 'f', 2)
        << ", ad groups " << QString::number(phaseStart[2] - phaseStart[1], 'f', 2)
        << ", keyword file " << QString::number(phaseStart[3] - phaseStart[2], 'f', 2)
        << ", ads file " << QString::number(phaseStart[4] - phaseStart[3], 'f', 2)
        << ", ad-group file and replacing the set " << QString::number(seconds - phaseStart[4], 'f', 2) << "\n";
    out << "  CPU time (user+system, all threads): " << QString::number(generatorCpu, 'f', 2) << " s\n";
    out << "  peak RSS: " << generatorPeakKiB / 1024 << " MiB\n";
    out.flush();
    const double floorSeconds = plainWriterSeconds(floorTemp.path(), sizes);
    if (floorSeconds < 0)
        return 1;
    out << "  plain writer, same bytes and durability: " << QString::number(floorSeconds, 'f', 2) << " s\n";
    out << "  generator / plain writer: " << QString::number(seconds / floorSeconds, 'f', 2) << "\n";
    if (!result.errors.isEmpty())
        out << "  errors: " << result.errors.join(QStringLiteral("; ")) << "\n";
    if (!keepDir.isEmpty())
        out << "  files kept in " << folder << "\n";
    out.flush();
    return result.errors.isEmpty() ? 0 : 1;
}
