#pragma once

#include <QDate>
#include <QPageSize>
#include <QString>

#include "translate/keylayout.h"
#include "translate/units.h"
#include "translate/unitstate.h"

class QLocale;

namespace qel {

// What a binding sheet shows: one page per unit that has any binding, each with the unit's
// schematic with keymap.ini names and key texts, its caption and keymap.ini section, the key map's
// path and the date.
struct SheetContent {
    const UnitStates* Units = nullptr;  // must not be null
    const KeyLayout* Layout = nullptr;  // what the key texts are written with; must not be null
    QString KeyMapPath;                 // as shown; "(none)" and the like when there is none
    QDate Date;
    QPageSize PageSize = QPageSize(QPageSize::A4);
};

struct SheetOutcome {
    bool Written = false;
    QString Problem;  // why not, naming the file: "/x/b.pdf: cannot write (Permission denied)"
};

// Letter where the locale measures in US units, A4 everywhere else.
[[nodiscard]] QPageSize LocalePageSize(const QLocale& locale);

// The units on the sheet, in order: those with any binding.
[[nodiscard]] std::vector<UnitId> SheetUnits(const UnitStates& units, const KeyLayout& layout);

// The sheet as a PDF (landscape pages of the content's page size) or as one plain HTML page,
// replacing path whole or leaving it untouched. Main thread (reads the unit state).
[[nodiscard]] SheetOutcome WriteSheetPdf(const QString& path, const SheetContent& content);
[[nodiscard]] SheetOutcome WriteSheetHtml(const QString& path, const SheetContent& content);
// HTML for a name ending in .html or .htm (any case), PDF for anything else.
[[nodiscard]] SheetOutcome WriteBindingSheet(const QString& path, const SheetContent& content);

// The page heading of a unit: its caption ("QEL1000-0") with its keymap.ini section beside
// it; empty for an id that names no unit.
[[nodiscard]] QString SheetTitle(UnitId unit);
[[nodiscard]] QString SheetSection(UnitId unit);
// The line under the heading; abbreviated: the page shortens some modifiers, and says how.
[[nodiscard]] QString SheetSubtitle(const SheetContent& content, bool abbreviated = false);

}  // namespace qel
