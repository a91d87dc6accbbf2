#include "tools/replay/trace.h"

#include <gtest/gtest.h>

#include <string>

namespace qel::replay {
namespace {

TEST(TraceLine, BlankAndCommentLinesAreSkipped) {
    for (const char* line : {"", "   ", "\t", "# report 684 00 C1 01", "   #x", "\r"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(std::holds_alternative<BlankLine>(ParseTraceLine(line).Value()));
    }
}

TEST(TraceLine, ReportFillsTheBufferFromByteZeroAndZeroesTheRest) {
    auto line = ParseTraceLine("  report\t684  0 c1 Ff 7  \r");
    ASSERT_TRUE(line.Ok());
    const auto* report = std::get_if<ReportCommand>(&line.Value());
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->ProductId, 684);
    EXPECT_EQ(report->Buffer[0], 0x00);
    EXPECT_EQ(report->Buffer[1], 0xC1);
    EXPECT_EQ(report->Buffer[2], 0xFF);
    EXPECT_EQ(report->Buffer[3], 0x07);
    for (std::size_t i = 4; i < report->Buffer.size(); ++i) EXPECT_EQ(report->Buffer[i], 0);
}

TEST(TraceLine, ReportTakesExactly128BytesButNotMore) {
    std::string line = "report 684";
    for (int i = 0; i < 128; ++i) line += " 1";
    EXPECT_TRUE(std::holds_alternative<ReportCommand>(ParseTraceLine(line).Value()));
    line += " 1";
    EXPECT_FALSE(ParseTraceLine(line).Ok());
}

TEST(TraceLine, ProductIdsOutsideThePanelsAreValidButHugeOnesDoNotOverflow) {
    for (const char* line : {"report 1 00 C1", "report 99999999999999999999999 00 C1"}) {
        SCOPED_TRACE(line);
        auto parsed = ParseTraceLine(line);
        ASSERT_TRUE(parsed.Ok());
        const auto* report = std::get_if<ReportCommand>(&parsed.Value());
        ASSERT_NE(report, nullptr);
        EXPECT_FALSE(report->ProductId >= 684 && report->ProductId <= 689);
    }
}

// Leading zeros do not make a number larger: a long spelling of 684 is still a panel.
TEST(TraceLine, DecimalsWithManyLeadingZerosKeepTheirValue) {
    auto report = ParseTraceLine("report 00000000000000000000684 00 C1").Value();
    ASSERT_TRUE(std::holds_alternative<ReportCommand>(report));
    EXPECT_EQ(std::get<ReportCommand>(report).ProductId, 684);
    auto write = ParseTraceLine("write 0000000000000000000005 0000000000000000000035 70").Value();
    ASSERT_TRUE(std::holds_alternative<WriteCommand>(write));
    EXPECT_EQ(std::get<WriteCommand>(write).Unit.DeviceIndex(), 5);
    EXPECT_EQ(std::get<WriteCommand>(write).Slot, 35);
}

TEST(TraceLine, KeysWriteClearAllAndImportParse) {
    EXPECT_FALSE(std::get<KeysCommand>(ParseTraceLine("keys off").Value()).Enabled);
    EXPECT_TRUE(std::get<KeysCommand>(ParseTraceLine("keys on").Value()).Enabled);
    auto write = std::get<WriteCommand>(ParseTraceLine("write 5 35 7ff").Value());
    EXPECT_EQ(write.Unit.DeviceIndex(), 5);
    EXPECT_EQ(write.Slot, 35);
    EXPECT_EQ(write.Code, 0x7FF);
    EXPECT_TRUE(std::holds_alternative<ClearAllCommand>(ParseTraceLine("clear-all").Value()));
    EXPECT_EQ(
        std::get<ImportCommand>(ParseTraceLine("import  my dir/G1000.ini  ").Value()).FileName,
        "my dir/G1000.ini");
}

// Each malformed line must stop the replay with a reason rather than run something else.
TEST(TraceLine, MalformedLinesAreErrors) {
    const char* lines[] = {
        "press 684 00 C1",    // unknown word
        "Report 684 00 C1",   // words are case-sensitive
        "report",             // no product ID
        "report x684 00 C1",  // PID not a number
        "report -1 00 C1",    // PID not a number
        "report 684 100 C1",  // three hex digits
        "report 684 0g",      // not hex
        "keys",               // missing on/off
        "keys maybe",
        "keys on now",
        "write 6 0 70",  // DEV outside 0-5
        "write -1 0 70",
        "write 0 77 70",    // bezel slots are 0-76
        "write 4 36 70",    // audio slots are 0-35
        "write 4 6 70",     // unnamed audio position
        "write 5 31 70",    // unnamed audio position
        "write 0 0 800",    // CODE above 0x7FF
        "write 0 0 00070",  // more than four digits
        "write 0 0",        // missing CODE
        "write 0 0 70 1",   // extra word
        "clear-all now",
        "import",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        const auto parsed = ParseTraceLine(line);
        ASSERT_FALSE(parsed.Ok());
        EXPECT_FALSE(parsed.Error().empty());
    }
}

TEST(TraceLine, NamedAudioSlotsAndEveryBezelSlotAreWritable) {
    for (int slot = 0; slot < 77; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_TRUE(std::holds_alternative<WriteCommand>(
            ParseTraceLine("write 3 " + std::to_string(slot) + " 41").Value()));
    }
    int writable = 0;
    for (int slot = 0; slot < 36; ++slot) {
        writable += ParseTraceLine("write 4 " + std::to_string(slot) + " 41").Ok();
    }
    EXPECT_EQ(writable, 27);
}

}  // namespace
}  // namespace qel::replay
