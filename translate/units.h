#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <optional>
#include <string_view>

#include "translate/catalogue.h"

// The six panel units and every name each goes by, in one table.
namespace qel {

enum class UnitKind { Bezel, Audio };

// One unit: its kind and its number among units of that kind (bezel 0-3, audio 0-1).
struct UnitId {
    UnitKind Kind = UnitKind::Bezel;
    int Index = 0;

    // Device index 0-5: bezel units first, then audio units.
    [[nodiscard]] constexpr int DeviceIndex() const {
        return Kind == UnitKind::Bezel ? Index : kFirstAudioDeviceIndex + Index;
    }
    // Nothing for a device index outside 0-5.
    [[nodiscard]] static constexpr std::optional<UnitId> FromDeviceIndex(int deviceIndex) {
        if (deviceIndex < 0 || deviceIndex >= kDeviceCount) {
            return std::nullopt;
        }
        return deviceIndex < kFirstAudioDeviceIndex
                   ? UnitId{UnitKind::Bezel, deviceIndex}
                   : UnitId{UnitKind::Audio, deviceIndex - kFirstAudioDeviceIndex};
    }
    // Whether this names one of the six units: bezel 0-3 or audio 0-1.
    [[nodiscard]] constexpr bool IsValid() const {
        return Index >= 0 && ((Kind == UnitKind::Bezel && Index < kBezelUnitCount) ||
                              (Kind == UnitKind::Audio && Index < kAudioUnitCount));
    }
    friend constexpr bool operator==(UnitId, UnitId) = default;
};

// What the user and the stored files see of a unit, byte for byte.
struct UnitNames {
    UnitId Id;
    int ProductId = 0;
    std::string_view Section;           // keymap.ini section
    std::string_view IdleCaption;       // main window status label, panel view tab
    std::string_view ConnectedCaption;  // the same while the unit is plugged in
    std::string_view SelectorItem;      // the key settings dialog's unit selector
    std::string_view LinkCaption;       // the simulator link dialog's role row
    std::string_view LogPrefix;         // a log line's unit word, followed by Id.Index
};

// By device index.
// clang-format off
inline constexpr std::array<UnitNames, kDeviceCount> kUnits{{
    {{UnitKind::Bezel, 0}, 684, "qel_1000_0", "QEL1000-0:", "QEL1000-0: Connected",
     "QEL 1000 - 0", "QEL1000 - 0", "G1000-"},
    {{UnitKind::Bezel, 1}, 685, "qel_1000_1", "QEL1000-1:", "QEL1000-1: Connected",
     "QEL 1000 - 1", "QEL1000 - 1", "G1000-"},
    {{UnitKind::Bezel, 2}, 686, "qel_1000_2", "QEL1000-2:", "QEL1000-2: Connected",
     "QEL 1000 - 2", "QEL1000 - 2", "G1000-"},
    {{UnitKind::Bezel, 3}, 687, "qel_1000_3", "QEL1000-3:", "QEL1000-3: Connected",
     "QEL 1000 - 3", "QEL1000 - 3", "G1000-"},
    {{UnitKind::Audio, 0}, 688, "qel_audio_0", "QELAudio-0:", "QELAudio-0: Connected",
     "QEL Audio - 0", "QEL Audio - 0", "Audio-"},
    {{UnitKind::Audio, 1}, 689, "qel_audio_1", "QELAudio-1:", "QELAudio-1: Connected",
     "QEL Audio - 1", "QEL Audio - 1", "Audio-"},
}};
// clang-format on

// id must name a unit (IsValid).
[[nodiscard]] constexpr const UnitNames& NamesOf(UnitId id) {
    assert(id.IsValid() && "only the six units have names");
    return kUnits[static_cast<std::size_t>(id.DeviceIndex())];
}

// The unit of a product ID a HID library reports (684-689); nothing for any other number.
[[nodiscard]] constexpr std::optional<UnitId> UnitOfProduct(int productId) {
    for (const UnitNames& unit : kUnits) {
        if (unit.ProductId == productId) {
            return unit.Id;
        }
    }
    return std::nullopt;
}

namespace unit_table_checks {
// Each row sits at its own device index with product ID 684 + index, and every caption and
// the section end in the unit's number; a kind's units share one log word.
[[nodiscard]] constexpr bool RowsMatchCatalogue() {
    for (int i = 0; i < kDeviceCount; ++i) {
        const UnitNames& row = kUnits[static_cast<std::size_t>(i)];
        const std::optional<UnitId> id = UnitId::FromDeviceIndex(i);
        if (!id || *id != row.Id || row.Id.DeviceIndex() != i || !row.Id.IsValid() ||
            row.ProductId != kFirstBezelProductId + i || UnitOfProduct(row.ProductId) != row.Id) {
            return false;
        }
        const char digit = static_cast<char>('0' + row.Id.Index);
        const auto endsInNumber = [digit](std::string_view name) {
            return !name.empty() && name.back() == digit;
        };
        const std::string_view idle = row.IdleCaption;
        if (!endsInNumber(row.Section) || !endsInNumber(row.SelectorItem) ||
            !endsInNumber(row.LinkCaption) || !idle.ends_with(':') ||
            !endsInNumber(idle.substr(0, idle.size() - 1)) ||
            !row.ConnectedCaption.starts_with(idle) ||
            row.LogPrefix != NamesOf({row.Id.Kind, 0}).LogPrefix) {
            return false;
        }
    }
    return true;
}
static_assert(RowsMatchCatalogue(), "the unit table disagrees with the catalogue");
static_assert(kUnits[kBezelUnitCount - 1].Id == UnitId{UnitKind::Bezel, kBezelUnitCount - 1});
static_assert(kUnits[kDeviceCount - 1].Id == UnitId{UnitKind::Audio, kAudioUnitCount - 1});
static_assert(!UnitOfProduct(kFirstBezelProductId - 1) &&
              !UnitOfProduct(kFirstBezelProductId + kDeviceCount));
static_assert(!UnitId{UnitKind::Bezel, kBezelUnitCount}.IsValid() &&
              !UnitId{UnitKind::Audio, kAudioUnitCount}.IsValid() &&
              !UnitId{UnitKind::Audio, -1}.IsValid());
}  // namespace unit_table_checks

}  // namespace qel
