#pragma once

#include <string>

#include "base/result.h"
#include "translate/units.h"

namespace qel {

// What a simulator link sends for each binding, as the panel view shows and sets it: the
// command stands in a control's cell in place of its key text, and with "Bind commands" on a
// click or touch names the control's command instead of its key. Main thread only.
class LinkCommands {
public:
    virtual ~LinkCommands() = default;
    // Whether a simulator link is set.
    [[nodiscard]] virtual bool Linked() const = 0;
    // Changes whenever the link's settings or commands do, and with them the answers below: a
    // view redraws when it has moved.
    [[nodiscard]] virtual int Revision() const = 0;
    // The command binding slot `slot` of a unit sends in full, and a short label for its cell;
    // both empty when the slot types its key.
    [[nodiscard]] virtual std::string CommandOf(UnitId unit, int slot) const = 0;
    [[nodiscard]] virtual std::string LabelOf(UnitId unit, int slot) const = 0;
    // Names the user's own command for the slot (empty: the built-in one again) and stores it
    // in keymap.ini; in effect even when storing fails, which the status says.
    virtual Status SetCommand(UnitId unit, int slot, const std::string& command) = 0;
};

}  // namespace qel
