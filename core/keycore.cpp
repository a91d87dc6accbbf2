#include "core/keycore.h"

#include <utility>

namespace qel {

KeyCore::KeyCore(KeyMapLocation keyMap, ProfileStore& store, const KeyLayout& layout,
                 KeyInjector& injector, LogSink& log, const KeyGate& gate)
    : KeyLayoutInUse(layout),
      KeyMap(std::move(keyMap), UnitState, store, layout, log),
      Translator(UnitState, injector, log, gate, layout) {}

}  // namespace qel
