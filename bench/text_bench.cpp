// Times the HTML and URL text functions on big inputs, doubling the input
// from step to step: a cost that grows with the input's size shows as a time
// that doubles too, a cost that grows faster as one that more than doubles.
//
//   text_bench [MIB]    the largest input in MiB (16 by default)

#include "core/modDSSock.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// Milliseconds that one call of f takes.
double timeMs(const std::function<void()>& f)
{
    QElapsedTimer clock;
    clock.start();
    f();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    const qsizetype largest = (argc > 1 ? std::atoll(argv[1]) : 16) * 1024 * 1024;
    std::printf("%10s %14s %14s %14s\n", "size", "StripHTML ms", "GetBaseURL ms", "ParseString ms");
    for (qsizetype size = 1024 * 1024; size <= largest; size *= 2) {
        // Tags every few characters, and a URL and a list of one-character fields.
        const QString html = QStringLiteral("<p class=x>Red <b>shoes</b> &amp; more<br>\r\n  ").repeated(size / 44);
        const QString url = QStringLiteral("http://www.example.com/") + QStringLiteral("a/").repeated(size / 2)
                          + QStringLiteral("page.html?x=1");
        const int fields = static_cast<int>(size / 2);
        const QString list = QStringLiteral("a,").repeated(fields);
        qsizetype sink = 0;
        const double strip = timeMs([&] { sink += modDSSock::StripHTML(html).size(); });
        const double base = timeMs([&] { sink += modDSSock::GetBaseURL(url).size(); });
        const double parse = timeMs([&] { sink += modDSSock::ParseString(list, QStringLiteral(","), fields).size(); });
        std::printf("%10lld %14.1f %14.1f %14.1f%s\n", static_cast<long long>(size), strip, base, parse,
                    sink < 0 ? "!" : "");
    }
    return 0;
}
