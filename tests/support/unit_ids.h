#pragma once

#include <ostream>

#include "translate/units.h"

namespace qel {

// How a failed expectation shows a unit: "bezel 1", "audio 0".
inline void PrintTo(UnitId unit, std::ostream* out) {
    *out << (unit.Kind == UnitKind::Bezel ? "bezel " : "audio ") << unit.Index;
}

namespace test {

inline constexpr UnitId BezelUnit(int index) {
    return {UnitKind::Bezel, index};
}
inline constexpr UnitId AudioUnit(int index) {
    return {UnitKind::Audio, index};
}
// The unit of a device index (bezel units 0-3, then audio units); an index outside 0-5 gives an
// id that names no unit, for the cases about what such an id gets.
inline constexpr UnitId DeviceUnit(int deviceIndex) {
    return deviceIndex < kFirstAudioDeviceIndex ? BezelUnit(deviceIndex)
                                                : AudioUnit(deviceIndex - kFirstAudioDeviceIndex);
}

}  // namespace test
}  // namespace qel
