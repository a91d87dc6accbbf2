#include "panelview/schematicpainter.h"

#include <algorithm>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace qel {
namespace {

struct Palette {
    QColor Face;    // behind the controls
    QColor Key;     // a control
    QColor KeyLit;  // a control held or a knob half flashing
    QColor Outline;
    QColor Name;
    QColor Binding;
    QColor Unbound;
    QColor Screen;
    QColor ScreenText;
    QColor Selected;
};

const Palette& PaletteOf(SchematicStyle style) {
    static const Palette screen{QColor(0x2b, 0x2d, 0x30), QColor(0x4a, 0x4d, 0x52),
                                QColor(0xff, 0xb3, 0x1a), QColor(0x1b, 0x1c, 0x1e),
                                QColor(0xc8, 0xcc, 0xd2), QColor(0xff, 0xff, 0xff),
                                QColor(0x8a, 0x8f, 0x96), QColor(0x0c, 0x1a, 0x2a),
                                QColor(0x9f, 0xd4, 0xff), QColor(0x3d, 0xa5, 0xff)};
    static const Palette paper{Qt::white,
                               Qt::white,
                               Qt::white,
                               Qt::black,
                               QColor(0x40, 0x40, 0x40),
                               Qt::black,
                               QColor(0x90, 0x90, 0x90),
                               QColor(0xf2, 0xf2, 0xf2),
                               Qt::black,
                               Qt::black};
    return style == SchematicStyle::Paper ? paper : screen;
}

constexpr double kGap = 3;      // between neighbouring controls
constexpr double kPadding = 4;  // text inside a control
constexpr int kNamePixels = 11;
constexpr int kKeyPixels = 14;
constexpr int kSmallestPixels = 4;
constexpr double kNameShare = 0.42;  // of a control's height, for its name

QRectF CellsToLogical(double column, double row, double columns, double rows) {
    return {column * SchematicPainter::kCellWidth, row * SchematicPainter::kCellHeight,
            columns * SchematicPainter::kCellWidth, rows * SchematicPainter::kCellHeight};
}

// Draws text in rect, shrinking the font until it fits rather than cutting it: a printed
// sheet must show every key text whole.
void DrawFitted(QPainter& painter, const QRectF& rect, const QString& text, int pixels, bool bold,
                int flags = Qt::AlignCenter) {
    QFont font = painter.font();
    font.setBold(bold);
    font.setPixelSize(pixels);
    while (pixels > kSmallestPixels &&
           QFontMetricsF(font, painter.device()).horizontalAdvance(text) > rect.width()) {
        font.setPixelSize(--pixels);
    }
    painter.setFont(font);
    painter.drawText(rect, flags | Qt::TextSingleLine, text);
}

QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}

void PaintControlFrame(QPainter& painter, const QRectF& box, const Palette& colours) {
    painter.setPen(QPen(colours.Outline, 1.2));
    painter.setBrush(colours.Key);
    painter.drawRoundedRect(box, 6, 6);
}

// A knob: its name across the top, the decrement half left and the increment half right.
void PaintKnob(QPainter& painter, const SceneCell& decr, const SceneCell* incr,
               const Palette& colours, std::optional<int> selected) {
    const QRectF box = CellsToLogical(decr.Control.Column, decr.Control.Row, decr.Control.Columns,
                                      decr.Control.Rows)
                           .adjusted(kGap, kGap, -kGap, -kGap);
    PaintControlFrame(painter, box, colours);
    const double nameHeight = box.height() * kNameShare;
    const QRectF lower(box.left(), box.top() + nameHeight, box.width(), box.height() - nameHeight);
    const QRectF halves[2]{
        QRectF(lower.left(), lower.top(), lower.width() / 2, lower.height()),
        QRectF(lower.center().x(), lower.top(), lower.width() / 2, lower.height())};
    const SceneCell* cells[2]{&decr, incr};
    const char* signs[2]{"\u2212 ", "+ "};
    for (int i = 0; i < 2; ++i) {
        const SceneCell* cell = cells[i];
        if (cell == nullptr) {
            continue;
        }
        const QRectF half = halves[i].adjusted(2, 0, -2, -2);
        if (cell->Lit) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colours.KeyLit);
            painter.drawRoundedRect(half, 4, 4);
        }
        if (selected == cell->Slot) {
            painter.setPen(QPen(colours.Selected, 2.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(half, 4, 4);
        }
        QString text = QString::fromUtf8(signs[i]) +
                       (cell->KeyText.empty() ? QStringLiteral("\u2014") : Qs(cell->KeyText));
        if (cell->Lit && cell->Steps > 1) {
            text += QStringLiteral(" \u00d7%1").arg(cell->Steps);
        }
        painter.setPen(cell->KeyText.empty() ? colours.Unbound : colours.Binding);
        DrawFitted(painter, half.adjusted(kPadding / 2, 0, -kPadding / 2, 0), text, kKeyPixels - 2,
                   !cell->KeyText.empty());
    }
    painter.setPen(QPen(colours.Outline, 1));
    painter.drawLine(QPointF(lower.center().x(), lower.top() + 2),
                     QPointF(lower.center().x(), lower.bottom() - 4));
    painter.setPen(colours.Name);
    DrawFitted(painter,
               QRectF(box.left() + kPadding, box.top(), box.width() - 2 * kPadding, nameHeight),
               Qs(decr.Name), kNamePixels, false);
}

// A button, joystick direction or push: its name above its key text.
void PaintButton(QPainter& painter, const SceneCell& cell, const Palette& colours,
                 std::optional<int> selected) {
    const QRectF box = CellsToLogical(cell.Control.Column, cell.Control.Row, cell.Control.Columns,
                                      cell.Control.Rows)
                           .adjusted(kGap, kGap, -kGap, -kGap);
    PaintControlFrame(painter, box, colours);
    if (cell.Lit) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours.KeyLit);
        painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), 5, 5);
    }
    if (selected == cell.Slot) {
        painter.setPen(QPen(colours.Selected, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 6, 6);
    }
    const double nameHeight = box.height() * kNameShare;
    const QRectF inner = box.adjusted(kPadding, 0, -kPadding, 0);
    painter.setPen(cell.Lit ? colours.Outline : colours.Name);
    DrawFitted(painter, QRectF(inner.left(), inner.top(), inner.width(), nameHeight), Qs(cell.Name),
               kNamePixels, false);
    painter.setPen(cell.KeyText.empty() ? colours.Unbound
                                        : (cell.Lit ? colours.Outline : colours.Binding));
    DrawFitted(painter,
               QRectF(inner.left(), inner.top() + nameHeight, inner.width(),
                      inner.height() - nameHeight - 2),
               cell.KeyText.empty() ? QStringLiteral("\u2014") : Qs(cell.KeyText), kKeyPixels,
               !cell.KeyText.empty());
}

void PaintCaption(QPainter& painter, const UnitSchematic& schematic,
                  const SchematicCaption& caption, const Palette& colours) {
    const CellRect& at = schematic.Caption;
    const QRectF area =
        CellsToLogical(at.Column, at.Row, at.Columns, at.Rows).adjusted(kGap, kGap, -kGap, -kGap);
    painter.setPen(QPen(colours.Outline, 1.2));
    painter.setBrush(colours.Screen);
    painter.drawRoundedRect(area, 4, 4);
    painter.setPen(colours.ScreenText);
    // A tall area (the bezel's screen) centres its lines; a strip puts them side by side.
    if (at.Rows > 1) {
        const QRectF titleBox(area.left() + kPadding,
                              area.center().y() - 2 * SchematicPainter::kCellHeight / 2,
                              area.width() - 2 * kPadding, SchematicPainter::kCellHeight);
        DrawFitted(painter, titleBox, caption.Title, 22, true);
        DrawFitted(painter, titleBox.translated(0, SchematicPainter::kCellHeight), caption.Detail,
                   13, false);
    } else {
        const QRectF inner = area.adjusted(2 * kPadding, 0, -2 * kPadding, 0);
        DrawFitted(painter, QRectF(inner.left(), inner.top(), inner.width() / 2, inner.height()),
                   caption.Title, 16, true, Qt::AlignLeft | Qt::AlignVCenter);
        DrawFitted(painter,
                   QRectF(inner.center().x(), inner.top(), inner.width() / 2, inner.height()),
                   caption.Detail, 12, false, Qt::AlignRight | Qt::AlignVCenter);
    }
}

}  // namespace

QTransform SchematicPainter::CellTransform(const UnitSchematic& schematic, const QRectF& target) {
    const double width = schematic.Columns * kCellWidth;
    const double height = schematic.Rows * kCellHeight;
    if (width <= 0 || height <= 0 || target.isEmpty()) {
        return {};
    }
    const double scale = std::min(target.width() / width, target.height() / height);
    QTransform transform;
    transform.translate(target.left() + (target.width() - width * scale) / 2,
                        target.top() + (target.height() - height * scale) / 2);
    transform.scale(scale, scale);
    return transform;
}

void SchematicPainter::Paint(QPainter& painter, const QRectF& target, const UnitScene& scene,
                             const SchematicCaption& caption, SchematicStyle style, bool greyed,
                             std::optional<int> selectedSlot) {
    if (scene.Schematic == nullptr) {
        return;
    }
    const Palette& colours = PaletteOf(style);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(CellTransform(*scene.Schematic, target), true);
    if (greyed) {
        painter.setOpacity(0.45);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.Face);
    painter.drawRoundedRect(CellsToLogical(0, 0, scene.Schematic->Columns, scene.Schematic->Rows),
                            10, 10);
    PaintCaption(painter, *scene.Schematic, caption, colours);
    for (std::size_t i = 0; i < scene.Cells.size(); ++i) {
        const SceneCell& cell = scene.Cells[i];
        switch (cell.Half) {
            case KnobHalf::None:
                PaintButton(painter, cell, colours, selectedSlot);
                break;
            case KnobHalf::Decr: {
                // The increment half follows its decrement half in every scene.
                const SceneCell* incr =
                    i + 1 < scene.Cells.size() && scene.Cells[i + 1].Half == KnobHalf::Incr
                        ? &scene.Cells[i + 1]
                        : nullptr;
                PaintKnob(painter, cell, incr, colours, selectedSlot);
                break;
            }
            case KnobHalf::Incr:
                break;
        }
    }
    painter.restore();
}

QRectF SchematicPainter::BindingRect(const UnitScene& scene, const QRectF& target, int slot) {
    const SceneCell* cell = scene.CellOf(slot);
    if (cell == nullptr) {
        return {};
    }
    const CellArea area = AreaOf(*cell);
    return CellTransform(*scene.Schematic, target)
        .mapRect(CellsToLogical(area.Left, area.Top, area.Width, area.Height));
}

std::optional<int> SchematicPainter::SlotAt(const UnitScene& scene, const QRectF& target,
                                            QPointF point) {
    if (scene.Schematic == nullptr) {
        return std::nullopt;
    }
    bool invertible = false;
    const QTransform toCells = CellTransform(*scene.Schematic, target).inverted(&invertible);
    if (!invertible) {
        return std::nullopt;
    }
    const QPointF logical = toCells.map(point);
    const SceneCell* cell = CellAt(scene, logical.x() / kCellWidth, logical.y() / kCellHeight);
    return cell != nullptr ? std::optional<int>(cell->Slot) : std::nullopt;
}

}  // namespace qel
