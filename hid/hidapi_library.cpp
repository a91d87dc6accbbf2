#include "hid/hidapi_library.h"

#include <array>
#include <utility>

namespace qel {
namespace {

// Writes of one device are serialised; the device closes when the last holder lets go.
class HidrawPort final : public OutputPort {
public:
    explicit HidrawPort(std::shared_ptr<HidrawDevice> device) : Device(std::move(device)) {}
    bool WriteReport(CommandReport report) override {
        std::lock_guard lock(WriteMutex);
        return Device->Write(report).Ok();
    }

private:
    std::mutex WriteMutex;
    std::shared_ptr<HidrawDevice> Device;
};

}  // namespace

struct HidapiLibrary::OpenDevice {
    HidrawNode Node;
    HidHandle Handle = 0;
    std::shared_ptr<HidrawDevice> Device;
    std::atomic<bool> Stop{false};
    std::thread Reader;
};

HidapiLibrary::HidapiLibrary(std::unique_ptr<HidrawSystem> system, LogSink& log,
                             std::chrono::milliseconds readTimeout)
    : System(std::move(system)), Log(log), ReadTimeout(readTimeout) {}

HidapiLibrary::~HidapiLibrary() {
    Disconnect();
}

void HidapiLibrary::Connect(NotificationPoster post) {
    if (Monitor.joinable() || Stopping) {
        return;
    }
    Registry.StartPosting(std::move(post));
    // Devices already present are found on the monitor thread, so nothing is raised from
    // inside Connect and the main thread never waits for a device.
    Monitor = std::thread([this] { MonitorMain(); });
}

void HidapiLibrary::Disconnect() {
    Registry.StopPosting();
    Stopping = true;
    System->Wake();
    if (Monitor.joinable()) {
        Monitor.join();
    }
}

void HidapiLibrary::MonitorMain() {
    for (const HidrawNode& node : System->Enumerate()) {
        OpenNode(node);
    }
    Registry.RaiseChanged();

    while (!Stopping) {
        const auto event = System->WaitHotplug(kHotplugTimeout);
        std::vector<std::string> failed;
        {
            std::lock_guard lock(Mutex);
            failed.swap(FailedPaths);
        }
        for (const std::string& path : failed) {
            CloseNode(path);
        }
        if (!event || Stopping) {
            continue;
        }
        if (event->What == HotplugEvent::Kind::Added) {
            if (OpenNode(event->Node)) {
                Registry.RaiseChanged();
            }
        } else {
            CloseNode(event->Node.Path);
        }
    }
    CloseAll();
}

bool HidapiLibrary::OpenNode(const HidrawNode& node) {
    if (node.VendorId != kPanelVendorId || Open.contains(node.Path)) {
        return false;
    }
    Result<std::unique_ptr<HidrawDevice>> opened = System->Open(node);
    if (!opened) {
        Diagnose(node.Path + ": cannot open (" + opened.Error() + ")");
        // The Changed that follows lets the main thread come by and pick the line up.
        return true;
    }
    auto device = std::make_unique<OpenDevice>();
    device->Node = node;
    device->Device = std::move(opened).Value();
    device->Handle =
        Registry.Add(node.VendorId, node.ProductId, std::make_shared<HidrawPort>(device->Device));
    OpenDevice& started = *device;
    started.Reader = std::thread([this, &started] { ReaderMain(started); });
    Open.emplace(node.Path, std::move(device));
    return true;
}

void HidapiLibrary::CloseNode(const std::string& path) {
    const auto found = Open.find(path);
    if (found == Open.end()) {
        return;
    }
    OpenDevice& device = *found->second;
    // Unplugged first, so the workers stop writing to it; their writes meanwhile fail quietly.
    Registry.Remove(device.Handle);
    Registry.RaiseChanged();
    device.Stop = true;
    device.Reader.join();
    Open.erase(found);
}

void HidapiLibrary::CloseAll() {
    for (auto& [path, device] : Open) {
        device->Stop = true;
    }
    for (auto& [path, device] : Open) {
        device->Reader.join();
    }
    Open.clear();
    Registry.RemoveAllQuietly();
}

void HidapiLibrary::ReaderMain(OpenDevice& device) {
    // hidraw puts the report ID first only for numbered reports; the decoder always expects it.
    const std::size_t offset = device.Node.NumberedReports ? 0 : 1;
    InputReport buffer{};
    const std::span<std::uint8_t> target(buffer.data() + offset, buffer.size() - offset);
    while (!device.Stop) {
        const Result<std::size_t> count = device.Device->Read(target, ReadTimeout);
        // A device that stops answering has gone, whatever the reason.
        if (!count) {
            std::lock_guard lock(Mutex);
            FailedPaths.push_back(device.Node.Path);
            break;
        }
        if (count.Value() > 0) {
            Registry.PushReport(device.Handle, std::span<const std::uint8_t>(
                                                   buffer.data(), offset + count.Value()));
        }
    }
    if (!device.Stop) {
        System->Wake();
    }
}

void HidapiLibrary::Diagnose(std::string line) {
    std::lock_guard lock(Mutex);
    Diagnostics.push_back(std::move(line));
}

void HidapiLibrary::FlushDiagnostics() {
    std::vector<std::string> lines;
    {
        std::lock_guard lock(Mutex);
        lines.swap(Diagnostics);
    }
    for (const std::string& line : lines) {
        Log.AppendLine(line);
    }
}

Result<std::unique_ptr<HidLibrary>> StartHidapiLibrary(std::unique_ptr<HidrawSystem> system,
                                                       LogSink& log) {
    if (const Status started = system->Start(); !started) {
        std::string reason = "Panels: " + started.Error();
        log.AppendLine(reason);
        return Failure{std::move(reason)};
    }
    return std::unique_ptr<HidLibrary>(std::make_unique<HidapiLibrary>(std::move(system), log));
}

}  // namespace qel
