#include "platform/xkb_layout_setting.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qel {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string FirstOfList(std::string_view list) {
    return std::string(Trim(list.substr(0, list.find(','))));
}

}  // namespace

XkbLayoutName ParseKeyboardDefaults(std::string_view text) {
    XkbLayoutName name;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.starts_with("export ")) line = Trim(line.substr(7));
        const auto equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Unquote(Trim(line.substr(equals + 1)));
        if (key == "XKBLAYOUT") name.Layout = FirstOfList(value);
        if (key == "XKBVARIANT") name.Variant = FirstOfList(value);
    }
    return name;
}

XkbLayoutName ConfiguredXkbLayout() {
    // The same variables xkbcommon itself honours, so a user who set them for the
    // compositor gets the same letters from us.
    if (const char* layout = std::getenv("XKB_DEFAULT_LAYOUT"); layout && *layout) {
        const char* variant = std::getenv("XKB_DEFAULT_VARIANT");
        return {FirstOfList(layout), variant ? FirstOfList(variant) : std::string{}};
    }
    std::ifstream file("/etc/default/keyboard");
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    return ParseKeyboardDefaults(text.str());
}

}  // namespace qel
