#pragma once

#include <optional>

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include "panelview/schematicscene.h"

class QPainter;

namespace qel {

// Screen: the panel's dark face, lit controls, greyed when the unit is not connected.
// Paper: black on white for the binding sheet.
enum class SchematicStyle { Screen, Paper };

// What goes in the schematic's caption area (the bezel's screen).
struct SchematicCaption {
    QString Title;   // e.g. "QEL1000-1: Connected", or the keymap.ini section
    QString Detail;  // a second, smaller line; may be empty
};

// Paints unit scenes, and finds the binding under a point, with one geometry for both.
class SchematicPainter {
public:
    // One cell in the painter's units before fitting; fonts are sized to it.
    static constexpr double kCellWidth = 100;
    static constexpr double kCellHeight = 46;

    // Cells to target: scaled to fit, aspect kept, centred.
    [[nodiscard]] static QTransform CellTransform(const UnitSchematic& schematic,
                                                  const QRectF& target);

    // Paints scene fitted into target. greyed dims everything (a unit not connected);
    // selectedSlot gets a marked outline.
    static void Paint(QPainter& painter, const QRectF& target, const UnitScene& scene,
                      const SchematicCaption& caption, SchematicStyle style, bool greyed = false,
                      std::optional<int> selectedSlot = std::nullopt);

    // Where the binding slot is when scene is painted into target; empty for none.
    [[nodiscard]] static QRectF BindingRect(const UnitScene& scene, const QRectF& target, int slot);
    // The binding slot under point when scene is painted into target; nothing for none.
    [[nodiscard]] static std::optional<int> SlotAt(const UnitScene& scene, const QRectF& target,
                                                   QPointF point);
};

}  // namespace qel
