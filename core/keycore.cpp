#include "core/keycore.h"

#include <utility>

namespace qel {

KeyCore::KeyCore(KeyMapLocation keyMap, ProfileStore& store, const KeyLayout& layout,
                 KeyInjector& injector, LogSink& log, const KeyGate& gate)
    : KeyMap(keyMap ? std::optional<std::string>(keyMap.Value()) : std::nullopt, Units, store,
             layout, log, keyMap ? std::string() : keyMap.Error()),
      Translator(Units, injector, log, gate) {}

}  // namespace qel
