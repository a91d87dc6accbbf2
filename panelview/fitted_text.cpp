#include "panelview/fitted_text.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QFontMetricsF>
#include <QPainter>

namespace qel {
namespace {

struct Modifier {
    const char* Full;
    const char* Short;
};
// In the order key text writes them.
constexpr std::array<Modifier, 3> kModifiers{{{"SHIFT+", "S+"}, {"CTRL+", "C+"}, {"ALT+", "A+"}}};

bool IsBreakAfter(QChar c) {
    return c == QLatin1Char('+') || c == QLatin1Char('_') || c == QLatin1Char('/') ||
           c == QLatin1Char(' ');
}

// The lines of text that fit width at font: itself, or the most even split in two.
std::optional<QStringList> Lines(const QString& text, const QFontMetricsF& metrics, double width,
                                 int maxLines) {
    if (metrics.horizontalAdvance(text) <= width) {
        return QStringList{text};
    }
    if (maxLines < 2) {
        return std::nullopt;
    }
    std::optional<QStringList> best;
    double bestWidth = width;
    for (qsizetype at = 1; at < text.size(); ++at) {
        if (!IsBreakAfter(text[at - 1])) {
            continue;
        }
        const QString first = text.left(at).trimmed();
        const QString second = text.mid(at).trimmed();
        const double widest =
            std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        if (widest <= bestWidth) {
            bestWidth = widest;
            best = QStringList{first, second};
        }
    }
    return best;
}

// Key text with its modifiers as their initials, for a narrow place: "S+C+A+PAGEDOWN" for
// "SHIFT+CTRL+ALT+PAGEDOWN". Any other text is returned as it is.
QString AbbreviateModifiers(const QString& keyText) {
    QString shortened;
    qsizetype at = 0;
    for (const Modifier& modifier : kModifiers) {
        const QLatin1String full(modifier.Full);
        if (keyText.mid(at).startsWith(full)) {
            shortened += QLatin1String(modifier.Short);
            at += full.size();
        }
    }
    return shortened + keyText.mid(at);
}

}  // namespace

QString ModifierLegend() {
    QStringList entries;
    for (const Modifier& modifier : kModifiers) {
        const QString full = QLatin1String(modifier.Full);
        entries.append(QLatin1String(modifier.Short) + QLatin1Char(' ') + full.chopped(1));
    }
    return entries.join(QStringLiteral(", "));
}

FittedText FitText(const QString& text, const QFont& base, const QSizeF& size, const TextFit& fit,
                   const QPaintDevice* device) {
    QFont font = base;
    font.setBold(fit.Bold);
    QStringList forms{text};
    if (fit.KeyText && AbbreviateModifiers(text) != text) {
        forms.append(AbbreviateModifiers(text));
    }
    for (qsizetype form = 0; form < forms.size(); ++form) {
        for (int pixels = fit.Pixels; pixels >= fit.SmallestPixels; --pixels) {
            font.setPixelSize(pixels);
            const QFontMetricsF metrics(font, device);
            const int maxLines =
                std::clamp(static_cast<int>(size.height() / metrics.lineSpacing()), 1, 2);
            if (const std::optional<QStringList> lines =
                    Lines(forms[form], metrics, size.width(), maxLines)) {
                return {*lines, font, form > 0, false};
            }
        }
    }
    // Nothing fits: the shortest form at the smallest size, cut at the end of its line.
    font.setPixelSize(fit.SmallestPixels);
    const QFontMetricsF metrics(font, device);
    return {{metrics.elidedText(forms.back(), Qt::ElideRight, size.width())},
            font,
            forms.size() > 1,
            true};
}

double FittedHeight(const FittedText& text, const QPaintDevice* device) {
    return QFontMetricsF(text.Font, device).lineSpacing() * static_cast<double>(text.Lines.size());
}

void DrawFitted(QPainter& painter, const QRectF& box, const FittedText& text,
                Qt::Alignment horizontal) {
    painter.setFont(text.Font);
    const double line = QFontMetricsF(text.Font, painter.device()).lineSpacing();
    double top = box.center().y() - line * static_cast<double>(text.Lines.size()) / 2;
    for (const QString& each : text.Lines) {
        painter.drawText(QRectF(box.left(), top, box.width(), line),
                         horizontal | Qt::AlignVCenter | Qt::TextSingleLine, each);
        top += line;
    }
}

}  // namespace qel
