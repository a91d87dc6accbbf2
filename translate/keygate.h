#pragma once

namespace qel {

// "Enable keys": asked before every keystroke. Main thread only.
class KeyGate {
public:
    virtual ~KeyGate() = default;
    [[nodiscard]] virtual bool KeysEnabled() const = 0;
};

// A gate that is a plain flag; starts open as the check box starts checked.
class FlagKeyGate final : public KeyGate {
public:
    [[nodiscard]] bool KeysEnabled() const override { return Enabled; }
    bool Enabled = true;
};

}  // namespace qel
