#include "panelview/bindingsheet.h"

#include <QLocale>

#include "core/hidhook.h"
#include "panelview/schematicscene.h"
#include "translate/catalogue.h"
#include "translate/units.h"

namespace qel {

QPageSize LocalePageSize(const QLocale& locale) {
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                             : QPageSize::A4);
}

std::vector<int> SheetUnits(const UnitStates& units, const KeyLayout& layout) {
    std::vector<int> shown;
    for (int deviceIndex = 0; deviceIndex < kDeviceCount; ++deviceIndex) {
        if (BuildUnitScene(deviceIndex, units, layout).AnyBound()) {
            shown.push_back(deviceIndex);
        }
    }
    return shown;
}

QString SheetTitle(int deviceIndex) {
    // The status line's idle caption, without its colon.
    std::string_view caption = IdleCaption(deviceIndex);
    if (caption.ends_with(':')) {
        caption.remove_suffix(1);
    }
    return QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
}

QString SheetSection(int deviceIndex) {
    if (deviceIndex < 0 || deviceIndex >= kDeviceCount) {
        return {};
    }
    const std::string_view section = kSectionNames[static_cast<std::size_t>(deviceIndex)];
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()));
}

QString SheetSubtitle(const SheetContent& content, bool abbreviated) {
    QString subtitle = QStringLiteral("Key map: %1    Printed: %2")
                           .arg(content.KeyMapPath, content.Date.toString(Qt::ISODate));
    if (abbreviated) {
        subtitle += QStringLiteral("    S+ SHIFT, C+ CTRL, A+ ALT");
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
