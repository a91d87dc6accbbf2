#include "panelview/schematicwidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace qel {

namespace {
constexpr int kMargin = 8;
}  // namespace

TSchematicWidget::TSchematicWidget(const UnitStates& units, const KeyLayout& layout,
                                   const PanelActivity& activity, QWidget* parent)
    : QWidget(parent), Units(units), Layout(layout), Activity(activity) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(480, 240);
    setCursor(Qt::PointingHandCursor);
}

void TSchematicWidget::ShowUnit(int deviceIndex, const SchematicCaption& caption, bool greyed) {
    DeviceIndex = deviceIndex;
    Caption = caption;
    Greyed = greyed;
    update();
}

void TSchematicWidget::SetSelectedSlot(std::optional<int> slot) {
    Selected = slot;
    update();
}

UnitScene TSchematicWidget::Scene() const {
    return BuildUnitScene(DeviceIndex, Units, Layout, &Activity);
}

QRectF TSchematicWidget::BindingRect(int slot) const {
    return SchematicPainter::BindingRect(Scene(), Target(), slot);
}

QSize TSchematicWidget::sizeHint() const {
    const UnitSchematic& bezel = BezelSchematic();
    return {static_cast<int>(bezel.Columns * SchematicPainter::kCellWidth * 0.85) + 2 * kMargin,
            static_cast<int>(bezel.Rows * SchematicPainter::kCellHeight * 0.85) + 2 * kMargin};
}

QRectF TSchematicWidget::Target() const {
    return QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

void TSchematicWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    SchematicPainter::Paint(painter, Target(), Scene(), Caption, SchematicStyle::Screen, Greyed,
                            Selected);
}

void TSchematicWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const std::optional<int> slot =
            SchematicPainter::SlotAt(Scene(), Target(), event->position())) {
        emit BindingClicked(DeviceIndex, *slot);
    }
}

}  // namespace qel
