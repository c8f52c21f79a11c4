// Loads a large settings hive and prints how long the first read takes, the
// peak resident set size and the peak per byte of hive text.
//
//   registry_bench values [N]   one key holding N values (default 100000)
//   registry_bench path [BYTES] one key line of BYTES bytes of "a\a\a..." (default 1 MiB)
//
// The hive is written into a temporary registry folder; nothing else is touched.

#include "PeakMemory.h"

#include "platform/Registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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
    std::fprintf(stderr, "usage: registry_bench values [N] | path [BYTES]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
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
