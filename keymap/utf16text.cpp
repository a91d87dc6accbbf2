#include "keymap/utf16text.h"

#include <cstddef>
#include <cstdint>

namespace qel {
namespace {

constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kFirstSupplementary = 0x10000;

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void AppendUnit(std::string& out, char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
}

std::uint8_t ByteAt(std::string_view text, std::size_t i) {
    return static_cast<std::uint8_t>(text[i]);
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when it is not valid.
// Surrogate code points are accepted on purpose (see the header).
std::size_t DecodeUtf8At(std::string_view text, std::size_t i, char32_t& codePoint) {
    const std::uint8_t lead = ByteAt(text, i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const std::uint8_t next = ByteAt(text, i + k);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
    return length;
}

}  // namespace

std::string DecodeUtf16Le(std::string_view units) {
    std::string out;
    out.reserve(units.size());
    const std::size_t count = units.size() / 2;
    auto unitAt = [&](std::size_t k) -> char32_t {
        return static_cast<char32_t>(ByteAt(units, 2 * k) | (ByteAt(units, 2 * k + 1) << 8));
    };
    for (std::size_t k = 0; k < count; ++k) {
        const char32_t unit = unitAt(k);
        if (unit >= kHighSurrogateFirst && unit < kLowSurrogateFirst && k + 1 < count) {
            const char32_t low = unitAt(k + 1);
            if (low >= kLowSurrogateFirst && low < kSurrogateEnd) {
                AppendUtf8(out, kFirstSupplementary + ((unit - kHighSurrogateFirst) << 10) +
                                    (low - kLowSurrogateFirst));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::string EncodeUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t codePoint = 0;
        std::size_t length = DecodeUtf8At(text, i, codePoint);
        if (length == 0) {
            codePoint = ByteAt(text, i);
            length = 1;
        }
        i += length;
        if (codePoint >= kFirstSupplementary) {
            const char32_t offset = codePoint - kFirstSupplementary;
            AppendUnit(out, kHighSurrogateFirst + (offset >> 10));
            AppendUnit(out, kLowSurrogateFirst + (offset & 0x3FF));
        } else {
            AppendUnit(out, codePoint);
        }
    }
    return out;
}

}  // namespace qel
