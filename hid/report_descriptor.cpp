#include "hid/report_descriptor.h"

namespace qel {
namespace {

constexpr std::uint8_t kLongItemPrefix = 0xFE;
// Global item, tag 8: Report ID. The low two bits hold the data size.
constexpr std::uint8_t kReportIdTag = 0x84;
constexpr std::uint8_t kTagMask = 0xFC;
constexpr std::uint8_t kSizeMask = 0x03;

}  // namespace

bool DeclaresReportIds(std::span<const std::uint8_t> descriptor) {
    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            if (pos + 1 >= descriptor.size()) {
                break;
            }
            // Long item: prefix, data size, long tag, data.
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        if ((prefix & kTagMask) == kReportIdTag) {
            return true;
        }
        const std::size_t sizeCode = prefix & kSizeMask;
        pos += 1 + (sizeCode == 3 ? 4 : sizeCode);
    }
    return false;
}

}  // namespace qel
