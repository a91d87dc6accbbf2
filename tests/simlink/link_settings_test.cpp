#include "simlink/link_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "keymap/ini_profile_store.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "support/unit_ids.h"

namespace qel {
namespace {

constexpr const char* kPath = "keymap.ini";

LinkSettings Read(test::MemoryFileAccess& files, test::MemoryLog& log) {
    IniProfileStore store(files);
    return ReadLinkSettings(*store.Read(kPath).Value(), log);
}

TEST(LinkSettingsRead, EveryKeyInAnyCaseAndEachBadValueGivesItsDefaultWithOneLine) {
    struct Case {
        const char* Name;
        std::string File;
        std::function<void(LinkSettings&)> Expect;  // applied to the defaults
        std::string Lines;                          // each ending in '\n'
    };
    const std::string kBad = "keymap.ini [simulator]: ";
    const std::vector<Case> cases = {
        {"no section: no link", "[qel_1000_0]\nsoftkey_1=F1\n", [](LinkSettings&) {}, ""},
        {"every key, names in any case, only the chosen simulator's commands",
         "[simulator]\nlink=XPlane\nhost=sim.local\nport=49001\ntransport=WEB\nweb_port=8087\n"
         "qel_1000_0=MFD\nqel_1000_1=pfd\nqel_1000_2=none\nqel_1000_3=Copilot_PFD\n"
         "qel_audio_0=copilot\nqel_audio_1=NONE\nfg_pfd=4\nfg_mfd=5\nfg_copilot_pfd=0\n"
         "[flightgear_commands]\nqel_1000_0.clr=other\n[xplane_commands]\n"
         "qel_audio_1.com1_mic=sim/b\nqel_1000_0.softkey_3=sim/a\nqel_1000_1.hdg_incr=\n",
         [](LinkSettings& s) {
             s.Link = SimulatorKind::XPlane;
             s.Host = "sim.local";
             std::tie(s.Port, s.Transport, s.WebPort) =
                 std::tuple(49001, XPlaneTransport::Web, 8087);
             s.Roles = {UnitRole::Mfd,        UnitRole::Pfd,     UnitRole::None,
                        UnitRole::CopilotPfd, UnitRole::Copilot, UnitRole::None};
             s.FlightGearDevices = {4, 5, 0};
             s.Commands = {{test::BezelUnit(0), "softkey_3", "sim/a"},
                           {test::AudioUnit(1), "com1_mic", "sim/b"}};
         },
         ""},
        {"each bad value; FlightGear's port and commands",
         "[simulator]\nlink=flightgear\nport=70000\ntransport=tcp\nweb_port=0\n"
         "qel_1000_0=pilot\nqel_audio_0=pfd\nfg_mfd=x\nfg_pfd=1000\n[xplane_commands]\n"
         "qel_1000_0.clr=x\n[flightgear_commands]\nqel_1000_1.range_pan_ne=fg\n",
         [](LinkSettings& s) {
             s.Link = SimulatorKind::FlightGear;
             s.Port = kFlightGearPort;
             s.Commands = {{test::BezelUnit(1), "range_pan_ne", "fg"}};
         },
         "bad port '70000' (1-65535), using 5401\nunknown transport 'tcp', using udp\n"
         "bad web_port '0' (1-65535), using 8086\nunknown qel_1000_0 'pilot', using pfd\n"
         "unknown qel_audio_0 'pfd', using pilot\nbad fg_pfd '1000' (0-999), using 1\n"
         "bad fg_mfd 'x' (0-999), using 2\n"},
        {"an unknown link is no link: only it is reported",
         "[simulator]\nlink=foo\nport=-1\n[xplane_commands]\nqel_1000_0.clr=x\n",
         [](LinkSettings&) {}, "unknown link 'foo', using none\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        test::MemoryFileAccess files;
        files.Files[kPath] = c.File;
        test::MemoryLog log;
        LinkSettings expected;
        c.Expect(expected);
        EXPECT_EQ(Read(files, log), expected);
        std::string lines;
        for (const std::string& line : log.Lines) {
            lines += (line.starts_with(kBad) ? line.substr(kBad.size()) : "?" + line) + "\n";
        }
        EXPECT_EQ(lines, c.Lines);
    }
}

TEST(LinkSettingsEdits, RoundTripReplacesOnlyTheChosenSimulatorsCommands) {
    test::MemoryFileAccess files;
    const std::string units = "[qel_1000_0]\r\nsoftkey_1=F1\r\n";
    const std::string other = "[flightgear_commands]\r\nqel_1000_0.clr=kept\r\n";
    files.Files[kPath] = units + "[xplane_commands]\r\nqel_1000_0.menu=removed\r\n" + other;

    LinkSettings settings;
    settings.Link = SimulatorKind::XPlane;
    settings.Host = " ::1";  // blanks and quotes the file would strip come back as they were
    settings.Transport = XPlaneTransport::Web;
    settings.Roles = {UnitRole::None, UnitRole::CopilotPfd, UnitRole::Pfd,
                      UnitRole::Mfd,  UnitRole::Copilot,    UnitRole::None};
    settings.Commands = {{test::BezelUnit(0), "softkey_3", "\"quoted\""},
                         {test::AudioUnit(0), "pilot_incr", "sim/x"}};
    IniProfileStore store(files);
    ASSERT_TRUE(store.Write(kPath, LinkSettingsEdits(settings)).Ok());

    test::MemoryLog log;
    EXPECT_EQ(Read(files, log), settings);
    const std::string& file = files.Files[kPath];
    EXPECT_TRUE(file.starts_with(units)) << file;
    EXPECT_NE(file.find(other), std::string::npos) << file;
    EXPECT_EQ(file.find("removed"), std::string::npos) << file;
}

}  // namespace
}  // namespace qel
