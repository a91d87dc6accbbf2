// Input reports of any product ID and any content, and the processing passes called with any
// unit index, over units bound from the input. After every call: Pending within -9..9,
// direction codes within 0..8, buttons 0 or 1; every key event belongs to a whole keystroke
// of a key bound on the unit addressed; nothing is sent while "Enable keys" is off, nor
// while the control observer swallows; every event the observer is told of names a control
// of the unit addressed, with a value in range.
//
// Input: byte 0 picks the bindings; then records of [op][length][length bytes]. op bits 0-2:
// 0-5 a report of product 684 + n, 6 a report of the product ID in the next 4 bytes, 7 a
// processing pass (next byte: which pass, its bit 7 naming a unit of the other kind, then the
// unit index as a signed byte); bit 6 toggles swallowing and bit 7 the key gate first.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "fuzz_check.h"
#include "keymap/bindingslot.h"
#include "support/memory_log.h"
#include "support/recording_injector.h"
#include "translate/translator.h"
#include "translate/units.h"
#include "translate/unitstate.h"
#include "translate/us_layout.h"

namespace {

using qel::KeyCode;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : Data(data), Size(size) {}
    bool Empty() const { return At >= Size; }
    std::uint8_t Byte() { return At < Size ? Data[At++] : 0; }
    std::size_t Take(std::uint8_t* out, std::size_t count) {
        const std::size_t n = count < Size - At ? count : Size - At;
        std::memcpy(out, Data + At, n);
        At += n;
        return n;
    }

private:
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t At = 0;
};

// A key byte that is never a modifier, so keystrokes can be taken apart without doubt.
std::uint8_t KeyByteFor(unsigned n) {
    const auto byte = static_cast<std::uint8_t>(0x20 + n % 0xDF);
    return byte;
}

// Every slot is bound or not by the pattern byte; bound codes carry modifiers and sometimes
// bits above Alt, which must be ignored.
std::array<std::set<KeyCode>, qel::kDeviceCount> Bind(qel::UnitStates& units,
                                                      std::uint8_t pattern) {
    std::array<std::set<KeyCode>, qel::kDeviceCount> bound;
    for (const qel::UnitNames& unit : qel::kUnits) {
        const int device = unit.Id.DeviceIndex();
        for (int slot = 0; slot < qel::BindingSlotCount(unit.Id); ++slot) {
            const unsigned n = static_cast<unsigned>(device * 131 + slot * 7 + pattern);
            KeyCode* field = qel::BindingField(units, unit.Id, slot);
            if (field == nullptr || n % 5 == pattern % 5) continue;
            KeyCode code = KeyByteFor(n) | static_cast<KeyCode>(((n >> 2) & 7U) << 8);
            if (n % 11 == 0) code |= 0x7800;  // bits above Alt
            *field = code;
            bound[static_cast<std::size_t>(device)].insert(code & qel::kKeyCodeMask);
        }
    }
    return bound;
}

// Takes the events apart into keystrokes and checks each is a bound code of device.
void CheckKeystrokes(const std::vector<qel::test::KeyEventRecord>& events,
                     const std::set<KeyCode>* bound) {
    static constexpr std::array<std::pair<KeyCode, std::uint8_t>, 3> kModifiers{
        {{qel::kShiftBit, qel::kVkShift},
         {qel::kCtrlBit, qel::kVkControl},
         {qel::kAltBit, qel::kVkMenu}}};
    std::size_t i = 0;
    while (i < events.size()) {
        QEL_FUZZ_CHECK(bound != nullptr);
        KeyCode code = 0;
        for (const auto& [bit, vk] : kModifiers) {
            if (i < events.size() && events[i].VirtualKey == vk && events[i].Down) {
                code |= bit;
                ++i;
            }
        }
        QEL_FUZZ_CHECK(i + 1 < events.size());
        const std::uint8_t key = events[i].VirtualKey;
        QEL_FUZZ_CHECK(events[i].Down && !events[i + 1].Down && events[i + 1].VirtualKey == key);
        i += 2;
        for (const auto& [bit, vk] : kModifiers) {
            if ((code & bit) != 0) {
                QEL_FUZZ_CHECK(i < events.size() && events[i].VirtualKey == vk && !events[i].Down);
                ++i;
            }
        }
        QEL_FUZZ_CHECK(bound->contains(code | key));
    }
}

void CheckState(const qel::UnitStates& units) {
    auto buttonOk = [](const qel::ButtonState& b) { return b.Current <= 1 && b.Previous <= 1; };
    for (const qel::BezelUnitState& bezel : units.BezelUnits) {
        for (const qel::RotaryState& rotary : bezel.Rotaries)
            QEL_FUZZ_CHECK(rotary.Pending >= -9 && rotary.Pending <= 9);
        for (const qel::ButtonState& button : bezel.Buttons) QEL_FUZZ_CHECK(buttonOk(button));
        for (const qel::ButtonState& button : bezel.PanDirections) QEL_FUZZ_CHECK(buttonOk(button));
        QEL_FUZZ_CHECK(buttonOk(bezel.PanPush));
        QEL_FUZZ_CHECK(bezel.CurrentDirection >= 0 && bezel.CurrentDirection <= 8);
        QEL_FUZZ_CHECK(bezel.PreviousDirection >= 0 && bezel.PreviousDirection <= 8);
    }
    for (const qel::AudioUnitState& audio : units.AudioUnits) {
        for (const qel::RotaryState& rotary : audio.Rotaries)
            QEL_FUZZ_CHECK(rotary.Pending >= -9 && rotary.Pending <= 9);
        for (const qel::ButtonState& button : audio.Buttons) QEL_FUZZ_CHECK(buttonOk(button));
    }
}

// Checks every event against the unit addressed; swallows them all while Swallow is set.
class CheckingObserver final : public qel::ControlObserver {
public:
    bool ControlMoved(qel::ControlEvent event) override {
        QEL_FUZZ_CHECK(Addressed && event.Unit == *Addressed);
        const bool audio = event.Unit.Kind == qel::UnitKind::Audio;
        switch (event.Kind) {
            case qel::ControlKind::Button:
                QEL_FUZZ_CHECK(event.Index >= 0 && event.Index < (audio ? qel::kAudioButtonCount
                                                                        : qel::kBezelButtonCount));
                QEL_FUZZ_CHECK(event.Value == 0 || event.Value == 1);
                break;
            case qel::ControlKind::Rotary:
                QEL_FUZZ_CHECK(event.Index >= 0 && event.Index < (audio ? qel::kAudioRotaryCount
                                                                        : qel::kBezelRotaryCount));
                QEL_FUZZ_CHECK(event.Value >= -64 && event.Value <= 64);
                break;
            case qel::ControlKind::PanDirection:
                QEL_FUZZ_CHECK(!audio && event.Index >= 0 && event.Index < qel::kPanDirectionCount);
                QEL_FUZZ_CHECK(event.Value == 0 || event.Value == 1);
                break;
            case qel::ControlKind::PanPush:
                QEL_FUZZ_CHECK(!audio && event.Index == 0);
                QEL_FUZZ_CHECK(event.Value == 0 || event.Value == 1);
                break;
        }
        return Swallow;
    }
    std::optional<qel::UnitId> Addressed;  // none: no event may come
    bool Swallow = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    auto units = std::make_unique<qel::UnitStates>();
    qel::AssignCatalogueNames(*units);
    const auto bound = Bind(*units, in.Byte());
    qel::test::RecordingInjector injector;
    qel::test::MemoryLog log;
    qel::FlagKeyGate gate;
    const qel::UsEnglishLayout layout;
    qel::InputTranslator translator(*units, injector, log, gate, layout);
    CheckingObserver observer;
    translator.SetControlObserver(&observer);

    while (!in.Empty()) {
        const std::uint8_t op = in.Byte();
        if ((op & 0x80) != 0) gate.Enabled = !gate.Enabled;
        if ((op & 0x40) != 0) observer.Swallow = !observer.Swallow;
        const std::set<KeyCode>* target = nullptr;
        const unsigned kind = op & 7U;
        if (kind == 7) {
            const std::uint8_t pass = in.Byte();
            const bool audioPass = pass % 6 >= 4;
            const bool otherKind = (pass & 0x80) != 0;
            const qel::UnitId unit{
                audioPass != otherKind ? qel::UnitKind::Audio : qel::UnitKind::Bezel,
                static_cast<std::int8_t>(in.Byte())};
            const bool served = !otherKind && unit.IsValid();
            observer.Addressed = served ? std::optional(unit) : std::nullopt;
            switch (pass % 6) {
                case 0:
                    translator.ProcessBezelButtons(unit);
                    break;
                case 1:
                    translator.ProcessBezelRotaries(unit, qel::RotaryHalf::First);
                    break;
                case 2:
                    translator.ProcessBezelRotaries(unit, qel::RotaryHalf::Second);
                    break;
                case 3:
                    translator.ProcessPan(unit);
                    break;
                case 4:
                    translator.ProcessAudioRotaries(unit);
                    break;
                default:
                    translator.ProcessAudioButtons(unit);
                    break;
            }
            if (served) {
                target = &bound[static_cast<std::size_t>(unit.DeviceIndex())];
            }
        } else {
            int productId = qel::kFirstBezelProductId + static_cast<int>(kind);
            if (kind == 6) {
                std::uint8_t raw[4] = {};
                in.Take(raw, sizeof raw);
                std::uint32_t value = 0;
                std::memcpy(&value, raw, sizeof value);
                productId = static_cast<int>(value);
            }
            std::array<std::uint8_t, qel::kReceiveBufferSize> buffer{};
            in.Take(buffer.data(), in.Byte() % (qel::kReceiveBufferSize + 1));
            // As the HID hook passes reports on: only a panel's product ID names a unit.
            const std::optional<qel::UnitId> unit = qel::UnitOfProduct(productId);
            observer.Addressed = unit;
            if (unit) {
                translator.DecodeReport(*unit, qel::ReceiveBuffer(buffer));
                target = &bound[static_cast<std::size_t>(unit->DeviceIndex())];
            }
        }
        if (!gate.Enabled || observer.Swallow) QEL_FUZZ_CHECK(injector.Events.empty());
        CheckKeystrokes(injector.Events, target);
        CheckState(*units);
        injector.Events.clear();
        log.Lines.clear();
    }
    return 0;
}
