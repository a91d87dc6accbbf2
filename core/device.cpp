#include "core/device.h"

#include <utility>

namespace qel {
namespace {

constexpr std::size_t kCommandLetterOffset = 1;

}  // namespace

std::array<std::uint8_t, kCommandReportSize> MakeCommandReport(char letter) {
    std::array<std::uint8_t, kCommandReportSize> report{};
    report[kCommandLetterOffset] = static_cast<std::uint8_t>(letter);
    return report;
}

TDeviceDM::TDeviceDM(std::unique_ptr<HidLibrary> library, NotificationPoster post)
    : Hid(std::move(library)) {
    if (Hid) {
        Hid->Connect(std::move(post));
        Connected = true;
    }
    for (auto& slot : Handles) {
        slot.store(0, std::memory_order_relaxed);
    }
}

TDeviceDM::~TDeviceDM() {
    Disconnect();
}

void TDeviceDM::Disconnect() {
    if (Connected.exchange(false)) {
        Hid->Disconnect();
    }
}

void TDeviceDM::SendCommand(UnitKind kind, UnitId unit, char letter) {
    const auto report = MakeCommandReport(letter);
    if (unit.Kind != kind || !unit.IsValid() || !Hid) {
        return;
    }
    const HidHandle handle =
        Handles[static_cast<std::size_t>(unit.DeviceIndex())].load(std::memory_order_relaxed);
    if (handle == 0) {
        return;
    }
    // The result is not needed: a unit that has just gone is found by its Unplugged event.
    Hid->Write(handle, report);
}

void TDeviceDM::SendG1000A(UnitId unit) {
    SendCommand(UnitKind::Bezel, unit, 'A');
}

void TDeviceDM::SendG1000B(UnitId unit, int n) {
    // Only n = 0 ('B') and n = 1 ('C') are commands; anything else would write a letter the
    // units do not know.
    if (n != 0 && n != 1) {
        return;
    }
    SendCommand(UnitKind::Bezel, unit, static_cast<char>('B' + n));
}

void TDeviceDM::SendAudioA(UnitId unit) {
    SendCommand(UnitKind::Audio, unit, 'A');
}

void TDeviceDM::SendAudioB(UnitId unit) {
    SendCommand(UnitKind::Audio, unit, 'B');
}

}  // namespace qel
