#pragma once

#include <optional>

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include "panelview/schematic_palette.h"
#include "panelview/schematicscene.h"

class QPainter;

namespace qel {

// What goes in the schematic's caption area (the bezel's screen).
struct SchematicCaption {
    QString Title;   // e.g. "QEL1000-1: Connected", or the unit's caption on a sheet
    QString Detail;  // a second, smaller line; may be empty
};

// Paints unit scenes, and finds the binding under a point, with one geometry for both.
// Controls carry what the unit has printed on them and their key texts (the screen) or their
// keymap.ini names and key texts (paper).
class SchematicPainter {
public:
    // One grid cell in the painter's units before fitting; fonts are sized in the same units.
    static constexpr double kCellWidth = 5;
    static constexpr double kCellHeight = 5;
    // No text is drawn smaller than this, in the painter's units: fitted to a target, the
    // drawing's scale says how small that is on screen or paper.
    static constexpr int kSmallestPixels = 12;

    // Cells to target: scaled to fit, aspect kept, centred.
    [[nodiscard]] static QTransform CellTransform(const UnitSchematic& schematic,
                                                  const QRectF& target);
    // The size of a schematic in the painter's units.
    [[nodiscard]] static QSizeF LogicalSize(const UnitSchematic& schematic);

    // Paints scene fitted into target. greyed: the unit is not connected; selectedSlot gets a
    // marked outline. Returns whether any key text had to be shortened to its modifiers'
    // initials (S+, C+, A+) to fit.
    static bool Paint(QPainter& painter, const QRectF& target, const UnitScene& scene,
                      const SchematicCaption& caption, SchematicStyle style, bool greyed = false,
                      std::optional<int> selectedSlot = std::nullopt);

    // Where the binding slot is when scene is painted into target; empty for none.
    [[nodiscard]] static QRectF BindingRect(const UnitScene& scene, const QRectF& target, int slot);
    // The binding slot under point when scene is painted into target; nothing for none.
    [[nodiscard]] static std::optional<int> SlotAt(const UnitScene& scene, const QRectF& target,
                                                   QPointF point);
};

}  // namespace qel
