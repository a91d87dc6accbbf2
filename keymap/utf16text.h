#pragma once

#include <string>
#include <string_view>

namespace qel {

// UTF-16LE file content <-> the 8-bit text the profile rules work on.
//
// DecodeUtf16Le takes code units (an even number of bytes, no byte order mark) and gives UTF-8;
// an unpaired surrogate is kept as its own three-byte sequence, so that EncodeUtf16Le gives
// back exactly the units it was given. EncodeUtf16Le reads UTF-8 (and those surrogate
// sequences); a byte that starts no valid sequence stands for the character of the same number
// (Latin-1), so any text can be encoded.
[[nodiscard]] std::string DecodeUtf16Le(std::string_view units);
[[nodiscard]] std::string EncodeUtf16Le(std::string_view text);

}  // namespace qel
