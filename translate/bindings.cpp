#include "translate/bindings.h"

#include <array>
#include <cstddef>

#include "translate/catalogue.h"

namespace qel {
namespace {

static_assert(kBezelSlotCount ==
              kBezelButtonCount + 2 * kBezelRotaryCount + kPanDirectionCount + 1);
static_assert(kAudioSlotCount == kAudioButtonCount + 2 * kAudioRotaryCount);

template <std::size_t Count>
class TableBuilder {
public:
    constexpr void Add(BindingKind kind, std::size_t index, std::string_view control,
                       std::string_view suffix = {}) {
        Table[Next++] = Binding{kind, static_cast<int>(index), control, suffix};
    }
    template <std::size_t Names>
    constexpr void AddButtons(const std::array<std::string_view, Names>& names) {
        for (std::size_t i = 0; i < Names; ++i) Add(BindingKind::Button, i, names[i]);
    }
    template <std::size_t Names>
    constexpr void AddRotaries(const std::array<std::string_view, Names>& names) {
        for (std::size_t i = 0; i < Names; ++i) {
            Add(BindingKind::RotaryDecr, i, names[i], kDecrSuffix);
            Add(BindingKind::RotaryIncr, i, names[i], kIncrSuffix);
        }
    }

    std::array<Binding, Count> Table{};
    std::size_t Next = 0;
};

constexpr std::array<Binding, kBezelSlotCount> MakeBezelBindings() {
    TableBuilder<kBezelSlotCount> builder;
    builder.AddButtons(kBezelButtonNames);
    builder.AddRotaries(kBezelRotaryNames);
    for (std::size_t i = 0; i < kPanDirectionNames.size(); ++i) {
        builder.Add(BindingKind::PanDirection, i, kPanDirectionNames[i]);
    }
    builder.Add(BindingKind::PanPush, 0, kPanPushName);
    return builder.Table;
}

constexpr std::array<Binding, kAudioSlotCount> MakeAudioBindings() {
    TableBuilder<kAudioSlotCount> builder;
    builder.AddButtons(kAudioButtonNames);
    builder.AddRotaries(kAudioRotaryNames);
    return builder.Table;
}

constexpr std::array<Binding, kBezelSlotCount> kBezelBindings = MakeBezelBindings();
constexpr std::array<Binding, kAudioSlotCount> kAudioBindings = MakeAudioBindings();

}  // namespace

std::span<const Binding> BindingsOf(int deviceIndex) {
    if (IsBezelUnitIndex(deviceIndex)) return kBezelBindings;
    if (IsAudioUnitIndex(deviceIndex - kFirstAudioDeviceIndex)) return kAudioBindings;
    return {};
}

BindingPlace PlaceOf(UnitStates& units, int deviceIndex, const Binding& binding) {
    const auto index = static_cast<std::size_t>(binding.Index);
    auto rotaryPlace = [&binding](RotaryState& rotary) {
        return BindingPlace{
            rotary.Name, binding.Kind == BindingKind::RotaryDecr ? rotary.DecrKey : rotary.IncrKey};
    };
    if (!IsBezelUnitIndex(deviceIndex)) {
        AudioUnitState& unit = units.AudioUnits[static_cast<std::size_t>(deviceIndex) -
                                                static_cast<std::size_t>(kFirstAudioDeviceIndex)];
        if (binding.Kind == BindingKind::Button) {
            return {unit.Buttons[index].Name, unit.Buttons[index].Key};
        }
        return rotaryPlace(unit.Rotaries[index]);
    }
    BezelUnitState& unit = units.BezelUnits[static_cast<std::size_t>(deviceIndex)];
    switch (binding.Kind) {
        case BindingKind::Button:
            return {unit.Buttons[index].Name, unit.Buttons[index].Key};
        case BindingKind::PanDirection:
            return {unit.PanDirections[index].Name, unit.PanDirections[index].Key};
        case BindingKind::PanPush:
            return {unit.PanPush.Name, unit.PanPush.Key};
        case BindingKind::RotaryDecr:
        case BindingKind::RotaryIncr:
            break;
    }
    return rotaryPlace(unit.Rotaries[index]);
}

}  // namespace qel
