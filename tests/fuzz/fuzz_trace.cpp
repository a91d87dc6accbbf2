// The qel1000replay trace reader on arbitrary text, one line at a time, and every command it
// accepts run through a replay session over a key map held in memory. Parsed commands stay
// within their ranges; the session never fails on a command the reader accepted.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz_check.h"
#include "keymap/bindingslot.h"
#include "keymap/ini_profile_store.h"
#include "support/memory_file_access.h"
#include "tools/replay/session.h"
#include "tools/replay/trace.h"

namespace {

class NullBuffer final : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

constexpr std::string_view kKeyMap =
    "[qel_1000_0]\r\nmenu=F1\r\nnav_in_incr=SHIFT+A\r\nnav_in_decr=CTRL+B\r\nrange_pan_n=UP\r\n"
    "range_push=ENTER\r\n[qel_audio_0]\r\ncom1=ALT+1\r\npilot_incr=PLUS\r\n";

void CheckParsed(const qel::replay::TraceLine& line) {
    using namespace qel::replay;
    if (const auto* write = std::get_if<WriteCommand>(&line)) {
        QEL_FUZZ_CHECK(write->Unit.IsValid());
        QEL_FUZZ_CHECK(qel::IsNamedBindingSlot(write->Unit, write->Slot));
        QEL_FUZZ_CHECK(write->Code >= 0 && write->Code <= qel::kKeyCodeMask);
    } else if (const auto* import = std::get_if<ImportCommand>(&line)) {
        QEL_FUZZ_CHECK(!import->FileName.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qel::test::MemoryFileAccess files;
    files.Files["keymap.ini"] = std::string(kKeyMap);
    files.Files["G1000.ini"] = "[KEYBOARD]\r\nPFD_MENU=F2\r\nHDG_INCR=SHIFT+H\r\n";
    qel::IniProfileStore store(files);
    NullBuffer sink;
    std::ostream out(&sink);
    qel::replay::ReplaySession session("keymap.ini", store, out);

    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const qel::Result<qel::replay::TraceLine> parsed =
            qel::replay::ParseTraceLine(text.substr(start, end - start));
        if (!parsed) {
            QEL_FUZZ_CHECK(!parsed.Error().empty());
        } else {
            const qel::replay::TraceLine& line = parsed.Value();
            CheckParsed(line);
            // An import looks for its file on the disk; the session is driven without one so
            // that a run depends on its input alone.
            if (!std::holds_alternative<qel::replay::ImportCommand>(line)) {
                QEL_FUZZ_CHECK(session.Run(line).Ok());
            }
        }
        start = end + 1;
    }
    for (const qel::BezelUnitState& bezel : session.Units().BezelUnits) {
        for (const qel::RotaryState& rotary : bezel.Rotaries)
            QEL_FUZZ_CHECK(rotary.Pending >= -9 && rotary.Pending <= 9);
    }
    return 0;
}
