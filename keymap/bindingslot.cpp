#include "keymap/bindingslot.h"

#include "translate/catalogue.h"

namespace qel {
namespace {

constexpr int kBezelFirstRotarySlot = kBezelButtonCount;                           // 40
constexpr int kBezelFirstPanSlot = kBezelFirstRotarySlot + 2 * kBezelRotaryCount;  // 68
constexpr int kBezelPanPushSlot = kBezelFirstPanSlot + kPanDirectionCount;         // 76
constexpr int kAudioFirstRotarySlot = kAudioButtonCount;                           // 32
static_assert(kBezelPanPushSlot + 1 == kBezelSlotCount);
static_assert(kAudioFirstRotarySlot + 2 * kAudioRotaryCount == kAudioSlotCount);

BindingKind RotaryHalf(int offset) {
    return offset % 2 == 0 ? BindingKind::RotaryDecr : BindingKind::RotaryIncr;
}

std::optional<BindingSlot> FindBezelSlot(int unit, int slot) {
    if (slot < kBezelFirstRotarySlot) {
        return BindingSlot{false, unit, BindingKind::Button, slot};
    }
    if (slot < kBezelFirstPanSlot) {
        const int offset = slot - kBezelFirstRotarySlot;
        return BindingSlot{false, unit, RotaryHalf(offset), offset / 2};
    }
    if (slot < kBezelPanPushSlot) {
        return BindingSlot{false, unit, BindingKind::PanDirection, slot - kBezelFirstPanSlot};
    }
    return BindingSlot{false, unit, BindingKind::PanPush, 0};
}

std::optional<BindingSlot> FindAudioSlot(int unit, int slot) {
    if (slot < kAudioFirstRotarySlot) {
        return BindingSlot{true, unit, BindingKind::Button, slot};
    }
    const int offset = slot - kAudioFirstRotarySlot;
    return BindingSlot{true, unit, RotaryHalf(offset), offset / 2};
}

KeyCode& RotaryField(RotaryState& rotary, BindingKind kind) {
    return kind == BindingKind::RotaryDecr ? rotary.DecrKey : rotary.IncrKey;
}

KeyCode& FieldOf(UnitStates& units, const BindingSlot& where) {
    if (where.Audio) {
        AudioUnitState& unit = units.AudioUnits[static_cast<std::size_t>(where.Unit)];
        const auto index = static_cast<std::size_t>(where.Index);
        if (where.Kind == BindingKind::Button) {
            return unit.Buttons[index].Key;
        }
        return RotaryField(unit.Rotaries[index], where.Kind);
    }
    BezelUnitState& unit = units.BezelUnits[static_cast<std::size_t>(where.Unit)];
    const auto index = static_cast<std::size_t>(where.Index);
    switch (where.Kind) {
        case BindingKind::Button:
            return unit.Buttons[index].Key;
        case BindingKind::PanDirection:
            return unit.PanDirections[index].Key;
        case BindingKind::PanPush:
            return unit.PanPush.Key;
        case BindingKind::RotaryDecr:
        case BindingKind::RotaryIncr:
            break;
    }
    return RotaryField(unit.Rotaries[index], where.Kind);
}

std::string RotaryKey(std::string_view name, BindingKind kind) {
    std::string key(name);
    key += kind == BindingKind::RotaryDecr ? kDecrSuffix : kIncrSuffix;
    return key;
}

}  // namespace

int BindingSlotCount(int deviceIndex) {
    if (deviceIndex >= 0 && deviceIndex < kBezelUnitCount) {
        return kBezelSlotCount;
    }
    if (deviceIndex >= kBezelUnitCount && deviceIndex < kDeviceCount) {
        return kAudioSlotCount;
    }
    return 0;
}

std::optional<BindingSlot> FindBindingSlot(int deviceIndex, int slot) {
    if (slot < 0 || slot >= BindingSlotCount(deviceIndex)) {
        return std::nullopt;
    }
    if (deviceIndex < kBezelUnitCount) {
        return FindBezelSlot(deviceIndex, slot);
    }
    return FindAudioSlot(deviceIndex - kBezelUnitCount, slot);
}

bool IsNamedBindingSlot(int deviceIndex, int slot) {
    return !BindingKeyName(deviceIndex, slot).empty();
}

KeyCode* BindingField(UnitStates& units, int deviceIndex, int slot) {
    const std::optional<BindingSlot> where = FindBindingSlot(deviceIndex, slot);
    return where ? &FieldOf(units, *where) : nullptr;
}

const KeyCode* BindingField(const UnitStates& units, int deviceIndex, int slot) {
    // The mutable lookup only forms an address; nothing is written through it here.
    return BindingField(const_cast<UnitStates&>(units), deviceIndex, slot);
}

std::string BindingKeyName(int deviceIndex, int slot) {
    const std::optional<BindingSlot> where = FindBindingSlot(deviceIndex, slot);
    if (!where) {
        return {};
    }
    const auto index = static_cast<std::size_t>(where->Index);
    if (where->Audio) {
        if (where->Kind == BindingKind::Button) {
            return std::string(kAudioButtonNames[index]);
        }
        return RotaryKey(kAudioRotaryNames[index], where->Kind);
    }
    switch (where->Kind) {
        case BindingKind::Button:
            return std::string(kBezelButtonNames[index]);
        case BindingKind::PanDirection:
            return std::string(kPanDirectionPrefix) + std::string(kPanDirectionSuffixes[index]);
        case BindingKind::PanPush:
            return std::string(kPanPushName);
        case BindingKind::RotaryDecr:
        case BindingKind::RotaryIncr:
            break;
    }
    return RotaryKey(kBezelRotaryNames[index], where->Kind);
}

}  // namespace qel
