#include "dialogs/logoartwork.h"

#include <QPainter>
#include <QPainterPath>

namespace qel {
namespace {

constexpr int kLogoSize = 112;

}  // namespace

QImage MakeLogo() {
    QImage canvas(kLogoSize, kLogoSize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);

        // The bezel and its display.
        painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(6.5, 18.5, 99, 76), 8, 8);
        painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
        painter.drawRect(QRectF(15.5, 26.5, 58, 40));

        // A horizon and a flight path on the display.
        painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
        painter.drawLine(QPointF(17, 49), QPointF(72, 43));
        painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
        QPainterPath path;
        path.moveTo(22, 60);
        path.cubicTo(35, 58, 45, 36, 66, 33);
        painter.drawPath(path);

        // Soft keys under the display.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x70, 0x70, 0x70));
        for (int key = 0; key < 6; ++key) {
            painter.drawRect(QRectF(16 + key * 10, 76, 7, 5));
        }

        // The double knob: outer ring, inner knob and its pointer.
        painter.setBrush(QColor(0xA8, 0xA8, 0xA8));
        painter.drawEllipse(QPointF(89, 46), 10, 10);
        painter.setBrush(QColor(0x40, 0x40, 0x40));
        painter.drawEllipse(QPointF(89, 46), 6, 6);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawLine(QPointF(89, 46), QPointF(89, 41));

        // A small single knob below it.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x50, 0x50, 0x50));
        painter.drawEllipse(QPointF(89, 77), 6, 6);
    }
    return canvas.convertToFormat(QImage::Format_RGB888);
}

}  // namespace qel
