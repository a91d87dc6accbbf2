#include "platform/key_injector_factory.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "input_xvfb.h"
#include "platform/unavailable_injector.h"
#include "platform/xtest_injector.h"
#include "support/memory_log.h"

namespace qel::test {
namespace {

constexpr const char* kNoUinput = "/nonexistent/uinput";
// A display number no test server takes; the connection fails at once.
constexpr const char* kNoDisplay = ":65000";

TEST(CreateKeyInjector, WithNeitherUinputNorDisplaySaysOnceWhatToDoAndSendsNothing) {
    MemoryLog log;
    auto injector = CreateKeyInjector(log, {kNoUinput, kNoDisplay});

    ASSERT_NE(injector, nullptr);
    EXPECT_NE(dynamic_cast<UnavailableInjector*>(injector.get()), nullptr);
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_NE(log.Lines[0].find("Keystrokes cannot be sent"), std::string::npos);
    EXPECT_NE(log.Lines[0].find("udev rule"), std::string::npos);
    EXPECT_NE(log.Lines[0].find("X session"), std::string::npos);
    injector->KeyEvent(0x41, true);
    injector->KeyEvent(0x41, false);
    EXPECT_EQ(log.Lines.size(), 1u);
}

TEST(CreateKeyInjector, WithoutUinputTakesXTestWhenTheDisplayOpens) {
    std::string whyNot;
    auto server = XvfbServer::Start(whyNot);
    if (!server) GTEST_SKIP() << whyNot;
    unsetenv("WAYLAND_DISPLAY");
    MemoryLog log;

    auto injector = CreateKeyInjector(log, {kNoUinput, server->DisplayName()});

    EXPECT_NE(dynamic_cast<XTestInjector*>(injector.get()), nullptr);
    EXPECT_TRUE(log.Lines.empty());
}

TEST(CreateKeyInjector, XTestUnderWaylandWarnsThatOnlyXProgramsGetTheKeys) {
    std::string whyNot;
    auto server = XvfbServer::Start(whyNot);
    if (!server) GTEST_SKIP() << whyNot;
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    MemoryLog log;

    auto injector = CreateKeyInjector(log, {kNoUinput, server->DisplayName()});

    unsetenv("WAYLAND_DISPLAY");
    EXPECT_NE(dynamic_cast<XTestInjector*>(injector.get()), nullptr);
    ASSERT_EQ(log.Lines.size(), 1u);
    EXPECT_NE(log.Lines[0].find("only X programs"), std::string::npos);
}

TEST(CreateKeyInjector, WritableNodeThatIsNotUinputIsReportedAndFallsBack) {
    char path[] = "/tmp/qel-not-uinput-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    MemoryLog log;

    auto injector = CreateKeyInjector(log, {path, kNoDisplay});

    std::remove(path);
    EXPECT_NE(dynamic_cast<UnavailableInjector*>(injector.get()), nullptr);
    // The machine's own layout setting may add a line about letters; the two that
    // matter are the device's failure and the closing advice.
    ASSERT_GE(log.Lines.size(), 2u);
    const std::string& failure = log.Lines[log.Lines.size() - 2];
    EXPECT_EQ(failure.rfind(std::string(path) + ": cannot create a keyboard (", 0), 0u) << failure;
    EXPECT_NE(log.Lines.back().find("Keystrokes cannot be sent"), std::string::npos);
}

}  // namespace
}  // namespace qel::test
