#include "panelview/schematicwidget.h"

#include <cmath>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "keymap/bindingslot.h"

namespace qel {

namespace {
constexpr int kMargin = 8;
}  // namespace

TSchematicWidget::TSchematicWidget(const UnitStates& units, const KeyLayout& layout,
                                   const PanelActivity& activity, const LinkCommands& commands,
                                   QWidget* parent)
    : QWidget(parent), Units(units), Layout(layout), Activity(activity), Commands(commands) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::PointingHandCursor);
}

void TSchematicWidget::ShowUnit(UnitId unit, const SchematicCaption& caption, bool greyed) {
    Shown = unit;
    Caption = caption;
    Greyed = greyed;
    update();
}

void TSchematicWidget::SetSelectedSlot(std::optional<int> slot) {
    Selected = slot;
    update();
}

UnitScene TSchematicWidget::Scene() const {
    UnitScene scene = BuildUnitScene(Shown, Units, Layout, &Activity);
    if (Commands.Linked()) {
        for (SceneCell& cell : scene.Cells) {
            if (std::string label = Commands.LabelOf(Shown, cell.Slot); !label.empty()) {
                cell.KeyText = std::move(label);
            }
        }
    }
    return scene;
}

QRectF TSchematicWidget::BindingRect(int slot) const {
    return SchematicPainter::BindingRect(Scene(), Target(), slot);
}

QSize TSchematicWidget::SizeForText(double pixels) {
    // The bezel is the larger drawing: the audio unit, fitted to the same size, comes out
    // larger still.
    const QSizeF logical = SchematicPainter::LogicalSize(BezelSchematic()) * pixels /
                           SchematicPainter::kSmallestPixels;
    return {static_cast<int>(std::ceil(logical.width())) + 2 * kMargin,
            static_cast<int>(std::ceil(logical.height())) + 2 * kMargin};
}

QSize TSchematicWidget::sizeHint() const {
    return SizeForText(kDefaultTextPixels);
}

QSize TSchematicWidget::minimumSizeHint() const {
    return SizeForText(kMinimumTextPixels);
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

bool TSchematicWidget::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const UnitScene scene = Scene();
    const std::optional<int> slot = SchematicPainter::SlotAt(scene, Target(), help->pos());
    const SceneCell* cell = slot ? scene.CellOf(*slot) : nullptr;
    if (cell == nullptr) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The whole key text, however the drawing had to shorten it.
    QString key =
        cell->KeyText.empty() ? QStringLiteral("not bound") : QString::fromStdString(cell->KeyText);
    if (Commands.Linked()) {
        if (const std::string command = Commands.CommandOf(Shown, *slot); !command.empty()) {
            key = QString::fromStdString(command);
        }
    }
    QToolTip::showText(
        help->globalPos(),
        QString::fromStdString(BindingRowLabel(Shown, *slot)) + QStringLiteral(": ") + key, this);
    return true;
}

void TSchematicWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const std::optional<int> slot =
            SchematicPainter::SlotAt(Scene(), Target(), event->position())) {
        emit BindingClicked(Shown, *slot);
    }
}

}  // namespace qel
