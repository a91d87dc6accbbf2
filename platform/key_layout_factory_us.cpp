#include "keymap/us_layout.h"
#include "platform/key_layout_factory.h"

namespace qel {

std::unique_ptr<KeyLayout> CreateKeyLayout() {
    return std::make_unique<UsEnglishLayout>();
}

}  // namespace qel
