// Icon 128, the program icon: a switch front with its ports, 32 x 32.
#include "ui/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace tarnwick {

QImage ProgramIconImage() {
    QImage image(kProgramIconSize, kProgramIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1b, 0x2a, 0x4a), 1));
    painter.setBrush(QColor(0x2f, 0x5d, 0xa8));
    painter.drawRoundedRect(QRectF(1.5, 8.5, 29, 15), 2, 2);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 6; ++column) {
            // One port lit in another colour: a port moving to another VLAN.
            const bool moved = row == 1 && column == 4;
            painter.setBrush(moved ? QColor(0xf2, 0xa9, 0x00) : QColor(0x7c, 0xd9, 0x5a));
            painter.drawRect(QRectF(4 + column * 4.2, 11 + row * 5.5, 3, 3.5));
        }
    }
    painter.end();
    return image;
}

QIcon ProgramIcon() {
    return QIcon(QPixmap::fromImage(ProgramIconImage()));
}

}  // namespace tarnwick
