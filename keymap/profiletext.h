#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "keymap/foldedindex.h"

namespace qel {

// The content of one profile file, parsed once, with the lookup of GetPrivateProfileStringA and
// the edit of WritePrivateProfileStringA. Pure text work: no files, no clock.
//
// Lines end at any run of CR and LF; a line is a section header ("[name]"), a comment (";"),
// a key line ("key=value") or ignored. A file starting FF FE is UTF-16LE and stays so.
// Lookups cost one hash probe each, so a view of a large file answers many reads cheaply.
// Not copyable: it hands out nothing that points into itself.
class ProfileText {
public:
    // bytes: the whole file as stored; empty for a missing file.
    explicit ProfileText(std::string bytes = {});
    ProfileText(const ProfileText&) = delete;
    ProfileText& operator=(const ProfileText&) = delete;

    // The value of key in the first section called section (names trimmed of spaces, ASCII case
    // ignored), with blanks and one pair of matching quotes removed; defaultValue without its
    // trailing spaces when there is no such key. Cut at the first NUL, at most size - 1 chars.
    [[nodiscard]] std::string GetString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue, std::size_t size) const;

    // One WritePrivateProfileStringA(section, key, value): replaces the value in place, adds the
    // key after the last key line of the section, or appends the section at the end. Every byte
    // not involved stays as it was. Returns false, changing nothing, when section, key or value
    // holds CR, LF or NUL: such text would make lines of its own (or was cut short) instead of
    // being stored as given.
    [[nodiscard]] bool WriteString(std::string_view section, std::string_view key,
                                   std::string_view value);

    // One WritePrivateProfileStringA(section, key, NULL): the key's line goes with its line
    // break; comments and blank lines after it stay. A missing key changes nothing.
    void DeleteKey(std::string_view section, std::string_view key);
    // The section's header and every line up to the next header go. Unlike
    // WritePrivateProfileStringA(section, NULL, NULL) this takes every section of the name, so a
    // second one left behind cannot be read in its place.
    void DeleteSection(std::string_view section);

    // The file content as it stands, in the file's own encoding.
    [[nodiscard]] std::string Bytes() const;

private:
    // A section header or key line (Content, from the start of the line to its break) and
    // everything up to the next such line (Trailer: the break, then ignored lines verbatim).
    // Trailer is empty only for the last line of a file without a final line break.
    struct Line {
        std::string_view Content;
        std::string_view Trailer;
    };
    struct Section {
        std::size_t Header = 0;   // index in Lines
        std::size_t End = 0;      // one past its last line in Lines
        std::size_t Anchor = 0;   // its last key line, or Header: new keys go after it
        bool Searched = false;    // the first section of its name: the only one looked at
        std::vector<Line> Added;  // key lines added after Anchor, in order
    };
    struct KeyPlace {
        std::size_t Section = 0;
        std::size_t Index = 0;  // in Lines, or in the section's Added when IsAdded
        bool IsAdded = false;
    };

    void Parse(std::string text);
    void Reparse();
    void Flatten();
    static void DropLine(Line& line);
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] const KeyPlace* FindKey(std::string_view section, std::string_view key) const;
    [[nodiscard]] Line& LineAt(const KeyPlace& place);
    [[nodiscard]] const Line& LineAt(const KeyPlace& place) const;
    std::string_view Own(std::string text);
    void EndWithBreak(Line& line);
    void ReplaceValue(const KeyPlace& place, std::string_view value);
    [[nodiscard]] bool AddKey(std::size_t section, std::string_view key, std::string_view value);
    [[nodiscard]] bool AddSection(std::string_view section, std::string_view key,
                                  std::string_view value);

    bool Utf16 = false;
    std::string OddTail;            // a UTF-16 file's unpaired last byte, kept at the end
    std::string_view LineBreak;     // the file's own line-ending style, for new lines
    std::deque<std::string> Texts;  // the parsed text and every edited line; never moves
    std::vector<Line> Lines;        // Lines[0]: Content empty, Trailer all before the first header
    std::vector<Section> Sections;
    FoldedIndex<std::size_t> SectionIndex;  // scope 0: name -> first section of that name
    FoldedIndex<KeyPlace> KeyIndex;         // scope: section; only first sections are indexed
};

}  // namespace qel
