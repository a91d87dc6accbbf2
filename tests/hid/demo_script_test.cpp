// The shipped demo script, played on the manual clock through the whole panel path into the
// real translator: it must parse cleanly and produce the presses, steps and directions it claims.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "hid/hidlibrary_factory.h"
#include "hid/panel_script.h"
#include "panel_fixture.h"
#include "support/memory_log.h"
#include "support/recording_injector.h"
#include "translate/keygate.h"
#include "translate/translator.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

std::string ReadDemoScript() {
    std::ifstream file(std::string(QEL_SOURCE_DIR) + "/examples/demo-panels.script");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool AnyLineHas(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

TEST(DemoScript, ParsesCleanlyAndDrivesPressesKnobsAndTheJoystickThroughTheTranslator) {
    const PanelScript script = ParsePanelScript(ReadDemoScript());
    ASSERT_FALSE(script.Events.empty()) << "examples/demo-panels.script not found or empty";
    for (const ScriptProblem& problem : script.Problems) {
        ADD_FAILURE() << "line " << problem.LineNumber << ": " << problem.Reason;
    }

    UnitStates units;
    AssignCatalogueNames(units);
    units.BezelUnits[0].Buttons[13].Key = 'X';  // softkey_1
    RecordingInjector injector;
    MemoryLog log;
    FlagKeyGate gate;
    const UsEnglishLayout layout;
    InputTranslator translator(units, injector, log, gate, layout);

    PanelRig rig(script.Events);
    rig.Hook = std::make_unique<HidHook>(
        *rig.Device, rig.View,
        [&](UnitId unit, ReceiveBuffer buffer) { translator.DecodeReport(unit, buffer); });
    for (std::uint32_t ms = 0; ms <= script.Events.back().AtMs; ms += 10) {
        rig.Panels->AdvanceTo(ms);
        rig.Drain();
    }

    for (const char* control :
         {"'softkey_1'", "'softkey_3'", "'direct_to'", "'ent'", "'hdg'", "'com_in'",
          "'range_pan_n'", "'range_pan_nw'", "'range_push'", "'com1'", "'pa'", "'pilot'"}) {
        EXPECT_TRUE(AnyLineHas(log.Lines, control)) << control;
    }
    EXPECT_NE(std::find(injector.Events.begin(), injector.Events.end(), Down('X')),
              injector.Events.end());
    EXPECT_EQ(rig.View.Captions[0], "QEL1000-0: Connected");
    EXPECT_EQ(rig.View.Captions[4], "QELAudio-0: Connected");
    EXPECT_EQ(rig.Hook->ConnectedCount, 2) << "the other maker's device is not counted";
}

}  // namespace
}  // namespace qel::test

namespace qel::test {
namespace {

TEST(VirtualPanelsFromFile, AScriptThatCannotBeReadIsAStartFailureNamingFileAndReason) {
    const std::string folder = std::string(QEL_SOURCE_DIR) + "/examples";
    const std::string missing = folder + "/no-such.script";
    struct Case {
        std::string Path;
        std::string Error;
    };
    for (const Case& c :
         {Case{missing, "Virtual panels: " + missing + ": cannot read (No such file or directory)"},
          Case{folder, "Virtual panels: " + folder + ": cannot read (Is a directory)"}}) {
        SCOPED_TRACE(c.Path);
        MemoryLog log;
        const HidLibraryLoad load = CreateVirtualPanelsFromFile(log, c.Path);
        ASSERT_FALSE(load.Ok());
        EXPECT_EQ(load.Error(), c.Error);
        EXPECT_EQ(log.Lines, std::vector<std::string>{c.Error});
    }
}

}  // namespace
}  // namespace qel::test
