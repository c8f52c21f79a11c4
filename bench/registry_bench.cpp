// Loads a large settings hive and prints how long the first read takes, the
// peak resident set size and the peak per byte of hive text; or times the
// save of the preferences store.
//
//   registry_bench values [N]   one key holding N values (default 100000)
//   registry_bench path [BYTES] one key line of BYTES bytes of "a\a\a..." (default 1 MiB)
//   registry_bench save [ROUNDS] SaveSettings with every value changed, ROUNDS times
//                                (default 20): the time of one save and the hive files
//                                written per save
//
// The hives (and the error log of the save) go into temporary folders;
// nothing else is touched.

#include "EveryPreference.h"
#include "FileSaves.h"
#include "PeakMemory.h"

#include "core/Globals.h"
#include "platform/Registry.h"
#include "settings/clsPreference.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using platform::Registry::Hive;

QByteArray manyValues(qint64 count)
{
    QByteArray text = "[Software\\Bench]\n";
    for (qint64 i = 0; i < count; ++i)
        text += "\"Value" + QByteArray::number(i) + "\"=\"text " + QByteArray::number(i) + "\"\n";
    return text;
}

QByteArray longKeyPath(qint64 bytes)
{
    QByteArray path;
    path.reserve(bytes);
    while (path.size() + 2 <= bytes)
        path += "a\\";
    path.chop(1);
    return "[" + path + "]\n\"Deepest\"=\"found\"\n";
}

int usage()
{
    std::fprintf(stderr, "usage: registry_bench values [N] | path [BYTES] | save [ROUNDS]\n");
    return 2;
}

// Each round changes every value and saves the store once.
int timeSaves(qint64 rounds)
{
    QTemporaryDir dir;
    const QString registry = dir.filePath(QStringLiteral("registry"));
    QDir().mkpath(registry);
    qputenv("QUILLMARK_REGISTRY_DIR", QFile::encodeName(registry));
    qputenv("QUILLMARK_PROGRAM_DIR", QFile::encodeName(dir.filePath(QStringLiteral("program"))));
    BuildKeyPaths();
    clsPreference preference;
    preference.GetSettings();
    preference.SaveSettings(); // the keys exist from here on, as after any first save

    FileSaves writes(registry);
    QElapsedTimer timer;
    timer.start();
    for (qint64 round = 1; round <= rounds; ++round) {
        setEveryPreference(preference, int(round % 1000));
        preference.SaveSettings();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6 / double(rounds);
    const auto perSave = [&](Hive hive) {
        return double(writes.count(QFileInfo(platform::Registry::hiveFile(hive)).fileName())) / double(rounds);
    };
    std::printf("save: %lld rounds, %.2f ms per SaveSettings, hive files written per save: "
                "%.1f HKEY_CURRENT_USER, %.1f HKEY_LOCAL_MACHINE\n",
                static_cast<long long>(rounds), ms, perSave(Hive::CurrentUser), perSave(Hive::LocalMachine));
    return writes.isActive() ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() >= 1 && args.at(0) == QLatin1String("save")) {
        bool ok = true;
        const qint64 rounds = args.size() > 1 ? args.at(1).toLongLong(&ok) : 20;
        return ok && rounds > 0 ? timeSaves(rounds) : usage();
    }
    if (args.isEmpty() || (args.at(0) != QLatin1String("values") && args.at(0) != QLatin1String("path")))
        return usage();
    const bool values = args.at(0) == QLatin1String("values");
    bool ok = true;
    const qint64 size = args.size() > 1 ? args.at(1).toLongLong(&ok) : (values ? 100000 : 1 << 20);
    if (!ok || size < 1)
        return usage();

    QTemporaryDir dir;
    qputenv("QUILLMARK_REGISTRY_DIR", QFile::encodeName(dir.path()));
    const QByteArray text = values ? manyValues(size) : longKeyPath(size);
    QFile file(platform::Registry::hiveFile(Hive::CurrentUser));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return 1;
    file.close();

    // What the hive costs is measured from here: the text itself is in memory already.
    const qint64 before = peakRssKiB();
    QElapsedTimer timer;
    timer.start();
    QString key = QStringLiteral("Software\\Bench");
    QString name = QStringLiteral("Value%1").arg(size - 1);
    if (!values) {
        key = QString::fromLatin1(text.mid(1, text.indexOf(']') - 1));
        name = QStringLiteral("Deepest");
    }
    const std::optional<QString> found = platform::Registry::value(Hive::CurrentUser, key, name);
    const qint64 ms = timer.elapsed();
    const qint64 peak = peakRssKiB();

    std::printf("%s: %lld bytes of hive text, first read %lld ms, value %s\n", values ? "values" : "path",
                static_cast<long long>(text.size()), static_cast<long long>(ms), found ? "found" : "MISSING");
    std::printf("peak memory %lld KiB (%lld KiB before the read), %.1f bytes per byte of text\n",
                static_cast<long long>(peak), static_cast<long long>(before),
                double(peak - before) * 1024.0 / double(text.size()));
    return found ? 0 : 1;
}
