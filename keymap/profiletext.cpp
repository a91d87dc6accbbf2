#include "keymap/profiletext.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "keymap/utf16text.h"

namespace qel {
namespace {

constexpr std::string_view kUtf16ByteOrderMark = "\xFF\xFE";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kCr = "\r";
constexpr std::string_view kLf = "\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}
bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}
bool HasBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Names asked for by the caller lose spaces only: a TAB stays and then matches nothing.
std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The style for new lines: the first line break in the file, CRLF when there is none.
std::string_view LineBreakStyle(std::string_view text) {
    const std::size_t at = std::min(text.find('\r'), text.find('\n'));
    if (at == std::string_view::npos) return kCrLf;
    if (text[at] == '\n') return kLf;
    return (at + 1 < text.size() && text[at + 1] == '\n') ? kCrLf : kCr;
}

// Length of the single line break a non-empty run of CR and LF starts with.
std::size_t FirstBreakLength(std::string_view run) {
    return (run.size() >= 2 && run[0] == '\r' && run[1] == '\n') ? 2 : 1;
}

enum class LineKind { Ignored, Header, Key };

struct LineShape {
    LineKind Kind = LineKind::Ignored;
    std::string_view Name;
};

LineShape ShapeOf(std::string_view content) {
    std::size_t start = 0;
    while (start < content.size() && IsBlank(content[start])) ++start;
    const std::string_view line = content.substr(start);
    if (line.empty() || line.front() == ';') return {};
    if (line.front() == '[') {
        // Up to the first ']' only: "[S]k=v" is a header and nothing else.
        const std::string_view rest = line.substr(1);
        return {LineKind::Header, TrimBlanks(rest.substr(0, rest.find(']')))};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    return {LineKind::Key, TrimBlanks(line.substr(0, equals))};
}

// Where the old value starts: after the first '=' and the blanks that follow it.
std::size_t ValueStart(std::string_view keyLine) {
    std::size_t at = keyLine.find('=');
    assert(at != std::string_view::npos && "only key lines have values");
    ++at;
    while (at < keyLine.size() && IsBlank(keyLine[at])) ++at;
    return at;
}

std::string_view ValueOf(std::string_view keyLine) {
    std::string_view value = TrimBlanks(keyLine.substr(ValueStart(keyLine)));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

std::string Returned(std::string_view text, std::size_t size) {
    text = text.substr(0, text.find('\0'));
    const std::size_t room = size == 0 ? 0 : size - 1;
    return std::string(text.substr(0, std::min(room, text.size())));
}

}  // namespace

ProfileText::ProfileText(std::string bytes) {
    if (std::string_view(bytes).starts_with(kUtf16ByteOrderMark)) {
        Utf16 = true;
        std::string_view units = std::string_view(bytes).substr(kUtf16ByteOrderMark.size());
        if (units.size() % 2 != 0) {
            OddTail = std::string(units.substr(units.size() - 1));
            units.remove_suffix(1);
        }
        Parse(DecodeUtf16Le(units));
    } else {
        Parse(std::move(bytes));
    }
}

void ProfileText::Parse(std::string text) {
    Texts.clear();
    Lines.clear();
    Sections.clear();
    SectionIndex.Clear();
    KeyIndex.Clear();
    const std::string_view all = Texts.emplace_back(std::move(text));
    LineBreak = LineBreakStyle(all);

    // Lines[0] holds everything before the first header: it can never be read.
    Lines.push_back({});
    const std::size_t size = all.size();
    // The next CR and the next LF at or after the current position, found with memchr-speed
    // searches: a line of many megabytes costs no more than copying it.
    auto findFrom = [&all, size](char c, std::size_t from) {
        const std::size_t at = all.find(c, from);
        return at == std::string_view::npos ? size : at;
    };
    std::size_t nextCr = findFrom('\r', 0);
    std::size_t nextLf = findFrom('\n', 0);
    std::size_t position = 0;
    while (position < size) {
        if (nextCr < position) nextCr = findFrom('\r', position);
        if (nextLf < position) nextLf = findFrom('\n', position);
        std::size_t end = std::min(nextCr, nextLf);
        const std::string_view content = all.substr(position, end - position);
        const LineShape shape = ShapeOf(content);
        const std::size_t lineIndex = Lines.size();
        if (shape.Kind == LineKind::Header) {
            const std::size_t sectionIndex = Sections.size();
            Section& section = Sections.emplace_back();
            section.Header = section.Anchor = lineIndex;
            section.Searched = SectionIndex.TryAdd(0, shape.Name, sectionIndex);
            Lines.push_back({content, {}});
        } else if (shape.Kind == LineKind::Key && !Sections.empty()) {
            const std::size_t sectionIndex = Sections.size() - 1;
            Section& section = Sections.back();
            section.Anchor = lineIndex;
            if (section.Searched) {
                KeyIndex.TryAdd(sectionIndex, shape.Name, KeyPlace{sectionIndex, lineIndex, false});
            }
            Lines.push_back({content, {}});
        }
        while (end < size && IsBreak(all[end])) ++end;
        position = end;
    }
    // Each line's trailer runs from the end of its content to the start of the next line.
    auto offsetOf = [&all](std::string_view part) {
        return static_cast<std::size_t>(part.data() - all.data());
    };
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const std::size_t from = i == 0 ? 0 : offsetOf(Lines[i].Content) + Lines[i].Content.size();
        const std::size_t to = i + 1 < Lines.size() ? offsetOf(Lines[i + 1].Content) : size;
        Lines[i].Trailer = all.substr(from, to - from);
    }
    for (std::size_t s = 0; s < Sections.size(); ++s) {
        Sections[s].End = s + 1 < Sections.size() ? Sections[s + 1].Header : Lines.size();
    }
}

void ProfileText::Reparse() {
    std::string text = Text();
    Parse(std::move(text));
}

std::string ProfileText::Text() const {
    // Sized up front: growing a string of many megabytes piece by piece copies it repeatedly.
    std::size_t size = 0;
    for (const Line& line : Lines) size += line.Content.size() + line.Trailer.size();
    for (const Section& section : Sections) {
        for (const Line& added : section.Added) size += added.Content.size() + added.Trailer.size();
    }
    std::string out;
    out.reserve(size);
    auto append = [&out](const Line& line) {
        out += line.Content;
        out += line.Trailer;
    };
    append(Lines.front());
    for (const Section& section : Sections) {
        for (std::size_t i = section.Header; i < section.End; ++i) {
            const Line& line = Lines[i];
            if (i != section.Anchor || section.Added.empty()) {
                append(line);
                continue;
            }
            // New keys go right after the anchor's own line break; blank lines and comments
            // that followed it stay after them.
            const std::size_t cut = FirstBreakLength(line.Trailer);
            out += line.Content;
            out += line.Trailer.substr(0, cut);
            for (const Line& added : section.Added) append(added);
            out += line.Trailer.substr(cut);
        }
    }
    return out;
}

const ProfileText::KeyPlace* ProfileText::FindKey(std::string_view section,
                                                  std::string_view key) const {
    const std::size_t* found = SectionIndex.Find(0, section);
    return found ? KeyIndex.Find(*found, key) : nullptr;
}

ProfileText::Line& ProfileText::LineAt(const KeyPlace& place) {
    return place.IsAdded ? Sections[place.Section].Added[place.Index] : Lines[place.Index];
}

const ProfileText::Line& ProfileText::LineAt(const KeyPlace& place) const {
    return place.IsAdded ? Sections[place.Section].Added[place.Index] : Lines[place.Index];
}

std::string_view ProfileText::Own(std::string text) {
    return Texts.emplace_back(std::move(text));
}

void ProfileText::EndWithBreak(Line& line) {
    if (line.Trailer.empty()) {
        line.Trailer = LineBreak;
    } else if (!IsBreak(line.Trailer.back())) {
        line.Trailer = Own(std::string(line.Trailer) + std::string(LineBreak));
    }
}

std::string ProfileText::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t size) const {
    if (const KeyPlace* place = FindKey(TrimSpaces(section), TrimSpaces(key))) {
        return Returned(ValueOf(LineAt(*place).Content), size);
    }
    while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
    return Returned(defaultValue, size);
}

bool ProfileText::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (HasBreakOrNul(section) || HasBreakOrNul(key) || HasBreakOrNul(value)) return false;
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    bool indexExact = true;
    if (const std::size_t* found = SectionIndex.Find(0, section); !found) {
        indexExact = AddSection(section, key, value);
    } else if (const KeyPlace* place = KeyIndex.Find(*found, key)) {
        ReplaceValue(*place, value);
    } else {
        indexExact = AddKey(*found, key, value);
    }
    // A name that does not read back as itself ("a=b" as a key, "[x" as a key, "a]b" as a
    // section) changes the file's structure; parsing the result again keeps every later edit
    // of the batch exactly as it would be on the file written so far.
    if (!indexExact) Reparse();
    return true;
}

void ProfileText::Flatten() {
    // Keys added in this batch sit beside the parsed lines; parsed again, every line is in
    // Lines, so one can be dropped without disturbing what was added around it.
    for (const Section& section : Sections) {
        if (!section.Added.empty()) {
            Reparse();
            return;
        }
    }
}

void ProfileText::DropLine(Line& line) {
    // The trailer starts with the line's own break; the ignored lines after it stay.
    if (!line.Trailer.empty()) line.Trailer.remove_prefix(FirstBreakLength(line.Trailer));
    line.Content = {};
}

void ProfileText::DeleteKey(std::string_view section, std::string_view key) {
    Flatten();
    const KeyPlace* place = FindKey(TrimSpaces(section), TrimSpaces(key));
    if (place == nullptr) return;
    DropLine(Lines[place->Index]);
    Reparse();
}

void ProfileText::DeleteSection(std::string_view section) {
    Flatten();
    section = TrimSpaces(section);
    bool dropped = false;
    for (const Section& found : Sections) {
        if (!FoldedIndex<std::size_t>::EqualFolded(ShapeOf(Lines[found.Header].Content).Name,
                                                   section)) {
            continue;
        }
        for (std::size_t i = found.Header; i < found.End; ++i) {
            Lines[i] = Line{};
        }
        dropped = true;
    }
    if (dropped) Reparse();
}

void ProfileText::ReplaceValue(const KeyPlace& place, std::string_view value) {
    Line& line = LineAt(place);
    std::string content(line.Content.substr(0, ValueStart(line.Content)));
    content += value;
    line.Content = Own(std::move(content));
    if (line.Trailer.empty()) line.Trailer = LineBreak;
}

bool ProfileText::AddKey(std::size_t sectionIndex, std::string_view key, std::string_view value) {
    Section& section = Sections[sectionIndex];
    if (section.Added.empty() && Lines[section.Anchor].Trailer.empty()) {
        Lines[section.Anchor].Trailer = LineBreak;
    }
    std::string text(key);
    text += '=';
    text += value;
    const std::string_view content = Own(std::move(text));
    section.Added.push_back({content, LineBreak});
    const LineShape shape = ShapeOf(content);
    if (shape.Kind != LineKind::Key || shape.Name != key) return false;
    KeyIndex.TryAdd(sectionIndex, shape.Name,
                    KeyPlace{sectionIndex, section.Added.size() - 1, true});
    return true;
}

bool ProfileText::AddSection(std::string_view section, std::string_view key,
                             std::string_view value) {
    // The new section starts on a line of its own, with no blank line before it.
    Line& last = Lines.back();
    if (!last.Content.empty() || !last.Trailer.empty()) EndWithBreak(last);

    std::string header = "[";
    header += section;
    header += ']';
    const std::string_view content = Own(std::move(header));
    const std::size_t sectionIndex = Sections.size();
    const std::size_t lineIndex = Lines.size();
    Lines.push_back({content, LineBreak});
    Section& added = Sections.emplace_back();
    added.Header = added.Anchor = lineIndex;
    added.End = lineIndex + 1;
    added.Searched = true;

    const LineShape shape = ShapeOf(content);
    const bool exact = shape.Kind == LineKind::Header && shape.Name == section;
    if (exact) SectionIndex.TryAdd(0, shape.Name, sectionIndex);
    return AddKey(sectionIndex, key, value) && exact;
}

std::string ProfileText::Bytes() const {
    if (!Utf16) return Text();
    std::string bytes(kUtf16ByteOrderMark);
    bytes += EncodeUtf16Le(Text());
    bytes += OddTail;
    return bytes;
}

}  // namespace qel
