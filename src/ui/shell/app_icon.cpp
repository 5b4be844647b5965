#include "ui/shell/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kd {

namespace {

// On a 64-unit square, as resources/icons/kelvane-display.svg draws it.
QPixmap paintedMark(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, QColor(0x3a, 0x7b, 0xff));
    tile.setColorAt(1, QColor(0x6a, 0x3c, 0xf0));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(QRectF(34, 16, 20, 28), 4, 4);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10, 20, 32, 22), 4, 4);
    p.drawRect(QRectF(22, 42, 8, 6));
    p.drawRoundedRect(QRectF(16, 47, 20, 4), 2, 2);
    return pixmap;
}

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 22, 32, 48, 64, 128}) icon.addPixmap(paintedMark(size));
    return icon;
}

}  // namespace kd
