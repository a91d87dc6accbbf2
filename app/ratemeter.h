#pragma once

#include <cstdint>
#include <string>

namespace qel {

// A once-a-second rate from a running counter: each Tick gives "- " + the increase since the
// previous tick + "Hz". The first tick compares with 0.
class RateMeter {
public:
    [[nodiscard]] std::string Tick(std::int32_t count);

private:
    std::int32_t Previous = 0;
};

}  // namespace qel
