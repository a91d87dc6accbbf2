#include <windows.h>
// windows.h makes VkKeyScan a macro for VkKeyScanA, which would rename KeyLayout's member.
#undef VkKeyScan

#include "platform/key_layout_factory.h"

namespace qel {
namespace {

// The calling thread's active keyboard layout, asked afresh each time, as the user may switch.
class Win32KeyLayout final : public KeyLayout {
public:
    std::uint16_t VkKeyScan(char character) const override {
        return static_cast<std::uint16_t>(::VkKeyScanA(character));
    }
};

}  // namespace

std::unique_ptr<KeyLayout> CreateKeyLayout() {
    return std::make_unique<Win32KeyLayout>();
}

}  // namespace qel
