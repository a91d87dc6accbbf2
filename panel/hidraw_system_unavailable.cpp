// Platforms without hidraw: the back end reports that it cannot start.
#include "panel/hidraw_system.h"

namespace qel {
namespace {

class UnavailableHidrawSystem final : public HidrawSystem {
public:
    std::optional<std::string> Start() override {
        return "hidraw is not available on this platform";
    }
    std::vector<HidrawNode> Enumerate() override { return {}; }
    std::unique_ptr<HidrawDevice> Open(const HidrawNode&, std::string& reason) override {
        reason = "not available";
        return nullptr;
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
