#include <cassert>
#include <span>

#include <QSaveFile>

#include "panelview/bindingsheet.h"
#include "panelview/printed_labels.h"
#include "panelview/schematic_palette.h"
#include "panelview/schematicpainter.h"
#include "panelview/schematicscene.h"

namespace qel {
namespace {

// The schematic's grid as CSS grid tracks: the columns share the page's width, and a row
// grows with its text, which wraps; nothing is cut off.
QString Style() {
    const SchematicPalette& paper = PaletteOf(SchematicStyle::Paper, false);
    return QStringLiteral(
               "body{font-family:sans-serif;margin:16px;color:%1}"
               "section{page-break-after:always;margin-bottom:32px}"
               "h1{font-size:22px;margin:0}h1 span{font-weight:normal;color:%2;margin-left:.6em}"
               "p.sub{margin:4px 0 12px;font-size:13px}"
               ".unit{display:grid;border:1px solid %2;border-radius:10px;padding:4px;"
               "min-width:880px}"
               ".c{margin:2px;border:1px solid %1;border-radius:6px;padding:2px 4px;"
               "text-align:center;font-size:13px;overflow-wrap:anywhere;display:flex;"
               "flex-direction:column;justify-content:center}"
               ".l,.n,.u{color:%2}.n{font-size:12px}.b{font-weight:bold;font-size:14px}"
               ".knob{display:grid;grid-template-columns:1fr auto 1fr;align-items:stretch}"
               ".kn{grid-column:1/4;text-align:center;font-weight:bold;font-size:13px}"
               ".dial{grid-column:2;align-self:center;margin:2px 6px;aspect-ratio:1;"
               "border:2px solid %1;border-radius:50%;position:relative}"
               ".dial>div{position:absolute;inset:19%;border:2px solid %1;border-radius:50%}"
               ".cap{margin:2px;background:%3;border:1px solid %2;border-radius:6px;display:flex;"
               "flex-direction:column;align-items:center;justify-content:center;font-size:18px}")
        .arg(paper.Key.Text.name(), paper.Key.Faint.name(), paper.Screen.Fill.name());
}

QString Html(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

// Where a place is on the grid, as a CSS grid area.
QString GridArea(const CellRect& place) {
    return QStringLiteral("grid-area:%1/%2/span %3/span %4")
        .arg(place.Row + 1)
        .arg(place.Column + 1)
        .arg(place.Rows)
        .arg(place.Columns);
}

// A binding's name and key text; sign is a knob binding's "− " or "+ ".
QString Binding(const SceneCell& cell, const char* sign) {
    QString html = QStringLiteral("<div class=\"n\">%1</div>").arg(Html(cell.Name));
    if (cell.KeyText.empty()) {
        return html +
               QStringLiteral("<div class=\"u\">%1\u2014</div>").arg(QString::fromUtf8(sign));
    }
    return html + QStringLiteral("<div class=\"b\">%1%2</div>")
                      .arg(QString::fromUtf8(sign), Html(cell.KeyText));
}

QString Key(const SceneCell& cell) {
    QString html = QStringLiteral("<div class=\"c\" style=\"%1\">").arg(GridArea(cell.Control));
    if (!cell.Label.empty()) {
        html += QStringLiteral("<div class=\"l\">%1</div>").arg(Html(cell.Label));
    }
    return html + Binding(cell, "") + QStringLiteral("</div>");
}

// A knob: its name, then per ring its decrement, the dial (spanning the rings), its increment.
QString Knob(const UnitScene& scene, std::span<const SceneCell> cells) {
    const SceneCell& first = cells.front();
    const SchematicControl& control = ControlOf(scene, first);
    const bool dual = control.Inner >= 0;
    const QString name = Html(KnobLabel(scene.Unit, control.Index, control.Inner));
    const KnobShape shape = ShapeOf(control);
    QString html = QStringLiteral(
                       "<div class=\"knob\" style=\"%1\"><div class=\"kn\">%2</div>"
                       "<div class=\"dial\" style=\"grid-row:2/span %3;width:%4px\">%5</div>")
                       .arg(GridArea(first.Control), name)
                       .arg(dual ? 2 : 1)
                       .arg(2 * shape.Radius * SchematicPainter::kCellWidth)
                       .arg(dual ? QStringLiteral("<div></div>") : QString());
    for (const SceneCell& cell : cells) {
        const bool incr = cell.Half == KnobHalf::Incr;
        html += QStringLiteral("<div class=\"c\" style=\"grid-column:%1;grid-row:%2\">%3</div>")
                    .arg(incr ? 3 : 1)
                    .arg(cell.Ring == KnobRing::Inner ? 3 : 2)
                    .arg(Binding(cell, incr ? "+ " : "\u2212 "));
    }
    return html + QStringLiteral("</div>");
}

QString UnitSection(UnitId unit, const SheetContent& content) {
    const UnitScene scene = BuildUnitScene(unit, *content.Units, *content.Layout);
    const UnitSchematic& schematic = *scene.Schematic;
    QString html = QStringLiteral("<section><h1>%1<span>%2</span></h1><p class=\"sub\">%3</p>")
                       .arg(SheetTitle(unit).toHtmlEscaped(), SheetSection(unit).toHtmlEscaped(),
                            SheetSubtitle(content).toHtmlEscaped());
    html += QStringLiteral(
                "<div class=\"unit\" style=\"grid-template-columns:repeat(%1,minmax(0,1fr));"
                "grid-template-rows:repeat(%2,minmax(%3px,auto))\">")
                .arg(schematic.Columns)
                .arg(schematic.Rows)
                .arg(SchematicPainter::kCellHeight);
    html += QStringLiteral("<div class=\"cap\" style=\"%1\"><b>%2</b>%3</div>")
                .arg(GridArea(schematic.Caption), SheetTitle(unit).toHtmlEscaped(),
                     SheetSection(unit).toHtmlEscaped());
    for (std::size_t i = 0; i < scene.Cells.size();) {
        const SceneCell& cell = scene.Cells[i];
        if (cell.Half == KnobHalf::None) {
            html += Key(cell);
            ++i;
            continue;
        }
        const std::span<const SceneCell> knob = ControlCells(scene, i);
        html += Knob(scene, knob);
        i += knob.size();
    }
    return html + QStringLiteral("</div></section>\n");
}

}  // namespace

SheetOutcome WriteSheetHtml(const QString& path, const SheetContent& content) {
    assert(content.Units != nullptr && content.Layout != nullptr &&
           "a sheet shows some unit state, its keys as a layout writes them");
    QString html = QStringLiteral(
                       "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                       "<title>Bindings</title><style>") +
                   Style() + QStringLiteral("</style></head><body>\n");
    const std::vector<UnitId> units = SheetUnits(*content.Units, *content.Layout);
    if (units.empty()) {
        html += QStringLiteral(
                    "<section><h1>No control is bound.</h1><p class=\"sub\">%1</p>"
                    "</section>\n")
                    .arg(SheetSubtitle(content).toHtmlEscaped());
    }
    for (const UnitId unit : units) {
        html += UnitSection(unit, content);
    }
    html += QStringLiteral("</body></html>\n");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit()) {
        return {false, QStringLiteral("%1: cannot write (%2)").arg(path, file.errorString())};
    }
    return {true, {}};
}

}  // namespace qel
