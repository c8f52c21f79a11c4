// Generates a synthetic campaign and writes its three import files into a
// temporary folder, printing wall time, rows and bytes per file and the peak
// resident set size.
//
//   generator_bench [BASE EXT] [--keep DIR] [--literal]
//
// BASE and EXT are the numbers of base and extension keyword lines (default
// 1000 each). With --keep the files are written into DIR and left there.
// --literal fills every text token by token, without the precompiled
// templates (slow; the files must come out byte for byte the same).

#include "PeakMemory.h"

#include "generator/CampaignGenerator.h"
#include "generator/TemplateText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

#include <sys/resource.h>

namespace {

const char* const kAdjectives[] = {
    "red", "blue", "green", "black", "white", "cheap", "luxury", "small", "large", "fast",
    "quiet", "modern", "classic", "wooden", "metal", "leather", "cotton", "organic", "digital", "smart",
    "outdoor", "indoor", "portable", "vintage", "custom", "premium", "budget", "heavy", "light", "soft",
    "strong", "warm", "cool", "bright", "dark", "fresh", "local", "global", "rapid", "simple"};
const char* const kNouns[] = {
    "shoes", "boots", "jackets", "chairs", "tables", "lamps", "phones", "cameras", "bikes", "watches",
    "bags", "hats", "gloves", "scarves", "desks", "sofas", "beds", "rugs", "mugs", "plates",
    "knives", "pans", "ovens", "fridges", "fans", "heaters", "tents", "skis", "boards", "helmets",
    "tyres", "pumps", "drills", "saws", "brushes", "paints", "frames", "mirrors", "clocks", "radios",
    "speakers", "screens", "mice", "keyboards", "printers", "routers", "cables", "chargers", "batteries", "drones"};
const char* const kPlaces[] = {
    "london", "paris", "berlin", "madrid", "rome", "vienna", "prague", "warsaw", "dublin", "lisbon",
    "oslo", "helsinki", "athens", "zurich", "brussels", "amsterdam", "munich", "milan", "lyon", "porto",
    "seville", "krakow", "riga", "tallinn", "vilnius"};
const char* const kQualifiers[] = {
    "online", "store", "shop", "sale", "deals", "outlet", "delivery", "prices", "reviews", "offers",
    "discount", "rental", "repair", "service", "supplier", "wholesale", "near", "best", "top", "new",
    "used", "buy", "order", "compare", "guide", "brands", "catalog", "market", "center", "direct",
    "express", "plus", "pro", "max", "mini", "home", "kids", "men", "women", "sport"};

template <size_t N>
QString pick(const char* const (&list)[N], qsizetype i)
{
    return QString::fromLatin1(list[size_t(i) % N]);
}

QString keywordLines(qsizetype count, bool base)
{
    QString text;
    for (qsizetype i = 0; i < count; ++i) {
        QString line;
        if (base) {
            line = pick(kAdjectives, i) + QLatin1Char(' ') + pick(kNouns, i / 40);
            if (i >= 40 * 50)
                line += QString::number(i / 2000);
        } else {
            line = pick(kPlaces, i) + QLatin1Char(' ') + pick(kQualifiers, i / 25);
            if (i >= 25 * 40)
                line += QString::number(i / 1000);
        }
        if (i % 10 == 0)
            line += base ? QStringLiteral(" [%1]").arg(pick(kNouns, i / 40))
                         : QStringLiteral(" [%1]").arg(pick(kPlaces, i));
        text += line + QStringLiteral("\r\n");
    }
    return text;
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
    if (!scratch.isValid() || !outputTemp.isValid()) {
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

    generator::GenerationInput in;
    in.campaignName = QStringLiteral("Bench Campaign");
    in.campaignFolder = folder;
    in.campaign.baseKeywords = keywordLines(baseCount, true);
    in.campaign.extensionKeywords = keywordLines(extCount, false);
    in.campaign.broadMatch = in.campaign.phraseMatch = in.campaign.exactMatch = true;
    in.campaign.broadBid = QStringLiteral("0.50");
    in.campaign.phraseBid = QStringLiteral("0.65");
    in.campaign.exactBid = QStringLiteral("0.80");
    in.campaign.urlTemplate = QStringLiteral("http://www.example.com/p?kw={mix}&m={match}&g={adgroup}");
    in.campaign.mixing = Mixing::ExtensionBeforeAndAfterBase;
    in.campaign.grouping = Grouping::ByMix;
    in.campaign.includeBaseKeyword = Include::Yes;
    in.campaign.includeExtKeyword = Include::Yes;
    in.campaign.extraGroupText = ExtraGroupText::None;
    in.campaign.capitalisation = Capitalisation::None;
    in.campaign.replaceGroupSpace = GroupSpace::Hyphen;
    in.campaign.replaceSpace = ReplaceSpace::Plus;
    in.campaign.maxCPC = QStringLiteral("0.75");
    in.campaign.maxContentCPC = QStringLiteral("0.40");
    in.campaign.capitalization = true;
    in.campaign.ads[0] = {QStringLiteral("{Base} {Extension}"), QStringLiteral("Find {mix} at {campaign}"),
                 QStringLiteral("Great deals on {base} in {extension}"), QStringLiteral("www.example.com/{base}"),
                 QStringLiteral("http://www.example.com/ad?kw={mix}&g={adgroup}&t={title}")};
    in.campaign.ads[1] = {QStringLiteral("{MIX} Sale"), QStringLiteral("Shop {Mix} today"),
                 QStringLiteral("Free shipping, order now"), QStringLiteral("example.com/{extension}"),
                 QStringLiteral("http://www.example.com/{base}?c={campaign}")};
    in.campaign.ads[2] = {QStringLiteral("Best {base}"), QStringLiteral("{Extension} {Base} offers"),
                 QStringLiteral("Ad group {adgroup}"), QStringLiteral("www.example.com/{title}"),
                 QStringLiteral("http://www.example.com/p?q={extension}")};
    in.campaign.ads[3] = {QStringLiteral("{campaign}: {base}"), QStringLiteral("Compare {mix}"),
                 QStringLiteral("{Base} for less"), QStringLiteral("www.example.com"),
                 QStringLiteral("http://www.example.com/{mix}/{title}")};

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
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;

    QTextStream out(stdout);
    out << "generator_bench " << baseCount << " x " << extCount << " (mode 2, group by mix)\n";
    qint64 totalBytes = 0;
    const struct {
        const char* name;
        qint64 rows;
    } files[] = {{"AdwordsKeywords.csv", result.keywordRows},
                 {"AdwordsAds.csv", result.adRows},
                 {"AdwordsAdGroups.csv", result.adGroupRows}};
    for (const auto& f : files) {
        const qint64 size = QFileInfo(folder + QLatin1Char('/') + QLatin1String(f.name)).size();
        totalBytes += size;
        out << "  " << f.name << ": " << f.rows << " rows, " << size << " bytes\n";
    }
    const qint64 rows = result.keywordRows + result.adRows + result.adGroupRows;
    out << "  total: " << rows << " rows, " << totalBytes << " bytes\n";
    out << "  wall time: " << QString::number(seconds, 'f', 2) << " s ("
        << QString::number(rows > 0 ? seconds * 1e9 / double(rows) : 0.0, 'f', 0) << " ns per row)\n";
    out << "  phases (s): mixing+groups " << QString::number(phaseStart[2] - phaseStart[0], 'f', 2)
        << ", keyword file " << QString::number(phaseStart[3] - phaseStart[2], 'f', 2)
        << ", ads file " << QString::number(phaseStart[4] - phaseStart[3], 'f', 2)
        << ", ad-group file " << QString::number(seconds - phaseStart[4], 'f', 2) << "\n";
    out << "  CPU time (user+system, whole program): " << QString::number(cpuSeconds, 'f', 2) << " s\n";
    out << "  peak RSS: " << peakRssKiB() / 1024 << " MiB\n";
    if (!result.errors.isEmpty())
        out << "  errors: " << result.errors.join(QStringLiteral("; ")) << "\n";
    if (!keepDir.isEmpty())
        out << "  files kept in " << folder << "\n";
    out.flush();
    return result.errors.isEmpty() ? 0 : 1;
}
