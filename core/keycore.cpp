#include "core/keycore.h"

#include <utility>

namespace qel {

KeyCore::KeyCore(KeyMapLocation keyMap, ProfileStore& store, const KeyLayout& layout,
                 KeyInjector& injector, LogSink& log, const KeyGate& gate)
    : KeyMap(std::move(keyMap.Path), Units, store, layout, log, std::move(keyMap.Reason)),
      Translator(Units, injector, log, gate) {}

}  // namespace qel
