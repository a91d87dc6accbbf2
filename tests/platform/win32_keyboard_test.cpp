// The Win32 keyboard calls themselves, under the US layout (Wine's default, or a US Windows): the
// layout lookup against our US table, and the layout's scan codes against our standard keys.
#include <windows.h>
// windows.h makes VkKeyScan a macro for VkKeyScanA, which would rename KeyLayout's member.
#undef VkKeyScan

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "platform/key_layout_factory.h"
#include "platform/win32_injector.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

constexpr WORD kUsEnglish = 0x0409;

bool UsLayoutActive() {
    return LOWORD(reinterpret_cast<ULONG_PTR>(::GetKeyboardLayout(0))) == kUsEnglish;
}

TEST(Win32KeyLayout, AgreesWithTheBuiltInUsTableOnEveryCharacterAndKey) {
    ASSERT_TRUE(UsLayoutActive()) << "the comparison needs the US layout";
    const std::unique_ptr<KeyLayout> windows = CreateKeyLayout();
    const UsEnglishLayout ours;
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE(::testing::Message() << "character 0x" << std::hex << c);
        const char character = static_cast<char>(c);
        EXPECT_EQ(windows->VkKeyScan(character), ours.VkKeyScan(character));
        const auto key = static_cast<std::uint8_t>(c);
        EXPECT_EQ(windows->UnshiftedCharacter(key), ours.UnshiftedCharacter(key));
    }
}

TEST(StandardScanCode, AgreesWithTheUsLayoutWhereverTheLayoutNamesAKey) {
    ASSERT_TRUE(UsLayoutActive()) << "the comparison needs the US layout";
    // Print Screen's own make code is E0 37; the layout answers with Alt+SysRq's, which Windows
    // takes for the same key. The injector sends the layout's answer, without the extended flag.
    const std::map<int, std::uint32_t> layoutDiffers = {{VK_SNAPSHOT, 0x54}};
    std::vector<int> layoutLacks;
    for (int vk = 1; vk < 256; ++vk) {
        const ScanCode ours = StandardScanCode(static_cast<std::uint8_t>(vk));
        const std::uint32_t layout = ::MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
        if (ours.Code == 0) continue;
        if (layout == 0) {
            layoutLacks.push_back(vk);
            continue;
        }
        SCOPED_TRACE(::testing::Message() << "vk 0x" << std::hex << vk);
        const auto differs = layoutDiffers.find(vk);
        EXPECT_EQ(layout, differs == layoutDiffers.end() ? ours.Code : differs->second);
    }
    // Not a failure: the injector sends the standard code for these. Wine's headless layout
    // lacks Pause and keypad Separator; with its X11 driver, the keypad too.
    std::cout << "keys the layout gives no scan code:" << std::hex;
    for (const int vk : layoutLacks) std::cout << " 0x" << vk;
    std::cout << std::dec << '\n';
}

}  // namespace
}  // namespace qel::test
