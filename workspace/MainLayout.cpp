#include "workspace/MainLayout.h"

#include <QtGlobal>

namespace MainLayout {

Columns columns(bool pinned, int foldedWidth, int splitterWidth)
{
    Columns c;
    c.paneWidth = pinned ? PinnedPaneWidth : foldedWidth;
    c.contentWidth = pinned ? c.paneWidth - 25 : UnpinnedContentWidth;
    c.splitterLeft = c.paneWidth + 10;
    c.mainLeft = c.splitterLeft + splitterWidth + 5;
    return c;
}

int toPixels(int twips, int dpi)
{
    return qRound(double(twips) * dpi / 1440.0);
}

int toTwips(int pixels, int dpi)
{
    return int(qint64(pixels) * 1440 / dpi);
}

} // namespace MainLayout
