#include "workspace/Branding.h"

#include "core/Globals.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace Branding {

Logo logoFor(const QString& dealerId, const QString& title)
{
    if (title.contains(QLatin1String("Orrery"), Qt::CaseInsensitive))
        return Logo::CoBrand;
    if (dealerId.compare(QLatin1String("KZV"), Qt::CaseInsensitive) == 0)
        return Logo::DealerKzv;
    return Logo::Standard;
}

QPixmap picture(Logo logo)
{
    struct Look {
        const char* mark;
        QColor from;
        QColor to;
    };
    const Look look = logo == Logo::DealerKzv ? Look{"KZV", QColor(0x1b, 0x5e, 0x20), QColor(0x66, 0xbb, 0x6a)}
        : logo == Logo::CoBrand               ? Look{"Orrery", QColor(0x31, 0x1b, 0x92), QColor(0x95, 0x75, 0xcd)}
                                              : Look{"", QColor(0x0d, 0x47, 0xa1), QColor(0x42, 0xa5, 0xf5)};
    QPixmap pixmap(360, 120);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient fill(0, 0, 360, 120);
    fill.setColorAt(0, look.from);
    fill.setColorAt(1, look.to);
    p.fillRect(pixmap.rect(), fill);

    p.setPen(Qt::white);
    QFont font = p.font();
    const QString mark = QString::fromLatin1(look.mark);
    if (!mark.isEmpty()) {
        font.setPixelSize(22);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(16, 10, 328, 30), Qt::AlignLeft | Qt::AlignVCenter, mark);
    }
    font.setPixelSize(38);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(16, 36, 328, 56), Qt::AlignLeft | Qt::AlignVCenter, AppTitle());
    p.setPen(QPen(QColor(255, 255, 255, 160), 3));
    p.drawLine(16, 98, 344, 98);
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        QLinearGradient fill(0, 0, size, size);
        fill.setColorAt(0, QColor(0x0d, 0x47, 0xa1));
        fill.setColorAt(1, QColor(0x42, 0xa5, 0xf5));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font = p.font();
        font.setPixelSize(size * 3 / 4);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Q"));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace Branding
