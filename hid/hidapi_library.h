#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/device_registry.h"
#include "hid/registry_library.h"
#include "hid/hidraw_system.h"
#include "base/logsink.h"
#include "base/result.h"

namespace qel {

// The HidLibrary of real panels on hidraw: opens every vendor 0x0D59 node, one reader thread
// per device, hotplug watched from the library's own monitor thread.
//
// Reports are handed out with byte 0 the report ID (0 for devices without numbered reports,
// whose reports hidraw passes unprefixed) and the report type in byte 1. A device whose read
// fails is treated as removed. Problems found on the back end's threads (a node that cannot be
// opened) go to log the next time the main thread calls GetHandle or GetVendorID.
class HidapiLibrary final : public RegistryLibrary {
public:
    static constexpr std::chrono::milliseconds kReadTimeout{250};
    static constexpr std::chrono::milliseconds kHotplugTimeout{1000};

    // system must have been started successfully. log is used on the main thread only.
    // readTimeout bounds how long closing a device that still answers waits for its reader.
    HidapiLibrary(std::unique_ptr<HidrawSystem> system, LogSink& log,
                  std::chrono::milliseconds readTimeout = kReadTimeout);
    ~HidapiLibrary() override;

    HidapiLibrary(const HidapiLibrary&) = delete;
    HidapiLibrary& operator=(const HidapiLibrary&) = delete;

    void Connect(NotificationPoster post) override;
    void Disconnect() override;

private:
    struct OpenDevice;

    void MonitorMain();
    // True when the set of devices changed or there is a problem to tell.
    bool OpenNode(const HidrawNode& node);
    void CloseNode(const std::string& path);
    void CloseAll();
    void ReaderMain(OpenDevice& device);
    void Diagnose(std::string line);
    void FlushDiagnostics();
    void BeforeLookup() override { FlushDiagnostics(); }

    std::unique_ptr<HidrawSystem> System;
    LogSink& Log;
    const std::chrono::milliseconds ReadTimeout;

    std::atomic<bool> Stopping{false};
    std::thread Monitor;
    // Monitor thread only.
    std::map<std::string, std::unique_ptr<OpenDevice>> Open;

    std::mutex Mutex;                      // guards the two lists below
    std::vector<std::string> FailedPaths;  // readers that lost their device
    std::vector<std::string> Diagnostics;  // lines for the log
};

// Starts system and puts the hidapi back end on it. When the system cannot start, the reason
// ("Panels: ...") is logged and returned. log must outlive the library.
[[nodiscard]] Result<std::unique_ptr<HidLibrary>> StartHidapiLibrary(
    std::unique_ptr<HidrawSystem> system, LogSink& log);

}  // namespace qel
