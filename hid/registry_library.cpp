#include "hid/registry_library.h"

namespace qel {

int RegistryLibrary::GetVendorID(HidHandle handle) {
    BeforeLookup();
    return Registry.VendorId(handle);
}

int RegistryLibrary::GetProductID(HidHandle handle) {
    return Registry.ProductId(handle);
}

HidHandle RegistryLibrary::GetHandle(int vendorId, int productId) {
    BeforeLookup();
    return Registry.Find(vendorId, productId);
}

void RegistryLibrary::SetReadNotify(HidHandle handle, bool enabled) {
    Registry.SetReadNotify(handle, enabled);
}

bool RegistryLibrary::Write(HidHandle handle, CommandReport report) {
    return Registry.Write(handle, report);
}

}  // namespace qel
