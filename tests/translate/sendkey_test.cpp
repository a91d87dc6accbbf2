#include <gtest/gtest.h>

#include <vector>

#include "support/recording_injector.h"
#include "translate/sendkey.h"

namespace qel::test {
namespace {

TEST(SendKey, SendsWholeKeystrokeOnPressWithModifiersReleasedInPressOrder) {
    struct Case {
        KeyCode Code;
        bool Pressed;
        std::vector<KeyEventRecord> Events;
    };
    const Case cases[] = {
        {0x0070, true, {Down(0x70), Up(0x70)}},
        {0x0641, true, {Down(0x11), Down(0x12), Down(0x41), Up(0x41), Up(0x11), Up(0x12)}},
        {0x0741,
         true,
         {Down(0x10), Down(0x11), Down(0x12), Down(0x41), Up(0x41), Up(0x10), Up(0x11), Up(0x12)}},
        // Modifiers alone are a binding: the key byte 0 goes out between them.
        {0x0100, true, {Down(0x10), Down(0x00), Up(0x00), Up(0x10)}},
        {0x0000, true, {}},
        // A release never sends anything: the key went up with the press.
        {0x0070, false, {}},
        {0x0641, false, {}},
        {0x0000, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "code 0x" << std::hex << c.Code << " pressed " << c.Pressed);
        RecordingInjector injector;
        SendKey(injector, c.Code, c.Pressed);
        EXPECT_EQ(injector.Events, c.Events);
    }
}

}  // namespace
}  // namespace qel::test
