#include <windows.h>
// windows.h makes VkKeyScan a macro for VkKeyScanA, which would rename KeyLayout's member.
#undef VkKeyScan

#include <mutex>

#include "platform/key_layout_factory.h"

namespace qel {
namespace {

// The calling thread's active keyboard layout, asked afresh each time, as the user may switch.
class Win32KeyLayout final : public KeyLayout {
public:
    std::uint16_t VkKeyScan(char character) const override {
        return static_cast<std::uint16_t>(::VkKeyScanA(character));
    }

    char UnshiftedCharacter(std::uint8_t virtualKey) const override {
        // The search asks 93 characters; the log asks for every press, so the answers are
        // kept until the active layout changes.
        const HKL active = ::GetKeyboardLayout(0);
        const std::lock_guard<std::mutex> lock(TableMutex);
        if (TableLayout != active || !TableFilled) {
            Table = FindUnshiftedCharacters([active](char character) {
                return static_cast<std::uint16_t>(::VkKeyScanExA(character, active));
            });
            TableLayout = active;
            TableFilled = true;
        }
        return Table[virtualKey];
    }

private:
    mutable std::mutex TableMutex;
    mutable UnshiftedCharacterTable Table{};
    mutable HKL TableLayout = nullptr;
    mutable bool TableFilled = false;
};

}  // namespace

std::unique_ptr<KeyLayout> CreateKeyLayout() {
    return std::make_unique<Win32KeyLayout>();
}

}  // namespace qel
