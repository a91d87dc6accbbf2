#include <cassert>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "panelview/bindingsheet.h"
#include "panelview/schematicpainter.h"
#include "panelview/schematicscene.h"
#include "qel/version.h"

namespace qel {
namespace {

constexpr int kResolution = 600;  // dots per inch: fine lines, small files
constexpr double kMarginMm = 8;
// The heading in print sizes, kept short: the drawing fills the rest of the page, and the
// smaller the page leaves it, the smaller its text.
constexpr double kTitlePoints = 14;
constexpr double kSubtitlePoints = 9;
constexpr double kLineShare = 1.3;  // a line's height against its font size

QString CannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("%1: cannot write (%2)").arg(path, reason);
}

double Points(const QPainter& painter, double points) {
    return points * painter.device()->logicalDpiY() / 72.0;
}

double HeadingHeight(const QPainter& painter) {
    return Points(painter, (kTitlePoints + kSubtitlePoints) * kLineShare + kSubtitlePoints / 2);
}

// The heading of a page: the title in bold with the section beside it, the subtitle under them.
void PaintHeading(QPainter& painter, const QRectF& page, const QString& title,
                  const QString& section, const QString& subtitle) {
    const double titleHeight = Points(painter, kTitlePoints * kLineShare);
    QFont font = painter.font();
    font.setPointSizeF(kTitlePoints);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    QRectF titleBox(page.left(), page.top(), page.width(), titleHeight);
    painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, title);
    if (!section.isEmpty()) {
        titleBox.setLeft(
            titleBox.left() +
            QFontMetricsF(font, painter.device()).horizontalAdvance(title + QStringLiteral("  ")));
        font.setBold(false);
        painter.setFont(font);
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, section);
    }
    font.setPointSizeF(kSubtitlePoints);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(page.left(), page.top() + titleHeight, page.width(),
                            Points(painter, kSubtitlePoints * kLineShare)),
                     Qt::AlignLeft | Qt::AlignVCenter, subtitle);
}

}  // namespace

SheetOutcome WriteSheetPdf(const QString& path, const SheetContent& content) {
    assert(content.Units != nullptr && content.Layout != nullptr &&
           "a sheet shows some unit state, its keys as a layout writes them");
    // The old sheet stays whole until the new one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, CannotWrite(path, file.errorString())};
    }
    const std::vector<UnitId> units = SheetUnits(*content.Units, *content.Layout);
    {
        QPdfWriter writer(&file);
        writer.setPageSize(content.PageSize);
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        writer.setResolution(kResolution);
        writer.setTitle(QStringLiteral("Bindings"));
        writer.setCreator(QString::fromUtf8(kProductName));

        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return {false, CannotWrite(path, QStringLiteral("no PDF painter"))};
        }
        const QRectF page(0, 0, writer.width(), writer.height());
        if (units.empty()) {
            PaintHeading(painter, page, QStringLiteral("No control is bound."), {},
                         SheetSubtitle(content));
        }
        bool first = true;
        for (const UnitId unit : units) {
            if (!first) {
                writer.newPage();
            }
            first = false;
            // The drawing first: the subtitle explains the abbreviations it had to use.
            const QRectF below = page.adjusted(0, HeadingHeight(painter), 0, 0);
            const bool abbreviated = SchematicPainter::Paint(
                painter, below, BuildUnitScene(unit, *content.Units, *content.Layout),
                {SheetTitle(unit), SheetSection(unit)}, SchematicStyle::Paper);
            PaintHeading(painter, page, SheetTitle(unit), SheetSection(unit),
                         SheetSubtitle(content, abbreviated));
        }
        painter.end();
    }
    if (!file.commit()) {
        return {false, CannotWrite(path, file.errorString())};
    }
    return {true, {}};
}

}  // namespace qel
