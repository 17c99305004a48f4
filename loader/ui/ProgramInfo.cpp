#include "loader/ui/ProgramInfo.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace loader::ui {

QString programName() {
    return QStringLiteral("bootloader");
}

QString programMaker() {
    return QStringLiteral("Tessaly tools");
}

QString programVersion() {
    return QStringLiteral(TESSALY_VERSION);
}

QString programBuild() {
    return QStringLiteral(TESSALY_BUILD);
}

QString programTitle() {
    return QStringLiteral("%1 - %2 %3 (build %4)")
        .arg(programName(), programMaker(), programVersion(), programBuild());
}

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Pins.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 170));
    for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(2, 26 + i * 9, 8, 4));
        p.drawRect(QRectF(54, 26 + i * 9, 8, 4));
    }
    // Package.
    p.setBrush(QColor(40, 40, 48));
    p.drawRoundedRect(QRectF(10, 22, 44, 40), 4, 4);
    p.setBrush(QColor(90, 90, 100));
    p.drawEllipse(QPointF(17, 29), 2.5, 2.5);
    // Download arrow.
    QPainterPath arrow;
    arrow.moveTo(26, 2);
    arrow.lineTo(38, 2);
    arrow.lineTo(38, 26);
    arrow.lineTo(48, 26);
    arrow.lineTo(32, 46);
    arrow.lineTo(16, 26);
    arrow.lineTo(26, 26);
    arrow.closeSubpath();
    p.setBrush(QColor(230, 60, 40));
    p.setPen(QPen(QColor(120, 20, 10), 1.5));
    p.drawPath(arrow);
    return pixmap;
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(drawIcon(size));
    }
    return icon;
}

}  // namespace loader::ui
