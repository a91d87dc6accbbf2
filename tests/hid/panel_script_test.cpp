#include "hid/panel_script.h"

#include <gtest/gtest.h>

namespace qel::test {
namespace {

using Kind = ScriptEvent::Kind;

TEST(PanelScript, ReadsEveryEventKindWithItsTimeAndIds) {
    const PanelScript script = ParsePanelScript(
        "# demo\n"
        "\n"
        "at 0 plug 684\n"
        "  at 10 report 684 0 C1 ff 0A 1\n"
        "at 10 plug-other 1133 49963\n"
        "at 250 unplug 684\r\n");
    EXPECT_TRUE(script.Problems.empty());
    ASSERT_EQ(script.Events.size(), 4U);
    EXPECT_EQ(script.Events[0].What, Kind::Plug);
    EXPECT_EQ(script.Events[0].VendorId, 0x0D59);
    EXPECT_EQ(script.Events[0].ProductId, 684);
    EXPECT_EQ(script.Events[1].What, Kind::Report);
    EXPECT_EQ(script.Events[1].AtMs, 10U);
    EXPECT_EQ(script.Events[1].Bytes, (std::vector<std::uint8_t>{0x00, 0xC1, 0xFF, 0x0A, 0x01}));
    EXPECT_EQ(script.Events[2].What, Kind::PlugOther);
    EXPECT_EQ(script.Events[2].VendorId, 1133);
    EXPECT_EQ(script.Events[2].ProductId, 49963);
    EXPECT_EQ(script.Events[3].What, Kind::Unplug);
    EXPECT_EQ(script.Events[3].AtMs, 250U);
}

TEST(PanelScript, AMalformedLineIsNamedByItsNumberAndSkippedWhileTheRestPlays) {
    const std::string tooLong = [] {
        std::string line = "at 5 report 684";
        for (int i = 0; i < 129; ++i) {
            line += " 00";
        }
        return line;
    }();
    const std::vector<std::string> bad{
        "plug 684",       // no "at"
        "at x plug 684",  // bad time
        "at -1 plug 684",
        "at 5 plug",          // no product
        "at 5 plug 684 685",  // extra word
        "at 5 plug 0x2AC",    // product IDs are decimal
        "at 5 plug 70000",    // beyond 16 bits
        "at 5 plug -1",       // no sign
        "at 5 report 70000 0 C1",
        "at 5 report 0x2AC 0 C1",
        "at 5 unplug",
        "at 5 report 684",           // no bytes
        "at 5 report 684 0 C1 100",  // 3 hex digits
        "at 5 report 684 0 G1",
        tooLong,
        "at 5 plug-other 1133",
        "at 5 press 684",
        "at 1 plug 685",  // earlier than the line before
    };
    for (const std::string& line : bad) {
        SCOPED_TRACE(line.substr(0, 40));
        const PanelScript script =
            ParsePanelScript("at 2 plug 684\n# comment\n" + line + "\nat 9 unplug 684\n");
        ASSERT_EQ(script.Problems.size(), 1U);
        EXPECT_EQ(script.Problems[0].LineNumber, 3);
        EXPECT_FALSE(script.Problems[0].Reason.empty());
        ASSERT_EQ(script.Events.size(), 2U) << "the lines around it must still be used";
        EXPECT_EQ(script.Events[1].What, Kind::Unplug);
    }
}

TEST(PanelScript, AcceptsTheLongestReportAndEqualTimes) {
    std::string line = "at 5 report 689";
    for (int i = 0; i < 128; ++i) {
        line += " 7";
    }
    const PanelScript script = ParsePanelScript("at 5 plug 689\n" + line);
    EXPECT_TRUE(script.Problems.empty());
    ASSERT_EQ(script.Events.size(), 2U);
    EXPECT_EQ(script.Events[1].Bytes.size(), 128U);
}

}  // namespace
}  // namespace qel::test
