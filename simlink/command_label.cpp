#include "simlink/command_label.h"

#include "simlink/command_table.h"

namespace qel {

namespace {

std::string LabelOfOne(std::string_view command) {
    if (const std::string_view key = CommandArgument(command, "notification"); !key.empty()) {
        return std::string(key);
    }
    if (command.starts_with("FG1000SoftKeyPushed")) {
        return "SOFTKEY " + std::string(CommandArgument(command, "offset"));
    }
    if (const std::string_view property = CommandArgument(command, "property"); !property.empty()) {
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
    ForEachCommand(command, [&label](std::string_view one) {
        if (!label.empty()) {
            label += '+';
        }
        label += LabelOfOne(one);
    });
    return label;
}

}  // namespace qel
