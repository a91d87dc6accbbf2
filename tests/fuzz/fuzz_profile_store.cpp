// The profile store on an arbitrary file, then a batch of writes into it. Every key written
// reads back exactly; every other key reads as before; the same batch again leaves the file
// untouched; a failed replacement changes nothing; the key map reads the file without harm.
//
// Input: the file's bytes, then optionally kEditsMarker and the edits, one per kEditEnd, each
// "section" kFieldEnd "key" kFieldEnd "value". Edits starting with '!' script a failed write.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "keymap/ini_profile_store.h"
#include "keymap/keymapfile.h"
#include "keymap/utf16text.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "translate/unitstate.h"
#include "translate/us_layout.h"

namespace {

constexpr std::string_view kEditsMarker{"\0EDITS\0", 7};
constexpr char kEditEnd = '\x02';
constexpr char kFieldEnd = '\x01';
constexpr std::size_t kMaxNameLength = 64;
constexpr std::size_t kMaxEdits = 16;
constexpr std::size_t kMaxProbes = 256;
// Large enough that no value is cut.
constexpr std::size_t kNoLimit = std::size_t{1} << 30;
const std::string kPath = "keymap.ini";

// Names the program could write: printable ASCII whose line reads back under the same name.
// Names that change a file's structure ("a=b" as a key) are the Windows rules' business and
// are not what the program ever writes.
bool IsPlainName(std::string_view name, bool isKey) {
    if (name.size() > kMaxNameLength) return false;
    if (!name.empty() && (name.front() == ' ' || name.back() == ' ')) return false;
    for (char c : name) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    if (isKey) {
        return name.find('=') == std::string_view::npos &&
               (name.empty() || (name.front() != '[' && name.front() != ';'));
    }
    return name.find(']') == std::string_view::npos;
}

bool IsValueBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

// A value that reads back as itself: no line breaks or NULs, no blanks at the ends, not
// wrapped in a pair of quotes (reads strip those).
std::string PlainValue(std::string_view raw) {
    std::string value;
    for (char c : raw) {
        if (c != '\r' && c != '\n' && c != '\0') value += c;
    }
    while (!value.empty() && IsValueBlank(value.front())) value.erase(value.begin());
    while (!value.empty() && IsValueBlank(value.back())) value.pop_back();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value += 'x';
    }
    return value;
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    std::string folded;
    for (char c : name) folded += Fold(c);
    return folded;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

struct Probe {
    std::string Section;
    std::string Key;
};

// Section and key names as a rough reading of the file finds them, plus the program's own.
std::vector<Probe> ProbesOf(std::string_view bytes, const std::vector<qel::ProfileEdit>& edits) {
    std::string text;
    if (bytes.starts_with("\xFF\xFE")) {
        std::string_view units = bytes.substr(2);
        text = qel::DecodeUtf16Le(units.substr(0, units.size() & ~std::size_t{1}));
    } else {
        text = std::string(bytes);
    }
    std::vector<Probe> probes;
    std::string section;
    std::size_t start = 0;
    while (start < text.size() && probes.size() < kMaxProbes) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string_view line = std::string_view(text).substr(start, end - start);
        while (!line.empty() && IsValueBlank(line.front())) line.remove_prefix(1);
        if (line.starts_with("[")) {
            line.remove_prefix(1);
            section = std::string(line.substr(0, line.find(']')));
            while (!section.empty() && IsValueBlank(section.back())) section.pop_back();
            while (!section.empty() && IsValueBlank(section.front()))
                section.erase(section.begin());
        } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            std::string key(line.substr(0, equals));
            while (!key.empty() && IsValueBlank(key.back())) key.pop_back();
            probes.push_back({section, key});
        }
        start = end + 1;
    }
    for (const qel::ProfileEdit& edit : edits) {
        probes.push_back({edit.Section, edit.Key});
        probes.push_back({edit.Section, "menu"});
        probes.push_back({"qel_1000_0", edit.Key});
    }
    return probes;
}

std::vector<std::string> ReadProbes(qel::IniProfileStore& store, const std::vector<Probe>& probes) {
    const qel::Result<std::unique_ptr<qel::ProfileView>> read = store.Read(kPath);
    QEL_FUZZ_CHECK(read.Ok());
    std::vector<std::string> values;
    values.reserve(probes.size());
    for (const Probe& probe : probes) {
        values.push_back(
            read.Value()->GetString(probe.Section, probe.Key, "\x7F-absent", kNoLimit));
    }
    return values;
}

// The value a write should read back as: UTF-16 files hold text, so bytes that are not UTF-8
// go in as the Latin-1 characters of the same numbers.
std::string ExpectedReadBack(std::string_view file, const std::string& value) {
    if (!file.starts_with("\xFF\xFE")) return value;
    return qel::DecodeUtf16Le(qel::EncodeUtf16Le(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.rfind(kEditsMarker);
    const std::string_view file = input.substr(0, marker);
    std::string_view editText = marker == std::string_view::npos
                                    ? std::string_view{}
                                    : input.substr(marker + kEditsMarker.size());
    const bool failWrites = editText.starts_with("!");
    if (failWrites) editText.remove_prefix(1);

    std::vector<qel::ProfileEdit> edits;
    if (marker == std::string_view::npos) {
        // A bare file still gets the writes the program makes most.
        edits = {{"qel_1000_0", "menu", "F1"},
                 {"qel_audio_1", "", ""},
                 {"qel_new", "range_push", "SHIFT+A"}};
    } else {
        for (std::string_view edit : Split(editText, kEditEnd)) {
            if (edits.size() == kMaxEdits) break;
            const std::vector<std::string_view> fields = Split(edit, kFieldEnd);
            if (fields.size() != 3 || !IsPlainName(fields[0], false) ||
                !IsPlainName(fields[1], true)) {
                continue;
            }
            edits.push_back(
                {std::string(fields[0]), std::string(fields[1]), PlainValue(fields[2])});
        }
    }

    qel::test::MemoryFileAccess files;
    files.Files[kPath] = std::string(file);
    qel::IniProfileStore store(files);
    const std::vector<Probe> probes = ProbesOf(file, edits);
    const std::vector<std::string> before = ReadProbes(store, probes);

    if (failWrites) files.FailWrites(kPath, "No space left on device");
    const qel::Status written = store.Write(kPath, edits);
    const std::string& after = files.Files[kPath];
    if (failWrites) {
        QEL_FUZZ_CHECK(after == file);
        QEL_FUZZ_CHECK(ReadProbes(store, probes) == before);
    } else {
        QEL_FUZZ_CHECK(written.Ok());
        // The last write of each name wins.
        const qel::Result<std::unique_ptr<qel::ProfileView>> read = store.Read(kPath);
        QEL_FUZZ_CHECK(read.Ok());
        for (std::size_t i = 0; i < edits.size(); ++i) {
            bool overwritten = false;
            for (std::size_t j = i + 1; j < edits.size(); ++j) {
                overwritten =
                    overwritten || (Folded(edits[j].Section) == Folded(edits[i].Section) &&
                                    Folded(edits[j].Key) == Folded(edits[i].Key));
            }
            if (overwritten) continue;
            const std::string got =
                read.Value()->GetString(edits[i].Section, edits[i].Key, "\x7F-absent", kNoLimit);
            QEL_FUZZ_CHECK(got == ExpectedReadBack(file, edits[i].Value));
        }
        const std::vector<std::string> now = ReadProbes(store, probes);
        for (std::size_t p = 0; p < probes.size(); ++p) {
            bool touched = false;
            for (const qel::ProfileEdit& edit : edits) {
                touched = touched || (Folded(edit.Section) == Folded(probes[p].Section) &&
                                      Folded(edit.Key) == Folded(probes[p].Key));
            }
            QEL_FUZZ_CHECK(touched || now[p] == before[p]);
        }
        // Writing the same batch again changes no byte and so does not replace the file.
        const std::string once = after;
        const std::size_t writes = files.WriteCount;
        QEL_FUZZ_CHECK(store.Write(kPath, edits).Ok());
        QEL_FUZZ_CHECK(files.Files[kPath] == once);
        QEL_FUZZ_CHECK(files.WriteCount == writes);
    }

    // The whole key map read over the original file: never a crash, every binding in range.
    files.ClearFailures();
    files.Files[kPath] = std::string(file);
    auto units = std::make_unique<qel::UnitStates>();
    qel::test::MemoryLog log;
    const qel::UsEnglishLayout layout;
    qel::KeyMapFile keyMap(kPath, *units, store, layout, log);
    keyMap.ReadAllKeys();
    for (const qel::BezelUnitState& bezel : units->BezelUnits) {
        for (const qel::ButtonState& button : bezel.Buttons)
            QEL_FUZZ_CHECK((button.Key & ~qel::kKeyCodeMask) == 0);
        for (const qel::RotaryState& rotary : bezel.Rotaries) {
            QEL_FUZZ_CHECK((rotary.DecrKey & ~qel::kKeyCodeMask) == 0 &&
                           (rotary.IncrKey & ~qel::kKeyCodeMask) == 0);
        }
    }
    return 0;
}
