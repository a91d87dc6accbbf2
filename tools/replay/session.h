#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "base/result.h"
#include "core/panel_session.h"
#include "keymap/profilestore.h"
#include "tools/replay/trace.h"

namespace qel::replay {

// Writes "down VK" / "up VK" lines, VK as two upper-case hex digits.
class PrintingInjector final : public KeyInjector {
public:
    explicit PrintingInjector(std::ostream& out) : Out(out) {}
    void KeyEvent(std::uint8_t virtualKey, bool down) override;

private:
    std::ostream& Out;
};

// Writes "log TEXT" lines.
class PrintingLog final : public SessionView {
public:
    explicit PrintingLog(std::ostream& out) : Out(out) {}
    void LineAdded(std::string_view line) override;

private:
    std::ostream& Out;
};

// The program's session without panels or windows, fed from trace commands instead of panels
// and menus.
class ReplaySession {
public:
    // Loads the six sections of keyMapFile as the program's first activation does.
    ReplaySession(const std::string& keyMapFile, ProfileStore& store, std::ostream& out);

    // Runs one command; fails with why it could not run.
    Status Run(const TraceLine& line);

    [[nodiscard]] const UnitStates& Units() const { return Session.Keys().Units(); }

private:
    PrintingLog Log;
    PanelSession Session;
};

}  // namespace qel::replay
