#pragma once

#include <optional>

#include <QWidget>

#include "panelview/link_commands.h"
#include "panelview/panelactivity.h"
#include "panelview/schematicpainter.h"
#include "panelview/schematicscene.h"
#include "translate/keylayout.h"
#include "translate/units.h"
#include "translate/unitstate.h"

namespace qel {

// One unit's schematic, live: bindings from the unit state, lit controls from the activity.
// A click on a binding emits BindingClicked; hovering shows its keymap.ini name and its whole
// key text. Repaints only when told (update()), so the owner decides how often. Main thread
// only; units, layout, activity and commands must outlive it.
class TSchematicWidget final : public QWidget {
    Q_OBJECT

public:
    // commands are a simulator link's, shown in place of the key texts of the controls that
    // send one while a link is set.
    TSchematicWidget(const UnitStates& units, const KeyLayout& layout,
                     const PanelActivity& activity, const LinkCommands& commands,
                     QWidget* parent = nullptr);

    // Shows the unit with the caption given; greyed for a unit not connected.
    void ShowUnit(UnitId unit, const SchematicCaption& caption, bool greyed);
    [[nodiscard]] UnitId Unit() const { return Shown; }
    // The binding marked as chosen, or none.
    void SetSelectedSlot(std::optional<int> slot);
    [[nodiscard]] std::optional<int> SelectedSlot() const { return Selected; }

    // What the widget draws now.
    [[nodiscard]] UnitScene Scene() const;
    // Where the binding slot of the shown unit is drawn, in widget coordinates; empty when the
    // unit has no such binding.
    [[nodiscard]] QRectF BindingRect(int slot) const;

    // At the size hint the smallest text is kDefaultTextPixels high on screen; the minimum
    // size keeps it at kMinimumTextPixels.
    static constexpr double kDefaultTextPixels = 9;
    static constexpr double kMinimumTextPixels = 8;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void BindingClicked(qel::UnitId unit, int slot);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] QRectF Target() const;
    // The widget's size at which the smallest text is pixels high.
    [[nodiscard]] static QSize SizeForText(double pixels);

    const UnitStates& Units;
    const KeyLayout& Layout;
    const PanelActivity& Activity;
    const LinkCommands& Commands;
    UnitId Shown;
    SchematicCaption Caption;
    bool Greyed = false;
    std::optional<int> Selected;
};

}  // namespace qel
