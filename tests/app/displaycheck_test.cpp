#include "app/displaycheck.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(MissingDisplayMessage, SpeaksUpOnlyWhenNoDisplayIsNamed) {
    struct Case {
        const char* Name;
        std::map<std::string, std::string> Environment;
        bool Complains;
    };
    const Case cases[]{
        {"nothing set", {}, true},
        {"all set but empty",
         {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}},
         true},
        {"X11", {{"DISPLAY", ":0"}}, false},
        {"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {"a chosen Qt platform", {{"QT_QPA_PLATFORM", "offscreen"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto message = MissingDisplayMessage([&](const char* name) -> const char* {
            const auto found = c.Environment.find(name);
            return found == c.Environment.end() ? nullptr : found->second.c_str();
        });
        ASSERT_EQ(message.has_value(), c.Complains);
        if (message) {
            // The user must learn both what is missing and how to try without a desktop.
            EXPECT_NE(message->find("DISPLAY"), std::string::npos);
            EXPECT_NE(message->find("xvfb-run -a qel1000keysend"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace qel
