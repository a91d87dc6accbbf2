// Placeholder so that the link's transports build on their own branch; the real table
// replaces this file.
#include "simlink/command_table.h"

namespace qel {

CommandTable::CommandTable(const LinkSettings& settings) : Kind(settings.Link) {}

std::string_view CommandTable::Command(int, int) const {
    return {};
}

std::vector<std::string> CommandTable::Distinct() const {
    return {};
}

}  // namespace qel
