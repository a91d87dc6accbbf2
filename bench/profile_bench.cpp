// What a profile file costs to index and to read: the name index on its own (the adds a
// parse makes, then the lookups of the six-section start-up read), and the whole of
// ProfileText (parse and reads, parse and the clear-all batch). Two files: a keymap.ini as
// the program writes it (six sections of 80 keys) and a hostile one (10,000 sections,
// 100,000 keys, the six real sections last).

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "keymap/foldedindex.h"
#include "keymap/profilestore.h"
#include "keymap/profiletext.h"
#include "translate/bindings.h"
#include "translate/catalogue.h"
#include "translate/units.h"

namespace {

using namespace qel;

constexpr std::size_t kKeysPerSection = 80;

enum class FileKind { KeyMap, Hostile };

// The keys the start-up read asks for, section by section, as ReadAllKeys does.
struct Lookup {
    std::string_view Section;
    std::string Key;
};

std::vector<Lookup> StartUpReads() {
    std::vector<Lookup> reads;
    for (const UnitNames& unit : kUnits) {
        for (const Binding& binding : BindingsOf(unit.Id)) {
            reads.push_back({unit.Section, binding.KeyName()});
        }
    }
    return reads;
}

std::string KeyMapSections() {
    std::string file;
    for (const UnitNames& unit : kUnits) {
        file += "[" + std::string(unit.Section) + "]\r\n";
        std::size_t keys = 0;
        for (const Binding& binding : BindingsOf(unit.Id)) {
            if (binding.Control.empty()) continue;
            file += binding.KeyName() + "=SHIFT+F" + std::to_string(1 + keys % 12) + "\r\n";
            ++keys;
        }
        for (; keys < kKeysPerSection; ++keys) file += "spare_" + std::to_string(keys) + "=A\r\n";
    }
    return file;
}

std::string FileOf(FileKind kind) {
    if (kind == FileKind::KeyMap) return KeyMapSections();
    std::string file;
    for (int s = 0; s < 10000; ++s) {
        file += "[Section_" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 10; ++k) file += "Key_" + std::to_string(k) + "=F9\r\n";
    }
    return file + KeyMapSections();
}

// The (scope, name) pairs a parse adds, in file order, as views into the file.
struct Names {
    std::vector<std::string_view> Sections;
    std::vector<std::pair<std::size_t, std::string_view>> Keys;
};

Names NamesOf(std::string_view file) {
    Names names;
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = file.find("\r\n", at);
        if (end == std::string_view::npos) end = file.size();
        const std::string_view line = file.substr(at, end - at);
        if (line.starts_with('[')) {
            names.Sections.push_back(line.substr(1, line.size() - 2));
        } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            names.Keys.push_back({names.Sections.size() - 1, line.substr(0, equals)});
        }
        at = end + 2;
    }
    return names;
}

// A key's place, as ProfileText stores it.
struct Place {
    std::size_t Section = 0;
    std::size_t Index = 0;
    bool IsAdded = false;
};

// The same contract on the standard container: case-folded names within numbered scopes.
template <typename Value>
class StdFoldedIndex {
public:
    bool TryAdd(std::size_t scope, std::string_view name, const Value& value) {
        return Map.try_emplace(Key{scope, name}, value).second;
    }
    [[nodiscard]] const Value* Find(std::size_t scope, std::string_view name) const {
        const auto found = Map.find(Key{scope, name});
        return found == Map.end() ? nullptr : &found->second;
    }

private:
    struct Key {
        std::size_t Scope;
        std::string_view Name;
    };
    struct Hash {
        std::size_t operator()(const Key& key) const {
            std::uint64_t hash = 14695981039346656037ULL;
            for (char c : key.Name) {
                hash ^= static_cast<unsigned char>(AsciiLower(c));
                hash *= 1099511628211ULL;
            }
            return static_cast<std::size_t>(hash ^ (key.Scope * 0x9E3779B97F4A7C15ULL));
        }
    };
    struct Equal {
        bool operator()(const Key& a, const Key& b) const {
            return a.Scope == b.Scope && FoldedIndex<int>::EqualFolded(a.Name, b.Name);
        }
    };
    std::unordered_map<Key, Value, Hash, Equal> Map;
};

template <template <typename> class Index>
void BM_Index(benchmark::State& state, FileKind kind) {
    const std::string file = FileOf(kind);
    const Names names = NamesOf(file);
    const std::vector<Lookup> reads = StartUpReads();
    for (auto _ : state) {
        Index<std::size_t> sections;
        Index<Place> keys;
        for (std::size_t s = 0; s < names.Sections.size(); ++s) {
            sections.TryAdd(0, names.Sections[s], s);
        }
        for (std::size_t k = 0; k < names.Keys.size(); ++k) {
            keys.TryAdd(names.Keys[k].first, names.Keys[k].second,
                        Place{names.Keys[k].first, k, false});
        }
        std::size_t found = 0;
        for (const Lookup& read : reads) {
            if (const std::size_t* section = sections.Find(0, read.Section)) {
                found += keys.Find(*section, read.Key) != nullptr ? 1 : 0;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["keys"] = static_cast<double>(names.Keys.size());
}

void BM_HandWrittenIndex(benchmark::State& state, FileKind kind) {
    BM_Index<FoldedIndex>(state, kind);
}

void BM_StdUnorderedMapIndex(benchmark::State& state, FileKind kind) {
    BM_Index<StdFoldedIndex>(state, kind);
}

void BM_ProfileTextRead(benchmark::State& state, FileKind kind) {
    const std::string file = FileOf(kind);
    const std::vector<Lookup> reads = StartUpReads();
    for (auto _ : state) {
        const ProfileText text(file);
        for (const Lookup& read : reads) {
            benchmark::DoNotOptimize(text.GetString(read.Section, read.Key, "", kProfileValueSize));
        }
    }
}

void BM_ProfileTextClearAll(benchmark::State& state, FileKind kind) {
    const std::string file = FileOf(kind);
    const std::vector<Lookup> reads = StartUpReads();
    for (auto _ : state) {
        ProfileText text(file);
        for (const Lookup& read : reads) {
            benchmark::DoNotOptimize(text.WriteString(read.Section, read.Key, ""));
        }
        benchmark::DoNotOptimize(text.Bytes());
    }
}

BENCHMARK_CAPTURE(BM_HandWrittenIndex, keymap, FileKind::KeyMap);
BENCHMARK_CAPTURE(BM_StdUnorderedMapIndex, keymap, FileKind::KeyMap);
BENCHMARK_CAPTURE(BM_HandWrittenIndex, hostile, FileKind::Hostile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StdUnorderedMapIndex, hostile, FileKind::Hostile)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProfileTextRead, keymap, FileKind::KeyMap);
BENCHMARK_CAPTURE(BM_ProfileTextRead, hostile, FileKind::Hostile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProfileTextClearAll, keymap, FileKind::KeyMap);
BENCHMARK_CAPTURE(BM_ProfileTextClearAll, hostile, FileKind::Hostile)
    ->Unit(benchmark::kMillisecond);

}  // namespace
