#include "translate/translator.h"

namespace qel {

namespace {

using Payload = std::span<const std::uint8_t, kReceiveBufferSize - kPayloadOffset>;

static_assert(kBezelButtonCount % 8 == 0 && kAudioButtonCount % 8 == 0, "buttons fill whole bytes");

// Button n is bit (n mod 8) of payload byte (n div 8), least significant bit first.
// Returns whether any button now differs from its last processed state.
[[nodiscard]] bool StoreButtonBits(std::span<ButtonState> buttons, Payload payload) {
    bool changed = false;
    for (std::size_t byte = 0; byte < buttons.size() / 8; ++byte) {
        unsigned bits = payload[byte];
        for (ButtonState& button : buttons.subspan(byte * 8, 8)) {
            button.Current = static_cast<std::uint8_t>(bits & 1U);
            changed |= button.Current != button.Previous;
            bits >>= 1;
        }
    }
    return changed;
}

// One counter byte per rotary, the lowest rotary number in payload byte 0.
void StoreCounters(std::span<RotaryState> rotaries, Payload payload) {
    for (std::size_t number = 0; number < rotaries.size(); ++number) {
        rotaries[number].Current = payload[number];
    }
}

constexpr std::uint8_t kPanPushBit = 0x01;
constexpr unsigned kPanSwitchShift = 1;
constexpr std::uint8_t kPanSwitchMask = 0x0F;

}  // namespace

void InputTranslator::DecodeReport(UnitId unit, ReceiveBuffer buffer) {
    const std::uint8_t reportType = buffer[kReportTypeOffset];
    const Payload payload = buffer.subspan<kPayloadOffset>();

    if (BezelUnitState* found = Units.BezelOf(unit)) {
        BezelUnitState& bezel = *found;
        switch (reportType) {
            case kReportC1: {
                // Buttons before the joystick: a press logs before a pan in the same report.
                // Most reports change nothing; then the button pass has nothing to do.
                if (StoreButtonBits(bezel.Buttons, payload)) {
                    ProcessBezelButtons(unit);
                }
                const std::uint8_t pan = payload[kPanPayloadByte];
                bezel.PanPush.Current = pan & kPanPushBit;
                bezel.CurrentDirection =
                    kPanDirectionTable[(pan >> kPanSwitchShift) & kPanSwitchMask];
                ProcessPan(unit);
                break;
            }
            case kReportC2:
                StoreCounters(std::span(bezel.Rotaries).first<kRotariesPerReport>(), payload);
                ProcessBezelRotaries(unit, RotaryHalf::First);
                break;
            case kReportC3:
                StoreCounters(std::span(bezel.Rotaries).last<kRotariesPerReport>(), payload);
                ProcessBezelRotaries(unit, RotaryHalf::Second);
                break;
            default:
                break;
        }
    } else if (AudioUnitState* found = Units.AudioOf(unit)) {
        AudioUnitState& audio = *found;
        switch (reportType) {
            case kReportC1:
                StoreCounters(audio.Rotaries, payload);
                ProcessAudioRotaries(unit);
                break;
            case kReportC2:
                if (StoreButtonBits(audio.Buttons, payload)) {
                    ProcessAudioButtons(unit);
                }
                break;
            default:
                // Audio units have no 0xC3 controls.
                break;
        }
    }
}

}  // namespace qel
