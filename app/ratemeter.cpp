#include "app/ratemeter.h"

namespace qel {

std::string RateMeter::Tick(std::int32_t count) {
    // Unsigned difference: a counter that wrapped past its maximum still gives the increase.
    const std::uint32_t increase =
        static_cast<std::uint32_t>(count) - static_cast<std::uint32_t>(Previous);
    Previous = count;
    return "- " + std::to_string(increase) + "Hz";
}

}  // namespace qel
