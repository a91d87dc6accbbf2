#include <cassert>

#include <QSaveFile>

#include "panelview/bindingsheet.h"
#include "panelview/schematicpainter.h"
#include "panelview/schematicscene.h"

namespace qel {
namespace {

// One cell of the schematic in CSS pixels: the printed drawing's proportions.
constexpr double kCellWidth = SchematicPainter::kCellWidth * 0.9;
constexpr double kCellHeight = SchematicPainter::kCellHeight * 0.9;

constexpr char kStyle[] =
    "body{font-family:sans-serif;margin:24px;color:#000}"
    "section{page-break-after:always;margin-bottom:32px}"
    "h1{font-size:20px;margin:0}p.sub{margin:4px 0 12px;font-size:12px}"
    ".unit{position:relative;border:1px solid #999;border-radius:8px}"
    ".c{position:absolute;box-sizing:border-box;border:1px solid #000;border-radius:5px;"
    "text-align:center;overflow:hidden;font-size:10px;padding:2px}"
    ".n{color:#444;white-space:nowrap}.k{font-weight:bold;font-size:12px;white-space:nowrap}"
    ".u{color:#999}.h{display:flex}.h>div{flex:1}"
    ".cap{position:absolute;box-sizing:border-box;background:#f2f2f2;border:1px solid #999;"
    "border-radius:4px;display:flex;align-items:center;justify-content:center;"
    "font-weight:bold;font-size:18px}";

QString Html(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString Box(const CellRect& place, const char* cssClass) {
    return QStringLiteral("<div class=\"%1\" style=\"left:%2px;top:%3px;width:%4px;height:%5px\">")
        .arg(QString::fromLatin1(cssClass))
        .arg(place.Column * kCellWidth + 2)
        .arg(place.Row * kCellHeight + 2)
        .arg(place.Columns * kCellWidth - 4)
        .arg(place.Rows * kCellHeight - 4);
}

QString KeyText(const SceneCell& cell, const char* sign) {
    if (cell.KeyText.empty()) {
        return QStringLiteral("<span class=\"u\">%1\u2014</span>").arg(QString::fromUtf8(sign));
    }
    return QString::fromUtf8(sign) + Html(cell.KeyText);
}

QString UnitSection(int deviceIndex, const SheetContent& content) {
    const UnitScene scene = BuildUnitScene(deviceIndex, *content.Units, *content.Layout);
    QString html =
        QStringLiteral("<section><h1>%1</h1><p class=\"sub\">%2</p>")
            .arg(SheetTitle(deviceIndex).toHtmlEscaped(), SheetSubtitle(content).toHtmlEscaped());
    html += QStringLiteral("<div class=\"unit\" style=\"width:%1px;height:%2px\">")
                .arg(scene.Schematic->Columns * kCellWidth)
                .arg(scene.Schematic->Rows * kCellHeight);
    html += Box(scene.Schematic->Caption, "cap") + SheetTitle(deviceIndex).toHtmlEscaped() +
            QStringLiteral("</div>");
    for (std::size_t i = 0; i < scene.Cells.size(); ++i) {
        const SceneCell& cell = scene.Cells[i];
        html += Box(cell.Control, "c");
        html += QStringLiteral("<div class=\"n\">%1</div>").arg(Html(cell.Name));
        if (cell.Half == KnobHalf::Decr && i + 1 < scene.Cells.size()) {
            // A knob: the increment half follows its decrement half.
            html += QStringLiteral("<div class=\"h k\"><div>%1</div><div>%2</div></div>")
                        .arg(KeyText(cell, "\u2212 "), KeyText(scene.Cells[++i], "+ "));
        } else {
            html += QStringLiteral("<div class=\"k\">%1</div>").arg(KeyText(cell, ""));
        }
        html += QStringLiteral("</div>");
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
                   QString::fromLatin1(kStyle) + QStringLiteral("</style></head><body>\n");
    const std::vector<int> units = SheetUnits(*content.Units, *content.Layout);
    if (units.empty()) {
        html += QStringLiteral(
                    "<section><h1>No control is bound.</h1><p class=\"sub\">%1</p>"
                    "</section>\n")
                    .arg(SheetSubtitle(content).toHtmlEscaped());
    }
    for (const int deviceIndex : units) {
        html += UnitSection(deviceIndex, content);
    }
    html += QStringLiteral("</body></html>\n");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit()) {
        return {false, QStringLiteral("%1: cannot write (%2)").arg(path, file.errorString())};
    }
    return {true, {}};
}

}  // namespace qel
