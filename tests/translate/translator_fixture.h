#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "support/memory_log.h"
#include "support/recording_injector.h"
#include "support/unit_ids.h"
#include "translate/translator.h"
#include "translate/us_layout.h"

namespace qel::test {

using ReportBytes = std::array<std::uint8_t, kReceiveBufferSize>;

// A receive buffer of the given type with the payload from byte 2 and zeros after it.
inline ReportBytes MakeReport(std::uint8_t type, std::initializer_list<std::uint8_t> payload) {
    ReportBytes bytes{};
    bytes[kReportTypeOffset] = type;
    std::size_t at = kPayloadOffset;
    for (std::uint8_t byte : payload) {
        bytes[at++] = byte;
    }
    return bytes;
}

// A translator over named unit records, recording every key event and log line.
class TranslatorTest : public ::testing::Test {
protected:
    TranslatorTest() { AssignCatalogueNames(*Units); }

    void Send(UnitId unit, std::uint8_t type, std::initializer_list<std::uint8_t> payload) {
        Translator.DecodeReport(unit, MakeReport(type, payload));
    }
    void Clear() {
        Injector.Events.clear();
        Log.Lines.clear();
    }
    BezelUnitState& Bezel(int unit) { return Units->BezelUnits[static_cast<std::size_t>(unit)]; }
    AudioUnitState& Audio(int unit) { return Units->AudioUnits[static_cast<std::size_t>(unit)]; }

    std::unique_ptr<UnitStates> Units = std::make_unique<UnitStates>();
    RecordingInjector Injector;
    MemoryLog Log;
    FlagKeyGate Gate;
    UsEnglishLayout Layout;
    InputTranslator Translator{*Units, Injector, Log, Gate, Layout};
};

}  // namespace qel::test
