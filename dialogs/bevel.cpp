#include "dialogs/bevel.h"

#include <QPainter>

namespace qel {

TBevel::TBevel(Shape shape, QWidget* parent) : QWidget(parent), LineShape_(shape) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // A lowered line is a shadow line with a highlight line just below it.
    const int shadowY = LineShape_ == Shape::TopLine ? 0 : height() - 2;
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, shadowY, width() - 1, shadowY);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, shadowY + 1, width() - 1, shadowY + 1);
}

}  // namespace qel
