// The mcHID.dll loader under the real Windows calls (Wine on the build machines): with our own
// DLL playing virtual panels, with our DLL watching for real panels, with no DLL at all and
// with stubs: one lacking a name, one posting messages of every kind.
#include "hid/mchid_library.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "hid/mchid_abi.h"
#include "core/device.h"
#include "support/memory_log.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

using namespace std::chrono_literals;

constexpr HidEvent kPlugged = HidEvent::Plugged;
constexpr HidEvent kUnplugged = HidEvent::Unplugged;
constexpr HidEvent kChanged = HidEvent::Changed;
constexpr const char* kWritesVariable = "QEL1000_VIRTUAL_WRITES";

std::string TestFolder() {
    std::array<char, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    const std::string program(path.data(), length);
    return program.substr(0, program.find_last_of("\\/"));
}

// Dispatches the thread's window messages until done() holds or limit has passed.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::size_t CountOf(const std::vector<HidNotification>& seen, HidEvent event) {
    return static_cast<std::size_t>(std::count_if(
        seen.begin(), seen.end(), [event](const HidNotification& n) { return n.Event == event; }));
}

InputReport ReportOf(std::initializer_list<std::uint8_t> bytes) {
    InputReport report{};
    std::copy(bytes.begin(), bytes.end(), report.begin());
    return report;
}

class McHidLoader : public ::testing::Test {
protected:
    void TearDown() override {
        SetDllDirectoryA(nullptr);
        SetEnvironmentVariableA(kVirtualPanelsVariable, nullptr);
        SetEnvironmentVariableA(kWritesVariable, nullptr);
    }

    // The DLL is searched for in folder (beside the test program) after the program's own.
    static void SearchDllIn(const std::string& folder) {
        ASSERT_TRUE(SetDllDirectoryA((TestFolder() + "\\" + folder).c_str()));
    }

    static std::string WriteFile(const std::string& name, const std::string& text) {
        const std::string path = TestFolder() + "\\" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    MemoryLog Log;
};

TEST_F(McHidLoader, OurDllPlaysVirtualPanelsThroughTheWindowInOrderAndTakesWritesFromSixThreads) {
    const std::string script = WriteFile("mchid_loader_test.script",
                                         "at 0 plug 684\n"
                                         "at 1500 report 684 00 C1 01 02 03\n"
                                         "at 1500 report 684 00 C2 FF\n"
                                         "at 1600 plug 688\n"
                                         "at 1700 unplug 684\n"
                                         "at 600000 plug 685\n");
    const std::string writes = TestFolder() + "\\mchid_loader_test.writes";
    DeleteFileA(writes.c_str());
    SetEnvironmentVariableA(kVirtualPanelsVariable, script.c_str());
    SetEnvironmentVariableA(kWritesVariable, writes.c_str());
    SearchDllIn("our-mchid");

    HidLibraryLoad load = LoadMcHidLibrary(Log);
    ASSERT_TRUE(load) << load.Error();
    std::unique_ptr<HidLibrary> library = std::move(load).Value();
    HidLibrary& hid = *library;
    std::vector<HidNotification> seen;
    hid.Connect([&seen](const HidNotification& n) { seen.push_back(n); });
    EXPECT_TRUE(seen.empty()) << "nothing may arrive during Connect";

    ASSERT_TRUE(PumpUntil([&] { return CountOf(seen, kChanged) >= 1; }, 10s));
    const HidHandle bezel = hid.GetHandle(0x0D59, 684);
    ASSERT_NE(bezel, 0u);
    EXPECT_EQ(hid.GetVendorID(bezel), 0x0D59);
    hid.SetReadNotify(bezel, true);

    // The six worker threads' writes, all at once, before the reports come.
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 6; ++worker) {
        workers.emplace_back([&hid, bezel, worker] {
            const std::array<std::uint8_t, kCommandReportSize> command{
                0x00, static_cast<std::uint8_t>('A' + worker % 3)};
            for (int i = 0; i < 50; ++i) {
                hid.Write(bezel, command);
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    const std::array<std::uint8_t, kCommandReportSize> command{0x00, 'A'};
    EXPECT_FALSE(hid.Write(0, command));

    ASSERT_TRUE(PumpUntil([&] { return CountOf(seen, kUnplugged) >= 1; }, 10s));
    EXPECT_EQ(hid.GetProductID(bezel), 684) << "still known while its removal is handled";
    EXPECT_EQ(hid.GetHandle(0x0D59, 684), 0u);
    const HidHandle audio = hid.GetHandle(0x0D59, 688);
    EXPECT_NE(audio, 0u);
    ASSERT_TRUE(PumpUntil([&] { return CountOf(seen, kChanged) >= 3; }, 10s));

    const std::vector<HidNotification> expected{
        {kPlugged, bezel},
        {kChanged, 0},
        {HidEvent::Read, bezel, ReportOf({0x00, 0xC1, 0x01, 0x02, 0x03})},
        {HidEvent::Read, bezel, ReportOf({0x00, 0xC2, 0xFF})},
        {kPlugged, audio},
        {kChanged, 0},
        {kUnplugged, bezel},
        {kChanged, 0},
    };
    EXPECT_EQ(seen, expected);

    hid.Disconnect();
    PumpUntil([] { return false; }, 200ms);
    EXPECT_EQ(seen.size(), expected.size()) << "nothing after Disconnect";
    // A write after Disconnect, a host's thread left running, fails and is on the record.
    const std::array<std::uint8_t, kCommandReportSize> late{0x00, 'Z'};
    EXPECT_FALSE(hid.Write(audio, late));
    library.reset();
    EXPECT_EQ(GetModuleHandleA("mcHID.dll"), nullptr) << "released, with no thread left in it";
    EXPECT_TRUE(Log.Lines.empty());

    std::ifstream file(writes, std::ios::binary);
    std::map<std::string, int> perUnitAndLetter;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string atMs;  // or the mark of a write after Disconnect
        std::string productId;
        std::string letter;
        fields >> atMs >> productId >> letter;
        ++perUnitAndLetter[atMs == "after-disconnect" ? atMs + " " + productId
                                                      : productId + " " + letter];
    }
    EXPECT_EQ(perUnitAndLetter,
              (std::map<std::string, int>{
                  {"684 A", 100}, {"684 B", 100}, {"684 C", 100}, {"after-disconnect Z", 1}}));
}

// hidapi 0.13 needs CM_Get_Device_Interface_PropertyW, which Windows has and Wine 8 lacks: there
// our DLL cannot start its real panels, says so on standard error and announces nothing.
TEST_F(McHidLoader, OurDllWithoutVirtualPanelsWatchesForRealOnesAndFindsNoneHere) {
    const HMODULE configManager = LoadLibraryA("cfgmgr32.dll");
    const bool hidapiCanStart =
        configManager != nullptr &&
        GetProcAddress(configManager, "CM_Get_Device_Interface_PropertyW") != nullptr;
    SearchDllIn("our-mchid");
    HidLibraryLoad load = LoadMcHidLibrary(Log);
    ASSERT_TRUE(load) << load.Error();
    std::unique_ptr<HidLibrary> library = std::move(load).Value();
    std::vector<HidNotification> seen;
    library->Connect([&seen](const HidNotification& n) { seen.push_back(n); });

    if (hidapiCanStart) {
        EXPECT_TRUE(PumpUntil([&] { return !seen.empty(); }, 10s))
            << "the enumeration at Connect ends with Changed";
        PumpUntil([] { return false; }, 100ms);
        EXPECT_EQ(seen, (std::vector<HidNotification>{{kChanged, 0}}));
    } else {
        PumpUntil([] { return false; }, 500ms);
        EXPECT_TRUE(seen.empty());
    }
    EXPECT_EQ(library->GetHandle(0x0D59, 684), 0u);
    const std::array<std::uint8_t, kCommandReportSize> command{0x00, 'A'};
    EXPECT_FALSE(library->Write(1, command));

    const auto started = std::chrono::steady_clock::now();
    library.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s) << "Disconnect waits on nothing";
    EXPECT_EQ(GetModuleHandleA("mcHID.dll"), nullptr);
    if (configManager != nullptr) {
        FreeLibrary(configManager);
    }
}

TEST_F(McHidLoader, AMissingDllIsAFailedLoad) {
    SearchDllIn("no-such-folder");
    HidLibraryLoad load = LoadMcHidLibrary(Log);
    ASSERT_FALSE(load);
    EXPECT_EQ(load.Error().rfind("mcHID.dll: cannot load (error 126", 0), 0u) << load.Error();
    EXPECT_EQ(Log.Lines, std::vector<std::string>{load.Error()});
}

TEST_F(McHidLoader, ADllLackingOneNameIsRefusedReleasedAndNeverCalled) {
    // Held here as well, so its count of calls can be read after the loader lets go of it.
    const std::string stubPath = TestFolder() + "\\stub-without-isavailable\\mcHID.dll";
    const HMODULE stub = LoadLibraryA(stubPath.c_str());
    ASSERT_NE(stub, nullptr);
    const auto calls = std::bit_cast<int (*)()>(GetProcAddress(stub, "StubCalls"));
    ASSERT_NE(calls, nullptr);
    SearchDllIn("stub-without-isavailable");

    HidLibraryLoad load = LoadMcHidLibrary(Log);
    ASSERT_FALSE(load);
    EXPECT_EQ(load.Error(), "mcHID.dll: has no function IsAvailable");
    EXPECT_EQ(Log.Lines, std::vector<std::string>{load.Error()});

    // The device module runs on without a library: no Connect, no Write, no Disconnect.
    {
        TDeviceDM device(nullptr, [](const HidNotification&) {});
        device.Handles[0] = 1;
        device.SendG1000A(BezelUnit(0));
        device.Disconnect();
    }
    EXPECT_EQ(calls(), 0);

    const auto connect = std::bit_cast<McHidConnectFunction*>(GetProcAddress(stub, "Connect"));
    ASSERT_NE(connect, nullptr);
    connect(nullptr);
    EXPECT_EQ(calls(), 1) << "the stub does count";
    FreeLibrary(stub);
    EXPECT_EQ(GetModuleHandleA("mcHID.dll"), nullptr) << "the loader kept no reference";
}

TEST_F(McHidLoader, EachMessageBecomesOneTypedNotificationAndAReadWithoutAReportPostsNothing) {
    const HMODULE stub = LoadLibraryA((TestFolder() + "\\stub-posting\\mcHID.dll").c_str());
    ASSERT_NE(stub, nullptr);
    const auto calls = std::bit_cast<int (*)()>(GetProcAddress(stub, "StubCalls"));
    ASSERT_NE(calls, nullptr);
    SearchDllIn("stub-posting");

    HidLibraryLoad load = LoadMcHidLibrary(Log);
    ASSERT_TRUE(load) << load.Error();
    std::unique_ptr<HidLibrary> library = std::move(load).Value();
    std::vector<HidNotification> seen;
    library->Connect([&seen](const HidNotification& n) { seen.push_back(n); });
    EXPECT_TRUE(seen.empty()) << "the stub posts from inside Connect; none may arrive there";

    PumpUntil([] { return false; }, 300ms);
    // Read of handle 7 fails: nothing. Codes 9 and 0 are not notifications. Changed carries
    // no handle, whatever lParam held.
    EXPECT_EQ(seen, (std::vector<HidNotification>{
                        {HidEvent::Read, 8, ReportOf({0x00, 0xC3, 0x5A})},
                        {kPlugged, 0xFFFFFFFFu},
                        {kChanged, 0},
                    }));
    EXPECT_EQ(calls(), 3) << "Connect and a Read for each read event";

    library->Disconnect();
    PumpUntil([] { return false; }, 200ms);
    EXPECT_EQ(seen.size(), 3u) << "what the DLL posts during Disconnect goes nowhere";
    EXPECT_EQ(calls(), 4);
    library.reset();
    FreeLibrary(stub);
    EXPECT_EQ(GetModuleHandleA("mcHID.dll"), nullptr);
}

}  // namespace
}  // namespace qel::test
