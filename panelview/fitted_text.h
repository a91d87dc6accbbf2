#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPaintDevice;

namespace qel {

// What the initials of shortened key text stand for: "S+ SHIFT, C+ CTRL, A+ ALT".
[[nodiscard]] QString ModifierLegend();

// Text laid out for a box: one or two lines in one font.
struct FittedText {
    QStringList Lines;
    QFont Font;
    bool Abbreviated = false;  // key text whose modifiers were abbreviated
    bool Elided = false;       // cut short: nothing else fitted
};

// How a text may be made to fit, and the sizes it is drawn at, in the painter's units.
struct TextFit {
    int Pixels = 14;          // the size it has where it fits
    int SmallestPixels = 12;  // never drawn smaller
    bool Bold = false;
    bool KeyText = false;  // may have its modifiers abbreviated
};

// Fits text into size without going below the smallest size: whole on one line if it can,
// else on two lines broken after a '+', '_', '/' or space, then smaller, then (key text) with
// its modifiers abbreviated; elided only when none of that fits. Measured for device.
[[nodiscard]] FittedText FitText(const QString& text, const QFont& base, const QSizeF& size,
                                 const TextFit& fit, const QPaintDevice* device);

// The height the fitted lines take.
[[nodiscard]] double FittedHeight(const FittedText& text, const QPaintDevice* device);

// Draws the lines centred in box as one block; horizontal alignment from flags.
void DrawFitted(QPainter& painter, const QRectF& box, const FittedText& text,
                Qt::Alignment horizontal = Qt::AlignHCenter);

}  // namespace qel
