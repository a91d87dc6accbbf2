#include <cassert>

#include <QFont>
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
constexpr double kMarginMm = 12;

QString CannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("%1: cannot write (%2)").arg(path, reason);
}

// The heading of a page; returns the height it took.
double PaintHeading(QPainter& painter, const QRectF& page, const QString& title,
                    const QString& subtitle) {
    const double titleHeight = page.height() * 0.06;
    const double subtitleHeight = page.height() * 0.035;
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(titleHeight * 0.75));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPixelSize(static_cast<int>(subtitleHeight * 0.7));
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRectF(page.left(), page.top() + titleHeight, page.width(), subtitleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return titleHeight + subtitleHeight * 1.5;
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
    const std::vector<int> units = SheetUnits(*content.Units, *content.Layout);
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
            PaintHeading(painter, page, QStringLiteral("No control is bound."),
                         SheetSubtitle(content));
        }
        bool first = true;
        for (const int deviceIndex : units) {
            if (!first) {
                writer.newPage();
            }
            first = false;
            const double heading =
                PaintHeading(painter, page, SheetTitle(deviceIndex), SheetSubtitle(content));
            const QRectF below = page.adjusted(0, heading, 0, 0);
            SchematicPainter::Paint(painter, below,
                                    BuildUnitScene(deviceIndex, *content.Units, *content.Layout),
                                    {SheetTitle(deviceIndex), {}}, SchematicStyle::Paper);
        }
        painter.end();
    }
    if (!file.commit()) {
        return {false, CannotWrite(path, file.errorString())};
    }
    return {true, {}};
}

}  // namespace qel
