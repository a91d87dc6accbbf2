#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/ascii.h"

namespace qel {

// Names, each within a numbered scope, mapped to the first value stored under them; names
// compare with ASCII letter case folded, other bytes exactly. Open addressing: no allocation
// per entry, so indexing a file of a hundred thousand keys stays cheap (bench/profile_bench
// compares it with std::unordered_map, which allocates a node per name and is several times
// slower on such a file). The names are views: their text must outlive the index.
template <typename Value>
class FoldedIndex {
public:
    // Stores value unless (scope, name) already has one; returns whether it stored it.
    bool TryAdd(std::size_t scope, std::string_view name, const Value& value) {
        if ((Entries.size() + 1) * 2 > Slots.size()) Grow();
        const std::size_t hash = HashOf(scope, name);
        std::size_t at = hash & (Slots.size() - 1);
        for (; Slots[at] != kEmpty; at = (at + 1) & (Slots.size() - 1)) {
            const Entry& entry = Entries[Slots[at] - 1];
            if (entry.Hash == hash && entry.Scope == scope && EqualFolded(entry.Name, name)) {
                return false;
            }
        }
        Entries.push_back(Entry{name, scope, hash, value});
        Slots[at] = static_cast<std::uint32_t>(Entries.size());
        return true;
    }

    [[nodiscard]] const Value* Find(std::size_t scope, std::string_view name) const {
        if (Slots.empty()) return nullptr;
        const std::size_t hash = HashOf(scope, name);
        for (std::size_t at = hash & (Slots.size() - 1); Slots[at] != kEmpty;
             at = (at + 1) & (Slots.size() - 1)) {
            const Entry& entry = Entries[Slots[at] - 1];
            if (entry.Hash == hash && entry.Scope == scope && EqualFolded(entry.Name, name)) {
                return &entry.Stored;
            }
        }
        return nullptr;
    }

    void Clear() {
        Entries.clear();
        Slots.clear();
    }

    static bool EqualFolded(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
        }
        return true;
    }

private:
    static constexpr std::size_t kFirstSize = 64;
    static constexpr std::uint32_t kEmpty = 0;  // else a slot holds an entry's index + 1

    struct Entry {
        std::string_view Name;
        std::size_t Scope;
        std::size_t Hash;
        Value Stored;
    };

    static std::size_t HashOf(std::size_t scope, std::string_view name) {
        // FNV-1a over the folded bytes, then the scope mixed in and the bits spread, because
        // the table takes the low bits as the slot.
        std::uint64_t hash = 14695981039346656037ULL;
        for (char c : name) {
            hash ^= static_cast<unsigned char>(AsciiLower(c));
            hash *= 1099511628211ULL;
        }
        hash ^= static_cast<std::uint64_t>(scope) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 31;
        hash *= 0xBF58476D1CE4E5B9ULL;
        hash ^= hash >> 29;
        return static_cast<std::size_t>(hash);
    }

    // Slots are only numbers, so growing rebuilds a small table and moves no entry.
    void Grow() {
        Slots.assign(Slots.empty() ? kFirstSize : Slots.size() * 2, kEmpty);
        for (std::size_t i = 0; i < Entries.size(); ++i) {
            std::size_t at = Entries[i].Hash & (Slots.size() - 1);
            while (Slots[at] != kEmpty) at = (at + 1) & (Slots.size() - 1);
            Slots[at] = static_cast<std::uint32_t>(i + 1);
        }
    }

    std::vector<Entry> Entries;        // in the order they were added
    std::vector<std::uint32_t> Slots;  // open addressing, linear probing, size a power of two
};

}  // namespace qel
