#include "app/displaycheck.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(DisplayProblem, SpeaksUpOnlyWhenNoDisplayIsNamedOrTheNamedOneDoesNotAnswer) {
    struct Case {
        const char* Name;
        std::map<std::string, std::string> Environment;
        bool XAnswers;
        std::optional<std::string> Expected;  // "*" = the no-display message
    };
    const Case cases[]{
        {"nothing set", {}, true, "*"},
        {"all set but empty",
         {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}},
         true,
         "*"},
        {"X11", {{"DISPLAY", ":0"}}, true, std::nullopt},
        {"X11 that does not answer",
         {{"DISPLAY", ":99"}},
         false,
         "qel1000keysend: display :99 cannot be reached\n"},
        {"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":99"}}, false, std::nullopt},
        {"a chosen Qt platform",
         {{"QT_QPA_PLATFORM", "offscreen"}, {"DISPLAY", ":99"}},
         false,
         std::nullopt},
    };
    // Windows has no display server to miss: the program always starts, whatever is set.
    const bool needsDisplayServer = NeedsDisplayServer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> probed;
        const auto message = DisplayProblem(
            [&](const char* name) -> const char* {
                const auto found = c.Environment.find(name);
                return found == c.Environment.end() ? nullptr : found->second.c_str();
            },
            [&](const char* display) {
                probed.emplace_back(display);
                return c.XAnswers;
            },
            "/opt/qel/bin/qel1000keysend");
        if (!needsDisplayServer) {
            EXPECT_EQ(message, std::nullopt);
            EXPECT_TRUE(probed.empty());
            continue;
        }
        ASSERT_EQ(message.has_value(), c.Expected.has_value());
        if (c.Expected == "*") {
            // What is missing, and a command that works as printed.
            EXPECT_NE(message->find("DISPLAY"), std::string::npos);
            EXPECT_NE(message->find("    xvfb-run -a /opt/qel/bin/qel1000keysend\n"),
                      std::string::npos);
            EXPECT_TRUE(probed.empty());
        } else if (c.Expected) {
            EXPECT_EQ(*message, *c.Expected);
        }
    }
    EXPECT_EQ(CanReachXDisplay(":4711"), !needsDisplayServer) << "no X server listens there";
}

}  // namespace
}  // namespace qel
