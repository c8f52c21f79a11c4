// Opens the keyword research window (offscreen) over a country code file of
// many names and prints how long reading the names and opening the window
// take, and the peak memory of the process.
//
//   research_bench [NAMES]         a country file of NAMES names (100000 by default)
//   research_bench --bytes BYTES   a country file of at least BYTES bytes

#include "PeakMemory.h"

#include "research/CodeFiles.h"
#include "platform/Prompter.h"
#include "research/window/frmKeywordResearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

// Tells what the program would have shown instead of waiting for a click.
class PrintingPrompter final : public platform::Prompter
{
public:
    platform::MsgResult message(const platform::MessageRequest& request) override
    {
        std::printf("message box \"%s\": %s\n", qPrintable(request.title), qPrintable(request.text));
        return platform::MsgResult::OK;
    }
    QString fileDialog(platform::FileDialogRequest&) override { return QString(); }
    QString browseForFolder(const QString&, const QString&) override { return QString(); }
};

// "Country <i>=C<i>" lines up to the marker, then the ids of the names.
bool writeCountryFile(const QString& path, qint64 names, qint64 bytes)
{
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f)
        return false;
    qint64 written = 0;
    qint64 i = 0;
    for (; (bytes > 0 && written < bytes / 2) || (bytes == 0 && i < names); ++i)
        written += std::fprintf(f, "Country %lld=C%lld\r\n", i, i);
    written += std::fprintf(f, "[Country Code]\r\n[CountryID]\r\n");
    for (qint64 j = 0; j < i; ++j)
        written += std::fprintf(f, "Country %lld=%lld\r\n", j, 2000 + j);
    std::printf("country file: %lld names, %lld bytes\n", i, written);
    return std::fclose(f) == 0;
}

bool writeLanguageFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("English=en\r\n[LanguageCode]\r\n[LanguageID]\r\nEnglish=1000\r\n") > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    qint64 names = 100000;
    qint64 bytes = 0;
    if (argc == 3 && std::strcmp(argv[1], "--bytes") == 0)
        bytes = std::atoll(argv[2]);
    else if (argc == 2)
        names = std::atoll(argv[1]);

    QTemporaryDir scratch;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* variable : {"QUILLMARK_PROGRAM_DIR", "QUILLMARK_REGISTRY_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(variable, QFile::encodeName(scratch.path()));
    QApplication app(argc, argv);
    PrintingPrompter prompter;
    platform::setPrompter(&prompter);

    if (!writeCountryFile(scratch.filePath(QStringLiteral("CountryNCodeGoogle.rpt")), names, bytes)
        || !writeLanguageFile(scratch.filePath(QStringLiteral("LanguageNCode.rpt")))) {
        std::fprintf(stderr, "cannot write the code files in %s\n", qPrintable(scratch.path()));
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    const std::optional<QStringList> listed = CodeFiles::PopulateListCountryGoogle();
    std::printf("read the names:   %8lld ms (%lld names)\n", timer.elapsed(), listed ? qint64(listed->size()) : -1);

    timer.restart();
    frmKeywordResearch window([](const QStringList&, KeywordBox) {});
    window.show();
    QCoreApplication::processEvents();
    const qint64 opened = timer.elapsed();
    const QListWidget* countries = window.findChild<QListWidget*>(QStringLiteral("lstCountry"));
    std::printf("open the window:  %8lld ms (%d countries listed)\n", opened, countries->count());
    std::printf("peak memory:      %8lld MiB\n", peakRssKiB() / 1024);
    platform::setPrompter(nullptr);
    return 0;
}
