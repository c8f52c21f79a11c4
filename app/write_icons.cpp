// Draws the program's icon (Branding::programIcon) into the icon theme
// layout that desktops read: DIR/hicolor/<N>x<N>/apps/ppc-quillmark.png for
// every size it is drawn at. The build runs it for the installation.
#include "workspace/Branding.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: write_icons DIR\n");
        return 2;
    }
    const QIcon icon = Branding::programIcon();
    for (const QSize& size : icon.availableSizes()) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%3/apps").arg(args.at(1)).arg(size.width()).arg(size.height());
        if (!QDir().mkpath(folder) || !icon.pixmap(size).save(folder + QStringLiteral("/ppc-quillmark.png"))) {
            std::fprintf(stderr, "write_icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return icon.availableSizes().isEmpty() ? 1 : 0;
}
