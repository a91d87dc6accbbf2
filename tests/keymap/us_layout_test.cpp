#include "keymap/us_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qel::test {
namespace {

struct ScanCase {
    unsigned char Character;
    std::uint16_t Expected;
};

TEST(UsEnglishLayout, AnswersAsVkKeyScanDoesForTheUsLayout) {
    const std::vector<ScanCase> cases = {
        {'a', 0x0041}, {'A', 0x0141}, {'z', 0x005A}, {'Z', 0x015A}, {'0', 0x0030},
        {'9', 0x0039}, {'!', 0x0131}, {'@', 0x0132}, {' ', 0x0020},
        // First match wins: never the numpad's multiply and add keys.
        {'*', 0x0138}, {'+', 0x01BB}, {'\\', 0x00DC}, {'|', 0x01DC}, {'~', 0x01C0},
        {0x00, 0x0332}, {0x01, 0x0241}, {0x03, 0x0003}, {0x08, 0x0008}, {0x0A, 0x020D},
        {0x0D, 0x000D}, {0x1B, 0x001B}, {0x1F, 0x03BD}, {0x7F, 0x0208},
        {0x80, 0xFFFF}, {0xE9, 0xFFFF}, {0xFF, 0xFFFF},
    };
    const UsEnglishLayout layout;
    for (const ScanCase& c : cases) {
        SCOPED_TRACE("character " + std::to_string(c.Character));
        EXPECT_EQ(layout.VkKeyScan(static_cast<char>(c.Character)), c.Expected);
    }
}

}  // namespace
}  // namespace qel::test
