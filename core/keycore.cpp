#include "core/keycore.h"

#include <utility>

namespace qel {

KeyCore::KeyCore(KeyMapLocation keyMap, ProfileStore& store, const KeyLayout& layout,
                 KeyInjector& injector, LogSink& log, const KeyGate& gate)
    : Layout(layout),
      KeyMap(std::move(keyMap), Units, store, layout, log),
      Translator(Units, injector, log, gate, layout) {}

}  // namespace qel
