#include "gui/app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zelv {

namespace {
// On a 64-unit tile, as in the SVG file.
QPainterPath SpadePath() {
    QPainterPath p;
    p.moveTo(32, 8);
    p.cubicTo(26, 18, 10, 26, 10, 38);
    p.cubicTo(10, 46, 16, 50, 22, 50);
    p.cubicTo(26, 50, 29, 48, 30, 46);
    p.cubicTo(29, 52, 27, 55, 23, 58);
    p.lineTo(41, 58);
    p.cubicTo(37, 55, 35, 52, 34, 46);
    p.cubicTo(35, 48, 38, 50, 42, 50);
    p.cubicTo(48, 50, 54, 46, 54, 38);
    p.cubicTo(54, 26, 38, 18, 32, 8);
    p.closeSubpath();
    return p;
}
} // namespace

QImage ZelvanoIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x78, 0x3c));
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 11, 11);
    p.setBrush(Qt::white);
    p.drawPath(SpadePath());
    p.end();
    return image;
}

QIcon ZelvanoIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(ZelvanoIconImage(size)));
    return icon;
}

} // namespace zelv
