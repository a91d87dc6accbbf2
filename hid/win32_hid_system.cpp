#include "hid/win32_hid_system.h"

#include <windows.h>

// hidsdi.h brings hidpi.h with the types it needs.
// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}

#include <hidapi.h>

#include <algorithm>
#include <vector>

#include "hid/win32_device_watch.h"
#include "platform/win32_text.h"
#include "translate/catalogue.h"

namespace qel {
namespace {

// What Windows' HID parser says about a device's reports. hidapi 0.13 keeps both facts to
// itself, yet its reads put the report ID first only when it is not 0, and Windows takes only
// output reports of exactly the device's length (hidapi pads shorter ones, never cuts).
struct ReportLayout {
    bool NumberedReports = false;  // its input reports carry a report ID
    std::size_t OutputLength = 0;  // bytes of one output report with its ID; 0 = not known
};

template <typename Caps, typename Query>
bool AnyNumbered(USHORT count, Query query, PHIDP_PREPARSED_DATA parsed) {
    std::vector<Caps> caps(count);
    if (count == 0 || query(HidP_Input, caps.data(), &count, parsed) != HIDP_STATUS_SUCCESS) {
        return false;
    }
    return std::any_of(caps.begin(), caps.begin() + count,
                       [](const Caps& item) { return item.ReportID != 0; });
}

ReportLayout QueryReportLayout(const std::string& path) {
    ReportLayout layout;
    // No access asked: enough to query the parser, and it never competes with an open handle.
    HANDLE file = CreateFileW(WideOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return layout;
    }
    PHIDP_PREPARSED_DATA parsed = nullptr;
    if (HidD_GetPreparsedData(file, &parsed)) {
        HIDP_CAPS caps{};
        if (HidP_GetCaps(parsed, &caps) == HIDP_STATUS_SUCCESS) {
            layout.OutputLength = caps.OutputReportByteLength;
            layout.NumberedReports =
                AnyNumbered<HIDP_BUTTON_CAPS>(caps.NumberInputButtonCaps, HidP_GetButtonCaps,
                                              parsed) ||
                AnyNumbered<HIDP_VALUE_CAPS>(caps.NumberInputValueCaps, HidP_GetValueCaps, parsed);
        }
        HidD_FreePreparsedData(parsed);
    }
    CloseHandle(file);
    return layout;
}

// One panel, opened twice: hidapi keeps per-handle state (its error text, one overlapped
// operation per direction) that a reading and a writing thread must not share.
class Win32HidDevice final : public HidrawDevice {
public:
    Win32HidDevice(hid_device* reader, hid_device* writer, std::size_t outputLength)
        : Reader(reader), Writer(writer), OutputLength(outputLength) {}
    ~Win32HidDevice() override {
        hid_close(Reader);
        hid_close(Writer);
    }
    Win32HidDevice(const Win32HidDevice&) = delete;
    Win32HidDevice& operator=(const Win32HidDevice&) = delete;

    Result<std::size_t> Read(std::span<std::uint8_t> buffer,
                             std::chrono::milliseconds timeout) override {
        const int count = hid_read_timeout(Reader, buffer.data(), buffer.size(),
                                           static_cast<int>(timeout.count()));
        if (count < 0) {
            return Failure{"hid_read_timeout: " + Utf8Of(hid_error(Reader))};
        }
        return static_cast<std::size_t>(count);
    }
    Status Write(std::span<const std::uint8_t> report) override {
        const std::size_t length =
            OutputLength > 0 ? std::min(report.size(), OutputLength) : report.size();
        if (hid_write(Writer, report.data(), length) < 0) {
            return Failure{"hid_write: " + Utf8Of(hid_error(Writer))};
        }
        return {};
    }

private:
    hid_device* const Reader;
    hid_device* const Writer;
    const std::size_t OutputLength;
};

class Win32HidSystem final : public HidrawSystem {
public:
    ~Win32HidSystem() override {
        Watch.reset();
        if (Initialised) {
            hid_exit();
        }
    }

    Status Start() override {
        if (hid_init() != 0) {
            return Failure{"hid_init failed (" + Utf8Of(hid_error(nullptr)) + ")"};
        }
        Initialised = true;
        Watch = std::make_unique<Win32DeviceWatch>();
        if (const Status watching = Watch->Watching(); !watching) {
            return Failure{"no arrivals or removals: " + watching.Error()};
        }
        return {};
    }

    std::vector<HidrawNode> Enumerate() override {
        std::vector<HidrawNode> nodes;
        hid_device_info* list = hid_enumerate(kPanelVendorId, 0);
        for (const hid_device_info* info = list; info != nullptr; info = info->next) {
            HidrawNode node;
            node.Path = DevicePathKey(info->path);
            node.VendorId = info->vendor_id;
            node.ProductId = info->product_id;
            node.NumberedReports = QueryReportLayout(node.Path).NumberedReports;
            nodes.push_back(std::move(node));
        }
        hid_free_enumeration(list);
        return nodes;
    }

    Result<std::unique_ptr<HidrawDevice>> Open(const HidrawNode& node) override {
        hid_device* reader = hid_open_path(node.Path.c_str());
        hid_device* writer = reader != nullptr ? hid_open_path(node.Path.c_str()) : nullptr;
        if (writer == nullptr) {
            std::string reason = "hid_open_path: " + Utf8Of(hid_error(nullptr));
            hid_close(reader);
            return Failure{std::move(reason)};
        }
        std::unique_ptr<HidrawDevice> device = std::make_unique<Win32HidDevice>(
            reader, writer, QueryReportLayout(node.Path).OutputLength);
        return device;
    }

    std::optional<HotplugEvent> WaitHotplug(std::chrono::milliseconds timeout) override {
        std::optional<DeviceInterfaceChange> change = Watch->Wait(timeout);
        if (!change) {
            return std::nullopt;
        }
        if (!change->Arrived) {
            return HotplugEvent{HotplugEvent::Kind::Removed, HidrawNode{change->Path}};
        }
        // The arrival names only the path; its IDs come from hidapi, which lists panels only.
        for (HidrawNode& node : Enumerate()) {
            if (node.Path == change->Path) {
                return HotplugEvent{HotplugEvent::Kind::Added, std::move(node)};
            }
        }
        return std::nullopt;
    }

    void Wake() override {
        if (Watch) {
            Watch->Wake();
        }
    }

private:
    bool Initialised = false;
    std::unique_ptr<Win32DeviceWatch> Watch;
};

}  // namespace

std::unique_ptr<HidrawSystem> CreateWin32HidSystem() {
    return std::make_unique<Win32HidSystem>();
}

}  // namespace qel
