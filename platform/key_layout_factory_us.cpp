#include "platform/key_layout_factory.h"
#include "translate/us_layout.h"

namespace qel {

std::unique_ptr<KeyLayout> CreateKeyLayout() {
    return std::make_unique<UsEnglishLayout>();
}

}  // namespace qel
