#include "simlink/command_label.h"

namespace qel {

namespace {

// The value of `name=` in a FlightGear command line, or empty.
std::string_view ArgumentOf(std::string_view command, std::string_view name) {
    const std::size_t at = command.find(name);
    if (at == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = command.substr(at + name.size());
    return rest.substr(0, rest.find(' '));
}

std::string LabelOfOne(std::string_view command) {
    if (const std::string_view key = ArgumentOf(command, "notification="); !key.empty()) {
        return std::string(key);
    }
    if (command.starts_with("FG1000SoftKeyPushed")) {
        return "SOFTKEY " + std::string(ArgumentOf(command, "offset="));
    }
    if (const std::string_view property = ArgumentOf(command, "property="); !property.empty()) {
        return std::string(property.substr(property.rfind('/') + 1));
    }
    // An X-Plane path: its last part, without the G1000's "g1000nN_" unit prefix.
    std::string_view last = command.substr(command.rfind('/') + 1);
    if (last.starts_with("g1000n") && last.size() > 8 && last[7] == '_') {
        last.remove_prefix(8);
    }
    return std::string(last);
}

}  // namespace

std::string CommandLabel(std::string_view command) {
    std::string label;
    while (!command.empty()) {
        const std::size_t end = command.find('\n');
        if (!label.empty()) {
            label += '+';
        }
        label += LabelOfOne(command.substr(0, end));
        command = end == std::string_view::npos ? std::string_view{} : command.substr(end + 1);
    }
    return label;
}

}  // namespace qel
