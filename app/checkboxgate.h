#pragma once

#include <QCheckBox>

#include "translate/keygate.h"

namespace qel {

// "Enable keys" as the key gate: keystrokes go out while the box is checked.
// Main thread only; the check box must outlive the gate.
class CheckBoxGate final : public KeyGate {
public:
    explicit CheckBoxGate(const QCheckBox& box) : Box(box) {}
    [[nodiscard]] bool KeysEnabled() const override { return Box.isChecked(); }

private:
    const QCheckBox& Box;
};

}  // namespace qel
