#include "platform/key_injector_factory.h"
#include "platform/unavailable_injector.h"

namespace qel {

// Platforms without a keystroke back end yet still build and run; they say so once.
std::unique_ptr<KeyInjector> CreateKeyInjector(LogSink& log,
                                               const KeyInjectorSources& /*sources*/) {
    log.AppendLine("Keystrokes cannot be sent: this platform has no keystroke output.");
    return std::make_unique<UnavailableInjector>();
}

}  // namespace qel
