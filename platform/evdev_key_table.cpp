#include "platform/evdev_key_table.h"

#include <algorithm>

#include "platform/vk_mapping.h"

namespace qel {

EvdevKeyTable BuildEvdevKeyTable(const UnshiftedKeys& layoutKeys) {
    EvdevKeyTable table{};
    for (const VkKeyMapping& mapping : VkKeyMappings()) {
        std::uint16_t code = mapping.EvdevCode;
        if (mapping.Placement == KeyPlacement::ByLayout) {
            if (const auto found = layoutKeys.find(mapping.Keysym); found != layoutKeys.end()) {
                code = found->second;
            }
        }
        table[mapping.VirtualKey] = code;
    }
    return table;
}

std::vector<std::uint16_t> KeysInTable(const EvdevKeyTable& table) {
    std::vector<std::uint16_t> keys;
    for (const std::uint16_t code : table) {
        if (code != 0) keys.push_back(code);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

}  // namespace qel
