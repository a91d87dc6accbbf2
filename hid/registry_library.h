#pragma once

#include <cstddef>
#include <cstdint>

#include "hid/device_registry.h"
#include "hid/hidlibrary.h"

namespace qel {

// The HidLibrary calls that every back end answers from its device registry: the table of
// devices and their writers. A back end adds Connect, Disconnect and
// the way devices arrive and go. Thread rules are the registry's: Write from any thread.
class RegistryLibrary : public HidLibrary {
public:
    [[nodiscard]] int GetVendorID(HidHandle handle) override;
    [[nodiscard]] int GetProductID(HidHandle handle) override;
    [[nodiscard]] HidHandle GetHandle(int vendorId, int productId) override;
    void SetReadNotify(HidHandle handle, bool enabled) override;
    bool Write(HidHandle handle, CommandReport report) override;

protected:
    RegistryLibrary() = default;

    // Main thread, before GetVendorID and GetHandle: the moment a back end may hand what its
    // own threads found to the log.
    virtual void BeforeLookup() {}

    HidDeviceRegistry Registry;
};

}  // namespace qel
