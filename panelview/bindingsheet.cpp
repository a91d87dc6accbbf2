#include "panelview/bindingsheet.h"

#include <QLocale>

#include "panelview/fitted_text.h"
#include "panelview/schematicscene.h"
#include "translate/units.h"

namespace qel {

QPageSize LocalePageSize(const QLocale& locale) {
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                             : QPageSize::A4);
}

std::vector<UnitId> SheetUnits(const UnitStates& units, const KeyLayout& layout) {
    std::vector<UnitId> shown;
    for (const UnitNames& unit : kUnits) {
        if (BuildUnitScene(unit.Id, units, layout).AnyBound()) {
            shown.push_back(unit.Id);
        }
    }
    return shown;
}

QString SheetTitle(UnitId unit) {
    if (!unit.IsValid()) {
        return {};
    }
    // The status line's idle caption, without its colon.
    std::string_view caption = NamesOf(unit).IdleCaption;
    if (caption.ends_with(':')) {
        caption.remove_suffix(1);
    }
    return QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
}

QString SheetSection(UnitId unit) {
    if (!unit.IsValid()) {
        return {};
    }
    const std::string_view section = NamesOf(unit).Section;
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()));
}

QString SheetSubtitle(const SheetContent& content, bool abbreviated) {
    QString subtitle = QStringLiteral("Key map: %1    Printed: %2")
                           .arg(content.KeyMapPath, content.Date.toString(Qt::ISODate));
    if (abbreviated) {
        subtitle += QStringLiteral("    ") + ModifierLegend();
    }
    return subtitle;
}

SheetOutcome WriteBindingSheet(const QString& path, const SheetContent& content) {
    if (path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive)) {
        return WriteSheetHtml(path, content);
    }
    return WriteSheetPdf(path, content);
}

}  // namespace qel
