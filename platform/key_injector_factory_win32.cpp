#include "platform/key_injector_factory.h"
#include "platform/win32_injector.h"

namespace qel {

// Windows has one back end and it is always there.
std::unique_ptr<KeyInjector> CreateKeyInjector(LogSink& /*log*/,
                                               const KeyInjectorSources& /*sources*/) {
    return std::make_unique<Win32Injector>(RealWin32KeyboardCalls());
}

}  // namespace qel
