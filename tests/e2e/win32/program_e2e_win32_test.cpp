// The real qel1000keysend.exe on Windows (Wine with an X server on the build machines): our
// mcHID.dll plays virtual panels, the program types the bound keys through keybd_event, and a
// window of this test, holding the focus, receives them in order with their virtual-key codes
// and real scan codes. Then the program is closed as the close box closes it and must end
// cleanly, its worker threads stopped before the library was disconnected. Also: the program
// without mcHID.dll beside it, and the version information and icon the .exe carries.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "qel/version.h"
#include "support/win32_key_log_window.h"
#include "win32_program.h"

namespace qel::e2e {
namespace {

using test::Held;
using test::KeyLogWindow;
using test::ReceivedKey;
using test::Tap;

constexpr const char* kTitle = "QEL G1000 keysend";

// The program, found from this test's folder (both are in the build folder).
std::filesystem::path ProgramPath() {
    return (TestProgramFolder() / QEL_PROGRAM_FROM_TEST).lexically_normal();
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Bindings for a button with a modifier, a knob on a keypad key (a key Wine's layout gives no
// scan code), a joystick direction on an extended key, and an audio button.
constexpr const char* kKeyMap =
    "[qel_1000_0]\r\n"
    "softkey_1=SHIFT+F1\r\n"
    "nav_in_incr=NUMPAD6\r\n"
    "range_pan_n=UP\r\n"
    "[qel_audio_0]\r\n"
    "com1_mic=CTRL+M\r\n";

// Late enough for the program to have loaded its bindings and this test to have taken the
// focus back from the program's window.
constexpr const char* kPanelScript =
    "at 0 plug 684\n"
    "at 0 plug 688\n"
    "# softkey_1 pressed and released\n"
    "at 6000 report 684 00 C1 00 20\n"
    "at 6050 report 684 00 C1 00 00\n"
    "# the NAV inner knob: one report to prime, three steps up\n"
    "at 6100 report 684 00 C2 10\n"
    "at 6150 report 684 00 C2 12\n"
    "at 6200 report 684 00 C2 14\n"
    "at 6250 report 684 00 C2 16\n"
    "at 6300 report 684 00 C2 16\n"
    "# the joystick to north and back\n"
    "at 6350 report 684 00 C1 00 00 00 00 00 06\n"
    "at 6400 report 684 00 C1 00 00 00 00 00 00\n"
    "# COM1 MIC on the audio unit\n"
    "at 6450 report 688 00 C2 00\n"
    "at 6500 report 688 00 C2 01\n"
    "at 6550 report 688 00 C2 00\n";

std::vector<ReceivedKey> ExpectedKeys() {
    std::vector<ReceivedKey> keys = Held(0x10, 0x2A, Tap(0x70, 0x3B));  // Shift, F1
    for (int step = 0; step < 3; ++step) {
        const std::vector<ReceivedKey> numpad6 = Tap(0x66, 0x4D);
        keys.insert(keys.end(), numpad6.begin(), numpad6.end());
    }
    const std::vector<ReceivedKey> up = Tap(0x26, 0x48, true);
    keys.insert(keys.end(), up.begin(), up.end());
    const std::vector<ReceivedKey> ctrlM = Held(0x11, 0x1D, Tap(0x4D, 0x32));
    keys.insert(keys.end(), ctrlM.begin(), ctrlM.end());
    return keys;
}

// Waits for a window of the process while keeping this thread's windows answering.
std::optional<HWND> WaitForWindowOf(ProgramProcess& process, const std::string& title,
                                    DWORD limitMs) {
    const DWORD deadline = ::GetTickCount() + limitMs;
    do {
        if (const auto window = FindWindowOf(process.Id(), title)) return window;
        if (process.WaitForExit(0ms).has_value()) return std::nullopt;
        KeyLogWindow::Pump(50);
    } while (static_cast<LONG>(deadline - ::GetTickCount()) > 0);
    return std::nullopt;
}

class ProgramEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (Keys.Handle() == nullptr) {
#ifdef QEL_TEST_HAS_DISPLAY
            FAIL() << "no window could be made on the display arranged for this test";
#else
            GTEST_SKIP() << "no display for windows: run this test under xvfb-run";
#endif
        }
        ASSERT_TRUE(std::filesystem::exists(ProgramPath())) << ProgramPath();
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "program output:\n" << ReadText(Folder.Path / "program.out") << '\n';
        }
    }

    KeyLogWindow Keys;
    ScratchFolder Folder{"qel-e2e"};
};

TEST_F(ProgramEndToEnd, BoundControlsTypeTheirKeysWithRealScanCodesAndTheProgramEndsCleanly) {
    std::ofstream(Folder.Path / "keymap.ini", std::ios::binary) << kKeyMap;
    std::ofstream(Folder.Path / "panels.script", std::ios::binary) << kPanelScript;
    const std::filesystem::path writes = Folder.Path / "panels.writes";
    ProgramProcess process(ProgramPath(), Folder.Path,
                           {{"QEL1000_VIRTUAL_PANELS", (Folder.Path / "panels.script").string()},
                            {"QEL1000_VIRTUAL_WRITES", writes.string()}});
    ASSERT_TRUE(process.Started()) << "cannot start " << ProgramPath();

    // The caption is set once the bindings are read and the worker threads run.
    const std::optional<HWND> mainWindow = WaitForWindowOf(process, kTitle, 30000);
    ASSERT_TRUE(mainWindow.has_value()) << "no window titled exactly \"" << kTitle << "\"";
    ASSERT_TRUE(Keys.TakeFocus()) << "this test's window did not get the focus back";

    const std::vector<ReceivedKey> expected = ExpectedKeys();
    EXPECT_EQ(Keys.WaitForKeys(expected.size(), 30000), expected);

    // The close box sends WM_CLOSE; the program stops its threads, disconnects and ends.
    ASSERT_TRUE(::PostMessageA(*mainWindow, WM_CLOSE, 0, 0));
    const std::optional<DWORD> status = process.WaitForExit(15s);
    ASSERT_TRUE(status.has_value()) << "the program did not end within 15 s of WM_CLOSE";
    EXPECT_EQ(*status, 0u);

    // mcHID.dll saved the panels' writes at Disconnect: the worker threads wrote to the units
    // while they ran, and nothing wrote once Disconnect had begun.
    const std::string record = ReadText(writes);
    EXPECT_NE(record.find(" 684 "), std::string::npos) << "no write to the bezel unit:\n" << record;
    EXPECT_EQ(record.find("after-disconnect"), std::string::npos)
        << "a thread wrote after Disconnect:\n"
        << record;
}

TEST_F(ProgramEndToEnd, WithoutMcHidDllBesideItTheProgramSaysErrorLoadingDllAndRunsOn) {
    // The program's folder without mcHID.dll: the .exe, Qt and the run-time DLLs, the plugins.
    const std::filesystem::path source = ProgramPath().parent_path();
    const std::filesystem::path copy = Folder.Path / "program";
    std::filesystem::create_directories(copy);
    for (const auto& entry : std::filesystem::directory_iterator(source)) {
        const std::filesystem::path name = entry.path().filename();
        if (name == "mcHID.dll") continue;
        if (name.extension() == ".dll" || name == ProgramPath().filename() || name == "platforms" ||
            name == "styles") {
            std::filesystem::copy(entry.path(), copy / name,
                                  std::filesystem::copy_options::recursive);
        }
    }
    std::ofstream(Folder.Path / "keymap.ini", std::ios::binary) << kKeyMap;
    ProgramProcess process(copy / ProgramPath().filename(), Folder.Path, {});
    ASSERT_TRUE(process.Started());

    // The error dialog comes before the main window; its OK button (or closing it) goes on.
    const std::optional<HWND> error = WaitForWindowOf(process, "Error", 30000);
    ASSERT_TRUE(error.has_value()) << "no error dialog";
    EXPECT_NE(ReadText(Folder.Path / "program.out").find("mcHID.dll"), std::string::npos)
        << "the reason names the DLL";
    ASSERT_TRUE(::PostMessageA(*error, WM_CLOSE, 0, 0));

    const std::optional<HWND> mainWindow = WaitForWindowOf(process, kTitle, 30000);
    ASSERT_TRUE(mainWindow.has_value()) << "the program did not run on after the dialog";
    ASSERT_TRUE(::PostMessageA(*mainWindow, WM_CLOSE, 0, 0));
    const std::optional<DWORD> status = process.WaitForExit(15s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0u);
}

// The .exe's version resource comes from the version the program shows, and Explorer's icon
// and Qt's window icon from IDI_ICON1.
TEST(ProgramFile, CarriesTheVersionInformationOfTheBuildAndItsIcon) {
    const std::wstring path = ProgramPath().wstring();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << ProgramPath();
    std::vector<std::uint8_t> data(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const auto quad = [](DWORD high, DWORD low) {
        return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
               std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
    };
    EXPECT_EQ(quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS), kFileVersion);
    // "1.0" as four numbers is 1.0.0.0.
    std::string productVersion = kProductVersion;
    while (std::count(productVersion.begin(), productVersion.end(), '.') < 3) {
        productVersion += ".0";
    }
    EXPECT_EQ(quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS), productVersion);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409) << "U.S. English";
    EXPECT_EQ(translation[1], 1252) << "Windows Latin-1";

    const struct {
        const wchar_t* Name;
        std::string Expected;
    } strings[]{{L"ProductName", kProductName},
                {L"ProductVersion", kProductVersion},
                {L"FileVersion", kFileVersion},
                {L"OriginalFilename", "qel1000keysend.exe"}};
    for (const auto& entry : strings) {
        SCOPED_TRACE(entry.Expected);
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904E4\\") + entry.Name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                     &length));
        EXPECT_EQ(std::filesystem::path(std::wstring(value)).string(), entry.Expected);
    }

    const HMODULE image = ::LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(::FindResourceW(image, L"IDI_ICON1", MAKEINTRESOURCEW(14)), nullptr)  // RT_GROUP_ICON
        << "no icon group IDI_ICON1";
    const HANDLE icon = ::LoadImageW(image, L"IDI_ICON1", IMAGE_ICON, 32, 32, 0);
    EXPECT_NE(icon, nullptr) << "no 32 x 32 icon";
    if (icon != nullptr) ::DestroyIcon(static_cast<HICON>(icon));
    ::FreeLibrary(image);
}

}  // namespace
}  // namespace qel::e2e
