#include "dialogs/logoimage.h"

#include <utility>

#include <QMouseEvent>
#include <QPainter>

namespace qel {

TLogoImage::TLogoImage(QImage picture, QWidget* parent)
    : QWidget(parent), Picture_(std::move(picture)) {
    setFixedSize(Picture_.size());
}

void TLogoImage::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, Picture_);
}

void TLogoImage::mouseReleaseEvent(QMouseEvent* event) {
    // A click ends on the picture, as a button's does.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Clicked();
    }
    QWidget::mouseReleaseEvent(event);
}

void TLogoImage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked();
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace qel
