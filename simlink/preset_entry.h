#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "translate/catalogue.h"

namespace qel {

// A command a control sends in place of its own once it has been held down for Delay.
struct HeldCommand {
    std::string Command;
    std::chrono::milliseconds Delay{0};

    bool operator==(const HeldCommand&) const = default;
};

// Whether key is a binding slot key of a bezel unit ("softkey_3", "hdg_incr", "range_pan_ne",
// "range_push") or of an audio unit ("com1_mic", "pilot_decr"). The presets check their tables
// with these at compile time, so a misspelt key fails the build instead of sending nothing.
namespace preset_keys {

template <std::size_t N>
constexpr bool IsNamed(const std::array<std::string_view, N>& names, std::string_view key) {
    for (std::string_view name : names) {
        if (!name.empty() && name == key) return true;
    }
    return false;
}

template <std::size_t N>
constexpr bool IsRotaryHalf(const std::array<std::string_view, N>& rotaries, std::string_view key) {
    for (std::string_view suffix : {kIncrSuffix, kDecrSuffix}) {
        if (key.ends_with(suffix) && IsNamed(rotaries, key.substr(0, key.size() - suffix.size()))) {
            return true;
        }
    }
    return false;
}

}  // namespace preset_keys

constexpr bool IsBezelSlotKey(std::string_view key) {
    return preset_keys::IsNamed(kBezelButtonNames, key) ||
           preset_keys::IsRotaryHalf(kBezelRotaryNames, key) ||
           preset_keys::IsNamed(kPanDirectionNames, key) || key == kPanPushName;
}

constexpr bool IsAudioSlotKey(std::string_view key) {
    return preset_keys::IsNamed(kAudioButtonNames, key) ||
           preset_keys::IsRotaryHalf(kAudioRotaryNames, key);
}

// True when every row of table names a distinct slot key that isKey accepts.
template <typename Row, std::size_t N, typename IsKey>
constexpr bool HasDistinctSlotKeys(const std::array<Row, N>& table, IsKey isKey) {
    for (std::size_t i = 0; i < N; ++i) {
        if (!isKey(table[i].SlotKey)) return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (table[j].SlotKey == table[i].SlotKey) return false;
        }
    }
    return true;
}

// The row of table for slotKey; null when it has none.
template <typename Row, std::size_t N>
constexpr const Row* FindPresetRow(const std::array<Row, N>& table, std::string_view slotKey) {
    for (const Row& row : table) {
        if (row.SlotKey == slotKey) return &row;
    }
    return nullptr;
}

}  // namespace qel
