#include "app/splash_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zx {

QImage drawSplashPicture()
{
    QImage image(300, 400, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0.0, QColor(0x1d, 0x4e, 0x89));
    sky.setColorAt(0.55, QColor(0x4f, 0x9d, 0xd8));
    sky.setColorAt(1.0, Qt::white);
    p.fillRect(image.rect(), sky);

    // A stack of answer sheets with a large tick.
    for (int i = 0; i < 3; ++i) {
        const QRectF sheet(70 + i * 10, 70 + i * 12, 150, 190);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
        p.setBrush(QColor(255, 255, 255, 235 - i * 25));
        p.drawRoundedRect(sheet, 6, 6);
    }
    p.setPen(QPen(QColor(0xb0, 0xb8, 0xc4), 3));
    for (int line = 0; line < 7; ++line)
        p.drawLine(QPointF(110, 120 + line * 20), QPointF(230, 120 + line * 20));
    QPainterPath tick;
    tick.moveTo(115, 190);
    tick.lineTo(150, 235);
    tick.lineTo(235, 110);
    p.setPen(QPen(QColor(0x1f, 0x9d, 0x3a), 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0x12, 0x2c, 0x52));
    p.drawText(QRect(0, 272, 300, 44), Qt::AlignCenter, QStringLiteral("Tallyworks"));
    return image;
}

QImage drawCreditsPicture()
{
    QImage image(321, 393, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x4f, 0x9d, 0xd8), 3));
    p.drawRoundedRect(QRectF(6, 6, 309, 381), 10, 10);
    QFont heading(QStringLiteral("DejaVu Sans"));
    heading.setPixelSize(22);
    heading.setBold(true);
    p.setFont(heading);
    p.setPen(QColor(0x12, 0x2c, 0x52));
    p.drawText(QRect(0, 30, 321, 40), Qt::AlignCenter, QStringLiteral("Credits"));
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(13);
    p.setFont(body);
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.drawText(QRect(20, 90, 281, 260), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Tallyworks exam player\n\nBuilt with Qt 6, GStreamer and libjpeg.\n\n"
                              "Click to close."));
    return image;
}

} // namespace zx
