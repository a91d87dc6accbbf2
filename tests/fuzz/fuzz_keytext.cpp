// Key text from arbitrary bytes: never more than a key byte and modifier bits, one log line
// per bad token at most, and whatever it gives survives a write and a read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "keymap/keytext.h"
#include "support/memory_log.h"
#include "translate/us_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const qel::UsEnglishLayout layout;
    qel::test::MemoryLog log;

    const qel::KeyCode code = qel::ParseKeyText(text, layout, log);
    QEL_FUZZ_CHECK((code & ~qel::kKeyCodeMask) == 0);

    const std::string_view used = text.substr(0, text.find('\0'));
    std::size_t tokens = used.empty() ? 0 : 1;
    for (char c : used) tokens += c == '+' ? 1 : 0;
    QEL_FUZZ_CHECK(log.Lines.size() <= tokens);
    for (const std::string& line : log.Lines) {
        QEL_FUZZ_CHECK(line.starts_with("Unknown key '") && line.ends_with("' found in config"));
    }

    qel::test::MemoryLog again;
    QEL_FUZZ_CHECK(qel::ParseKeyText(qel::KeyCodeToText(code, layout), layout, again) == code);
    return 0;
}
