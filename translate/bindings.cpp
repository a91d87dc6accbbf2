#include "translate/bindings.h"

#include <array>
#include <cassert>
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

std::span<const Binding> BindingsOf(UnitId unit) {
    if (!unit.IsValid()) return {};
    return unit.Kind == UnitKind::Bezel ? std::span<const Binding>(kBezelBindings)
                                        : std::span<const Binding>(kAudioBindings);
}

BindingPlace PlaceOf(UnitStates& units, UnitId unit, const Binding& binding) {
    const auto index = static_cast<std::size_t>(binding.Index);
    auto rotaryPlace = [&binding](RotaryState& rotary) {
        return BindingPlace{
            rotary.Name, binding.Kind == BindingKind::RotaryDecr ? rotary.DecrKey : rotary.IncrKey};
    };
    if (AudioUnitState* audio = units.AudioOf(unit)) {
        if (binding.Kind == BindingKind::Button) {
            return {audio->Buttons[index].Name, audio->Buttons[index].Key};
        }
        return rotaryPlace(audio->Rotaries[index]);
    }
    BezelUnitState* bezel = units.BezelOf(unit);
    assert(bezel != nullptr && "a binding of BindingsOf(unit) belongs to a unit");
    switch (binding.Kind) {
        case BindingKind::Button:
            return {bezel->Buttons[index].Name, bezel->Buttons[index].Key};
        case BindingKind::PanDirection:
            return {bezel->PanDirections[index].Name, bezel->PanDirections[index].Key};
        case BindingKind::PanPush:
            return {bezel->PanPush.Name, bezel->PanPush.Key};
        case BindingKind::RotaryDecr:
        case BindingKind::RotaryIncr:
            break;
    }
    return rotaryPlace(bezel->Rotaries[index]);
}

}  // namespace qel
