// Generates a synthetic campaign and writes its three import files into a
// temporary folder, then writes the same number of bytes into three files
// the plainest way with the same durability (the floor the generator is
// measured against), and prints both times and their ratio, the rows and
// bytes per file and the peak resident set size of the generator's run.
//
//   generator_bench [BASE EXT] [--rounds N] [--keep DIR] [--literal]
//
// BASE and EXT are the numbers of base and extension keyword lines (default
// 1000 each, bench/StandardCampaign.h). --rounds runs both N times, one
// after the other, and adds the medians: the disk of a shared machine takes
// the same bytes in one second or in five. With --keep the files are written
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

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <numeric>
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

const char* const kUsage = "usage: generator_bench [BASE EXT] [--rounds N] [--keep DIR] [--literal]\n";

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString seconds(double s)
{
    return QString::number(s, 'f', 2) + QStringLiteral(" s");
}

// One timed build, with the time at which each phase began.
struct Run {
    generator::GenerationResult result;
    double seconds = 0;
    std::array<double, 5> phaseStart{};

    explicit Run(const generator::GenerationInput& in)
    {
        QElapsedTimer timer;
        generator::GenerationCallbacks callbacks;
        callbacks.progress = [&](generator::GenerationPhase phase, qsizetype index, qsizetype) {
            if (index < 0)
                phaseStart[size_t(phase)] = double(timer.nsecsElapsed()) / 1e9;
        };
        timer.start();
        result = generator::GenerateCampaignFiles(in, callbacks);
        seconds = double(timer.nsecsElapsed()) / 1e9;
    }

    QString phases() const
    {
        const auto span = [this](size_t from, double to) { return QString::number(to - phaseStart[from], 'f', 2); };
        return QStringLiteral("mixing %1, ad groups %2, keyword file %3, ads file %4, "
                              "ad-group file and replacing the set %5 (s)")
            .arg(span(0, phaseStart[1]), span(1, phaseStart[2]), span(2, phaseStart[3]), span(3, phaseStart[4]),
                 span(4, seconds));
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString keepDir;
    int rounds = 1;
    for (const QString& option : {QStringLiteral("--keep"), QStringLiteral("--rounds")}) {
        const qsizetype at = args.indexOf(option);
        if (at < 0)
            continue;
        if (at + 1 >= args.size()) {
            std::fprintf(stderr, "%s", kUsage);
            return 2;
        }
        if (option == QStringLiteral("--keep"))
            keepDir = args.at(at + 1);
        else
            rounds = args.at(at + 1).toInt();
        args.remove(at, 2);
    }
    if (args.removeAll(QStringLiteral("--literal")) > 0)
        generator::detail::setLiteralFillOnly(true);
    qsizetype baseCount = 1000;
    qsizetype extCount = 1000;
    if (args.size() >= 2) {
        baseCount = args.at(0).toLongLong();
        extCount = args.at(1).toLongLong();
    }
    if (args.size() == 1 || args.size() > 2 || rounds < 1) {
        std::fprintf(stderr, "%s", kUsage);
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
    const generator::GenerationInput in{bench::kCampaignName, folder, bench::StandardCampaign(baseCount, extCount)};

    QTextStream out(stdout);
    out << "generator_bench " << baseCount << " x " << extCount << " (mode 2, group by mix)\n";
    std::vector<double> generatorTimes;
    std::vector<double> floorTimes;
    double generatorCpu = 0;
    qint64 rows = 0;
    for (int round = 1; round <= rounds; ++round) {
        const double cpuBefore = cpuSeconds();
        const Run run(in);
        generatorCpu += cpuSeconds() - cpuBefore;
        if (!run.result.errors.isEmpty()) {
            out << "  errors: " << run.result.errors.join(QStringLiteral("; ")) << "\n";
            return 1;
        }
        std::vector<qint64> sizes;
        for (int f = 0; f < ImportFormat::FileCount; ++f)
            sizes.push_back(QFileInfo(folder + QLatin1Char('/') + ImportFormat::fileName(ImportFormat::File(f))).size());
        if (round == 1) {
            const qint64 fileRows[] = {run.result.keywordRows, run.result.adRows, run.result.adGroupRows};
            for (int f = 0; f < ImportFormat::FileCount; ++f)
                out << "  " << ImportFormat::fileName(ImportFormat::File(f)) << ": " << fileRows[f] << " rows, "
                    << sizes[size_t(f)] << " bytes\n";
            rows = fileRows[0] + fileRows[1] + fileRows[2];
            out << "  total: " << rows << " rows, " << std::accumulate(sizes.begin(), sizes.end(), qint64(0))
                << " bytes\n";
            out << "  peak RSS of the generator: " << peakRssKiB() / 1024 << " MiB\n";
        }
        out.flush();
        const double floorSeconds = plainWriterSeconds(floorTemp.path(), sizes);
        if (floorSeconds < 0)
            return 1;
        generatorTimes.push_back(run.seconds);
        floorTimes.push_back(floorSeconds);
        out << "  round " << round << ": generator " << seconds(run.seconds) << " ("
            << QString::number(run.seconds * 1e9 / double(rows), 'f', 0) << " ns per row), plain writer of the same "
            << "bytes and durability " << seconds(floorSeconds) << ", ratio "
            << QString::number(run.seconds / floorSeconds, 'f', 2) << "\n";
        out << "    phases: " << run.phases() << "\n";
        out.flush();
    }
    const double g = median(generatorTimes);
    const double p = median(floorTimes);
    out << "  generator: " << seconds(g) << " (" << QString::number(g * 1e9 / double(rows), 'f', 0)
        << " ns per row)" << (rounds > 1 ? ", median" : "") << "\n";
    out << "  plain writer: " << seconds(p) << (rounds > 1 ? ", median" : "") << "\n";
    out << "  generator / plain writer: " << QString::number(g / p, 'f', 2) << "\n";
    out << "  CPU time of the generator (user+system, all threads): " << seconds(generatorCpu / rounds)
        << " per round\n";
    if (!keepDir.isEmpty())
        out << "  files kept in " << folder << "\n";
    return 0;
}
