// Platforms without hidraw: the back end reports that it cannot start.
#include "hid/hidraw_system.h"

namespace qel {
namespace {

class UnavailableHidrawSystem final : public HidrawSystem {
public:
    Status Start() override { return Failure{"hidraw is not available on this platform"}; }
    std::vector<HidrawNode> Enumerate() override { return {}; }
    Result<std::unique_ptr<HidrawDevice>> Open(const HidrawNode&) override {
        return Failure{"not available"};
    }
    std::optional<HotplugEvent> WaitHotplug(std::chrono::milliseconds) override {
        return std::nullopt;
    }
    void Wake() override {}
};

}  // namespace

std::unique_ptr<HidrawSystem> CreateHidrawSystem() {
    return std::make_unique<UnavailableHidrawSystem>();
}

}  // namespace qel
