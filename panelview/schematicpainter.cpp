#include "panelview/schematicpainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include "panelview/fitted_text.h"
#include "panelview/printed_labels.h"

namespace qel {
namespace {

constexpr double kGap = 2.5;       // between neighbouring controls
constexpr double kPadding = 3;     // text inside a control
constexpr double kSignWidth = 14;  // the − or + of a knob binding, on the knob's side
constexpr int kKnobGrips = 24;     // ridges round a knob's edge

constexpr TextFit kLabelFit{13, SchematicPainter::kSmallestPixels, false, false};
constexpr TextFit kNameFit{12, SchematicPainter::kSmallestPixels, false, false};
constexpr TextFit kKeyFit{14, SchematicPainter::kSmallestPixels, true, true};
constexpr TextFit kKnobNameFit{13, SchematicPainter::kSmallestPixels, true, false};
constexpr TextFit kCountFit{12, SchematicPainter::kSmallestPixels, true, false};
constexpr TextFit kTitleFit{24, SchematicPainter::kSmallestPixels, true, false};
constexpr TextFit kDetailFit{14, SchematicPainter::kSmallestPixels, false, false};

// One painting: where it goes, in which colours, and what it had to shorten.
struct Canvas {
    QPainter& Painter;
    const SchematicPalette& Colours;
    SchematicStyle Style;
    UnitId Unit;
    std::optional<int> Selected;
    bool Abbreviated = false;

    FittedText Fit(const QString& text, const QSizeF& size, const TextFit& fit) {
        FittedText fitted = FitText(text, Painter.font(), size, fit, Painter.device());
        Abbreviated |= fitted.Abbreviated;
        return fitted;
    }
    void Draw(const QRectF& box, const FittedText& text, const QColor& ink,
              Qt::Alignment horizontal = Qt::AlignHCenter) {
        Painter.setPen(ink);
        DrawFitted(Painter, box, text, horizontal);
    }
};

QRectF Logical(const CellArea& area) {
    return {area.Left * SchematicPainter::kCellWidth, area.Top * SchematicPainter::kCellHeight,
            area.Width * SchematicPainter::kCellWidth, area.Height * SchematicPainter::kCellHeight};
}

QRectF Logical(const CellRect& place) {
    return Logical(CellArea{static_cast<double>(place.Column), static_cast<double>(place.Row),
                            static_cast<double>(place.Columns), static_cast<double>(place.Rows)});
}

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PaintSurface(Canvas& canvas, const QRectF& box, const QColor& fill, double radius) {
    canvas.Painter.setPen(QPen(canvas.Colours.Outline, 1.2));
    canvas.Painter.setBrush(fill);
    canvas.Painter.drawRoundedRect(box, radius, radius);
}

void PaintSelection(Canvas& canvas, const SceneCell& cell, const QRectF& box) {
    if (canvas.Selected != cell.Slot) {
        return;
    }
    canvas.Painter.setPen(QPen(canvas.Colours.Selected, 2.5));
    canvas.Painter.setBrush(Qt::NoBrush);
    canvas.Painter.drawRoundedRect(box.adjusted(-1, -1, 1, 1), 6, 6);
}

// A heading (the printed label, or on paper the keymap.ini name) over the key text, centred
// together.
void PaintBindingText(Canvas& canvas, const QRectF& inner, const QString& heading,
                      const TextFit& headingFit, const SceneCell& cell, const TextColours& ink) {
    const bool unbound = cell.KeyText.empty();
    const QString keyText = unbound ? QStringLiteral("\u2014") : Qs(cell.KeyText);
    const double keyLine = kKeyFit.Pixels * 1.2;
    FittedText top;
    double topHeight = 0;
    FittedText key;
    // The heading gives way first: at its smallest size it may leave the key text room for
    // the second line that spares it being shortened. With no heading, or one already at its
    // smallest, a second try would come out the same.
    for (const int headingPixels : {headingFit.Pixels, headingFit.SmallestPixels}) {
        if (!heading.isEmpty()) {
            TextFit fit = headingFit;
            fit.Pixels = headingPixels;
            top = FitText(heading, canvas.Painter.font(),
                          {inner.width(), std::max(inner.height() - keyLine, 1.0)}, fit,
                          canvas.Painter.device());
            topHeight = FittedHeight(top, canvas.Painter.device());
        }
        key = FitText(keyText, canvas.Painter.font(), {inner.width(), inner.height() - topHeight},
                      kKeyFit, canvas.Painter.device());
        const bool headingMayShrink =
            !heading.isEmpty() && headingPixels != headingFit.SmallestPixels;
        if ((!key.Abbreviated && !key.Elided) || !headingMayShrink) {
            break;
        }
    }
    canvas.Abbreviated |= key.Abbreviated;
    const double keyHeight = FittedHeight(key, canvas.Painter.device());
    const double start = inner.center().y() - (topHeight + keyHeight) / 2;
    if (topHeight > 0) {
        canvas.Draw(QRectF(inner.left(), start, inner.width(), topHeight), top, ink.Faint);
    }
    canvas.Draw(QRectF(inner.left(), start + topHeight, inner.width(), keyHeight), key,
                unbound ? ink.Faint : ink.Text);
}

// On screen a control shows what is printed on it; on paper its keymap.ini name.
QString Heading(const Canvas& canvas, const SceneCell& cell) {
    return canvas.Style == SchematicStyle::Paper ? Qs(cell.Name) : Qs(cell.Label);
}

const TextColours& InkOf(const Canvas& canvas, const SceneCell& cell) {
    return cell.Lit ? canvas.Colours.Lit : canvas.Colours.Key;
}

// A binding's surface, lit or not, with the selection over it; the box its text goes in.
QRectF PaintBindingSurface(Canvas& canvas, const SceneCell& cell) {
    const QRectF box = Logical(AreaOf(cell)).adjusted(kGap, kGap, -kGap, -kGap);
    PaintSurface(canvas, box, InkOf(canvas, cell).Fill, 6);
    PaintSelection(canvas, cell, box);
    return box;
}

// A key, a joystick direction or the joystick's push.
void PaintKey(Canvas& canvas, const SceneCell& cell) {
    const QRectF box = PaintBindingSurface(canvas, cell);
    const TextColours& ink = InkOf(canvas, cell);
    const bool paper = canvas.Style == SchematicStyle::Paper;
    PaintBindingText(canvas, box.adjusted(kPadding, kPadding / 2, -kPadding, -kPadding / 2),
                     Heading(canvas, cell), paper ? kNameFit : kLabelFit, cell, ink);
}

void PaintSign(QPainter& painter, QPointF centre, bool plus, const QColor& ink) {
    constexpr double kArm = 4;
    painter.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(centre - QPointF(kArm, 0), centre + QPointF(kArm, 0));
    if (plus) {
        painter.drawLine(centre - QPointF(0, kArm), centre + QPointF(0, kArm));
    }
}

// One way of turning one ring: its sign on the knob's side, its key text (on paper with the
// ring's keymap.ini name over it).
void PaintKnobBinding(Canvas& canvas, const SceneCell& cell) {
    const QRectF box = PaintBindingSurface(canvas, cell);
    const TextColours& ink = InkOf(canvas, cell);
    const bool incr = cell.Half == KnobHalf::Incr;
    const double signX = incr ? box.left() + kSignWidth / 2 : box.right() - kSignWidth / 2;
    PaintSign(canvas.Painter, QPointF(signX, box.center().y()), incr, ink.Text);
    const QRectF inner = incr ? box.adjusted(kSignWidth, kPadding / 2, -kPadding, -kPadding / 2)
                              : box.adjusted(kPadding, kPadding / 2, -kSignWidth, -kPadding / 2);
    const QString heading = canvas.Style == SchematicStyle::Paper ? Qs(cell.Name) : QString();
    PaintBindingText(canvas, inner, heading, kNameFit, cell, ink);
}

// Half a disc or half a ring, on the side a ring is turned towards.
QPainterPath HalfOf(QPointF centre, double radius, double innerRadius, bool right) {
    QPainterPath half;
    half.moveTo(centre);
    half.arcTo(QRectF(centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)),
               right ? -90 : 90, 180);
    half.closeSubpath();
    if (innerRadius > 0) {
        QPainterPath hole;
        hole.addEllipse(centre, innerRadius, innerRadius);
        half = half.subtracted(hole);
    }
    return half;
}

void PaintDisc(QPainter& painter, QPointF centre, double radius, const QColor& fill,
               const QColor& edge) {
    painter.setPen(QPen(edge, 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

// The knob itself, with the half of the ring being turned lit and its steps counted on it.
void PaintKnobBody(Canvas& canvas, const KnobShape& shape, std::span<const SceneCell> cells) {
    QPainter& painter = canvas.Painter;
    const QPointF centre(shape.CentreColumn * SchematicPainter::kCellWidth,
                         shape.CentreRow * SchematicPainter::kCellHeight);
    const double radius = shape.Radius * SchematicPainter::kCellWidth;
    const double inner = shape.InnerRadius * SchematicPainter::kCellWidth;
    PaintDisc(painter, centre, radius, canvas.Colours.Knob, canvas.Colours.KnobEdge);
    painter.setPen(QPen(canvas.Colours.KnobEdge, 1));
    for (int i = 0; i < kKnobGrips; ++i) {
        const double angle = 2 * std::numbers::pi * i / kKnobGrips;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(centre + direction * (radius - 4), centre + direction * radius);
    }
    if (inner > 0) {
        PaintDisc(painter, centre, inner, canvas.Colours.InnerKnob, canvas.Colours.KnobEdge);
    }
    int steps = 0;
    for (const SceneCell& cell : cells) {
        if (!cell.Lit) {
            continue;
        }
        const bool innerRing = cell.Ring == KnobRing::Inner;
        painter.setPen(Qt::NoPen);
        painter.setBrush(canvas.Colours.Lit.Fill);
        painter.drawPath(HalfOf(centre, innerRing ? inner : radius,
                                cell.Ring == KnobRing::Outer ? inner : 0,
                                cell.Half == KnobHalf::Incr));
        steps = std::max(steps, cell.Steps);
    }
    if (steps > 1) {
        const TextColours& ink = canvas.Colours.Key;
        const FittedText count =
            canvas.Fit(QStringLiteral("\u00d7%1").arg(steps), {4 * radius, 2 * radius}, kCountFit);
        const QFontMetricsF metrics(count.Font, painter.device());
        const QSizeF size(metrics.horizontalAdvance(count.Lines.value(0)) + 2 * kPadding,
                          metrics.lineSpacing());
        const QRectF badge(centre - QPointF(size.width() / 2, size.height() / 2), size);
        PaintSurface(canvas, badge, ink.Fill, 4);
        canvas.Draw(badge, count, ink.Text);
    }
}

// A knob: its printed name, the knob, and a binding on each side of it per ring.
void PaintKnob(Canvas& canvas, const UnitSchematic& schematic, const SchematicControl& control,
               std::span<const SceneCell> cells) {
    const QString name =
        QString::fromStdString(KnobLabel(canvas.Unit, control.Index, control.Inner));
    const QRectF nameBox = Logical(NameAreaOf(schematic, control)).adjusted(kGap, 0, -kGap, 0);
    canvas.Draw(nameBox, canvas.Fit(name, nameBox.size(), kKnobNameFit), canvas.Colours.Face.Text,
                Qt::AlignLeft);
    for (const SceneCell& cell : cells) {
        PaintKnobBinding(canvas, cell);
    }
    PaintKnobBody(canvas, ShapeOf(control), cells);
}

void PaintCaption(Canvas& canvas, const UnitSchematic& schematic, const SchematicCaption& caption) {
    const QRectF area = Logical(schematic.Caption).adjusted(kGap, kGap, -kGap, -kGap);
    const TextColours& ink = canvas.Colours.Screen;
    PaintSurface(canvas, area, ink.Fill, 6);
    const QRectF inner = area.adjusted(4 * kPadding, kPadding, -4 * kPadding, -kPadding);
    const FittedText title = canvas.Fit(caption.Title, inner.size(), kTitleFit);
    const FittedText detail = canvas.Fit(caption.Detail, inner.size(), kDetailFit);
    const double titleHeight = FittedHeight(title, canvas.Painter.device());
    const double detailHeight = FittedHeight(detail, canvas.Painter.device());
    // A screen stacks the lines in its middle; a strip puts them side by side.
    if (titleHeight + detailHeight * 2 <= inner.height()) {
        const double top = inner.center().y() - (titleHeight + detailHeight * 2) / 2;
        canvas.Draw(QRectF(inner.left(), top, inner.width(), titleHeight), title, ink.Text);
        canvas.Draw(
            QRectF(inner.left(), top + titleHeight + detailHeight, inner.width(), detailHeight),
            detail, ink.Faint);
        return;
    }
    const double half = inner.width() / 2;
    canvas.Draw(QRectF(inner.left(), inner.top(), half, inner.height()),
                canvas.Fit(caption.Title, {half, inner.height()}, kTitleFit), ink.Text,
                Qt::AlignLeft);
    canvas.Draw(QRectF(inner.center().x(), inner.top(), half, inner.height()),
                canvas.Fit(caption.Detail, {half, inner.height()}, kDetailFit), ink.Faint,
                Qt::AlignRight);
}

}  // namespace

QSizeF SchematicPainter::LogicalSize(const UnitSchematic& schematic) {
    return {schematic.Columns * kCellWidth, schematic.Rows * kCellHeight};
}

QTransform SchematicPainter::CellTransform(const UnitSchematic& schematic, const QRectF& target) {
    const QSizeF size = LogicalSize(schematic);
    if (size.isEmpty() || target.isEmpty()) {
        return {};
    }
    const double scale = std::min(target.width() / size.width(), target.height() / size.height());
    QTransform transform;
    transform.translate(target.left() + (target.width() - size.width() * scale) / 2,
                        target.top() + (target.height() - size.height() * scale) / 2);
    transform.scale(scale, scale);
    return transform;
}

bool SchematicPainter::Paint(QPainter& painter, const QRectF& target, const UnitScene& scene,
                             const SchematicCaption& caption, SchematicStyle style, bool greyed,
                             std::optional<int> selectedSlot) {
    if (scene.Schematic == nullptr) {
        return false;
    }
    Canvas canvas{painter, PaletteOf(style, greyed), style, scene.Unit, selectedSlot};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(CellTransform(*scene.Schematic, target), true);
    painter.setPen(QPen(canvas.Colours.Outline, 1.5));
    painter.setBrush(canvas.Colours.Face.Fill);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), LogicalSize(*scene.Schematic)), 12, 12);
    PaintCaption(canvas, *scene.Schematic, caption);
    for (std::size_t i = 0; i < scene.Cells.size();) {
        const SceneCell& cell = scene.Cells[i];
        if (cell.Half == KnobHalf::None) {
            PaintKey(canvas, cell);
            ++i;
            continue;
        }
        const std::span<const SceneCell> knob = ControlCells(scene, i);
        PaintKnob(canvas, *scene.Schematic, ControlOf(scene, cell), knob);
        i += knob.size();
    }
    painter.restore();
    return canvas.Abbreviated;
}

QRectF SchematicPainter::BindingRect(const UnitScene& scene, const QRectF& target, int slot) {
    const SceneCell* cell = scene.CellOf(slot);
    if (cell == nullptr) {
        return {};
    }
    return CellTransform(*scene.Schematic, target).mapRect(Logical(AreaOf(*cell)));
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
